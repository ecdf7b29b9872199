// Waits for the board where operations meet: a port whose CTS line the test holds, commands
// that arrive while another waits, and the user's ways out (Stop, closing a window).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "app/main_dialog_win.h"
#include "base/control_ids.h"
#include "base/process_state.h"
#include "config/register_transfer_win.h"
#include "config/setup_dialog_win.h"
#include "link/serial_port_win.h"
#include "link/transmission_win.h"
#include "tests/win/win_test_util.h"

namespace {

bool CtsOn = true;
bool PortGone = false;
std::string Written;

int HeldCts(HANDLE) { return CtsOn ? 1 : 0; }
DWORD EmptyQueue(HANDLE) { return 0; }
bool Record(HANDLE, const std::string& bytes) {
    if (PortGone) return false;
    Written += bytes;
    return true;
}
std::string NothingToRead(HANDLE) { return ""; }

class SendWaits : public testing::Test {
protected:
    void SetUp() override {
        dlg = CreateMainDialog();
        CtsOn = true;
        PortGone = false;
        Written.clear();
        App.RunMode = RunIdle;
        PortOps = {HeldCts, EmptyQueue, Record, NothingToRead};
        comPort = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(0x4000));
    }
    void TearDown() override {
        comPort = INVALID_HANDLE_VALUE;
        if (IsWindow(dlg)) DestroyWindow(dlg);
    }
    HWND dlg = nullptr;
};

using R = SendResult;

}  // namespace

TEST_F(SendWaits, OneCommandWaitsBehindATransmissionFurtherOnesAreRefused) {
    CtsOn = false;
    std::vector<R> nested;
    TimedSteps steps(10, [&](int n) {
        if (n < 4) {
            nested.push_back(SendCommand("PR20,0\r\n"));
            return true;
        }
        CtsOn = true;
        return false;
    });
    EXPECT_EQ(SendCommand("PA0,0\r\n"), R::Sent);
    EXPECT_EQ(Written, "PA0,0\r\nPR20,0\r\n");
    EXPECT_EQ(nested, (std::vector<R>{R::Queued, R::Refused, R::Refused, R::Refused}));
    EXPECT_FALSE(TransmissionBusy());
}

TEST_F(SendWaits, StopDuringARunEndsTheWaitAndDropsWhatWaits) {
    CtsOn = false;
    App.RunMode = RunAuto;
    TimedSteps steps(10, [&](int n) {
        if (n == 0) {
            EXPECT_EQ(SendCommand("PR20,0\r\n"), R::Queued);
        }
        if (n == 3) PollRunButtons(ids::BtnStop);  // what the poll does when it sees Stop held
        return n < 3;
    });
    EXPECT_EQ(SendCommand("PA0,0\r\n"), R::Abandoned);
    CtsOn = true;
    PumpFor(50);
    EXPECT_EQ(Written, "");
    EXPECT_FALSE(CommandWaiting());
    // Stop with no run going is no reason to give up a wait.
    CtsOn = false;
    TimedSteps later(10, [&](int n) {
        if (n == 0) PollRunButtons(ids::BtnStop);
        CtsOn = n >= 3;
        return n < 3;
    });
    EXPECT_EQ(SendCommand("PU\r\n"), R::Sent);
    EXPECT_EQ(Written, "PU\r\n");
}

TEST_F(SendWaits, ClosingTheMainDialogEndsTheWaitAndNothingMoreIsWritten) {
    CtsOn = false;
    TimedSteps steps(10, [&](int n) {
        if (n == 0) SendCommand("PR20,0\r\n");
        if (n == 2) PostMessageA(dlg, WM_CLOSE, 0, 0);
        return n < 2;
    });
    EXPECT_EQ(SendCommand("PA0,0\r\n"), R::Abandoned);
    EXPECT_FALSE(IsWindow(dlg));
    CtsOn = true;
    PumpFor(50);
    EXPECT_EQ(Written, "");
}

TEST_F(SendWaits, ATransferWaitingForTheBoardEndsWithItsProgressWindow) {
    HWND setup = CreateSetupDialog(dlg);
    ASSERT_NE(setup, nullptr);
    const std::string before = WindowText(GetDlgItem(setup, 1162));
    CtsOn = false;
    TimedSteps steps(20, [&](int n) {
        if (HWND progress = FindOwnWindow("Lese 4180-Controller aus..."); progress && n >= 3)
            PostMessageA(progress, WM_CLOSE, 0, 0);
        return n < 50;
    });
    const DWORD start = GetTickCount();
    ReadRegisters(setup, Read);
    EXPECT_LT(GetTickCount() - start, 10000u);  // it ends, and not by some time-out
    EXPECT_EQ(Written, "");  // the read line never started
    EXPECT_EQ(WindowText(GetDlgItem(setup, 1162)), before);

    // While another command waits for the board, a transfer does not start at all.
    CtsOn = false;
    BoxWatcher box(3000);
    TimedSteps busy(10, [&](int n) {
        if (n == 0) ReadRegisters(setup, Read);
        CtsOn = n >= 1;
        return n < 1;
    });
    EXPECT_EQ(SendCommand("PU\r\n"), R::Sent);
    box.Wait();
    EXPECT_TRUE(box.seen);
    EXPECT_EQ(box.title, "Stop");
    EXPECT_NE(box.text.find("beschäftigt"), std::string::npos);
    EXPECT_EQ(Written, "PU\r\n");
    DestroyWindow(setup);
}

TEST_F(SendWaits, APortThatGoesAwayIsClosedAndTheUserIsToldOnce) {
    PortGone = true;
    BoxWatcher box(3000);
    EXPECT_EQ(SendCommand("PA0,0\r\n"), R::Abandoned);
    box.Wait();
    EXPECT_EQ(box.title, "CNC?");
    EXPECT_NE(box.text.find("Verbindung"), std::string::npos);
    EXPECT_EQ(comPort.load(), INVALID_HANDLE_VALUE);
    EXPECT_EQ(WindowText(GetDlgItem(dlg, ids::LblComPort)), "COM??");
    BoxWatcher none(300);
    EXPECT_EQ(SendCommand("PA1,1\r\n"), R::Sent);  // no port: nothing to hand over, no second box
    none.Wait();
    EXPECT_FALSE(none.seen);
}
