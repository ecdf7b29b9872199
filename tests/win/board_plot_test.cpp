// Plot runs against the board simulator: run by tests/e2e/board_plot.sh, which maps it to
// COM4 and records what it receives (KT_BOARD_DIR\board.raw).
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <thread>

#include "base/process_state.h"
#include "base/control_ids.h"
#include "app/main_dialog_win.h"
#include "link/serial_port_win.h"
#include "link/transmission_win.h"
#include "plot/plot_run_win.h"
#include "plot/plot_state.h"
#include "plot/preview_win.h"
#include "tests/win/win_test_util.h"

namespace {

std::string BoardDir() {
    char buf[1024] = {};
    const DWORD n = GetEnvironmentVariableA("KT_BOARD_DIR", buf, sizeof buf);
    return n && n < sizeof buf ? std::string(buf, n) : "";
}

std::string Received() {
    std::ifstream in(BoardDir() + "\\board.raw", std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// Waits (pumping) until the board has received at least n bytes, or 3 s.
std::string ReceivedAfter(size_t from, size_t n) {
    const DWORD start = GetTickCount();
    std::string all = Received();
    while (all.size() < from + n && GetTickCount() - start < 3000) {
        PumpMessageStep();
        all = Received();
    }
    return all.substr(from < all.size() ? from : all.size());
}

std::string WriteFile(const std::string& name, const std::string& content) {
    const std::string path = BoardDir() + "\\" + name;
    std::ofstream(path, std::ios::binary) << content;
    return path;
}

void MouseButton(bool down) {
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    SendInput(1, &in, sizeof in);
}

class BoardPlot : public testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_FALSE(BoardDir().empty()) << "run through tests/e2e/board_plot.sh";
        HWND dlg = CreateMainDialog();
        ShowWindow(dlg, SW_SHOW);
        SetForegroundWindow(dlg);
        CreatePreviewControl(dlg, 206, 2, 400, 300);
        HANDLE port = OpenSerialPort(4);
        ASSERT_NE(port, INVALID_HANDLE_VALUE);
        comPort = port;
        StartReceiveLoop(port);
        PumpFor(200);
    }
};

}  // namespace

TEST_F(BoardPlot, AnAutomaticRunSendsTheSemicolonThenEveryLine) {
    Plot.PlotFile = WriteFile("two.plt", "PU;PA0,0;\r\nPD;PA100,0;\r\n");
    const size_t before = Received().size();
    StartPlotRun(ids::BtnRun);
    EXPECT_EQ(App.RunMode, RunIdle) << "the end of the file ends the run";
    const std::string expected = ";\r\nPU;\r\nPA0,0;\r\nPD;\r\nPA100,0;\r\n";
    EXPECT_EQ(ReceivedAfter(before, expected.size()), expected);
    EXPECT_EQ(WindowText(GetDlgItem(Ui.mainDialog, ids::FrmAuto)), "Automatik:");
}

TEST_F(BoardPlot, LowerCaseAndLinesWithoutTerminatorGoOutUpperCase) {
    Plot.PlotFile = WriteFile("lower.plt", "pu;pa10,20\r\n\r\npd");
    const size_t before = Received().size();
    StartPlotRun(ids::BtnRun);
    // The last command has no terminator: it waits for the next run's first ";".
    const std::string expected = ";\r\nPU;\r\nPA10,20\r\n";
    EXPECT_EQ(ReceivedAfter(before, expected.size()), expected);
    PumpFor(300);
    EXPECT_EQ(Received().substr(before), expected);
    Plot.PlotFile = WriteFile("empty.plt", "");
    StartPlotRun(ids::BtnRun);
    EXPECT_EQ(ReceivedAfter(before + expected.size(), 5), "PD;\r\n");
}

TEST_F(BoardPlot, NoFileChosenStopsBeforeSendingAnything) {
    Plot.PlotFile.clear();
    const size_t before = Received().size();
    std::string title, text;
    std::thread watcher([&] {
        for (int i = 0; i < 250; ++i) {
            HWND box = FindWindowA("#32770", "Stop");
            if (box) {
                title = WindowText(box);
                text = WindowText(GetDlgItem(box, 0xFFFF));
                PostMessageA(box, WM_COMMAND, IDOK, 0);
                return;
            }
            Sleep(20);
        }
    });
    StartPlotRun(ids::BtnRun);
    watcher.join();
    EXPECT_EQ(title, "Stop");
    EXPECT_EQ(text, "PLT-File ?");
    PumpFor(300);
    EXPECT_EQ(Received().size(), before);
}

// Started with Step, the run waits before each line; holding Stop ends it: the waiting line
// still goes out, nothing after it.
TEST_F(BoardPlot, StopDuringAStepWaitSendsTheWaitingLineAndNothingMore) {
    Plot.PlotFile = WriteFile("steps.plt", "PU;PA0,0;\r\nPD;PA100,0;\r\n");
    const size_t before = Received().size();
    HWND stop = GetDlgItem(Ui.mainDialog, ids::BtnStop);
    RECT r;
    GetWindowRect(stop, &r);
    std::string seenWhileWaiting;
    int modeWhileWaiting = -1;
    std::thread hand([&] {
        Sleep(600);
        seenWhileWaiting = Received().substr(before);
        modeWhileWaiting = App.RunMode;
        SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        MouseButton(true);
        Sleep(300);
        MouseButton(false);
    });
    StartPlotRun(ids::BtnStep);
    hand.join();
    EXPECT_EQ(modeWhileWaiting, RunStep);
    EXPECT_EQ(seenWhileWaiting, ";\r\n") << "only the first line goes before a step wait";
    EXPECT_EQ(App.RunMode, RunIdle);
    EXPECT_EQ(ReceivedAfter(before, 100), ";\r\nPU;\r\n");
}

// Holding Step during an automatic run switches it to step mode, which lets one line after
// another go while Step is held and waits after the release; Run held continues it.
TEST_F(BoardPlot, HoldingStepThenRunSwitchesTheMode) {
    std::string text;
    for (int i = 0; i < 2000; ++i) text += "PA" + std::to_string(i) + ",0;\r\n";
    Plot.PlotFile = WriteFile("many.plt", text);
    const size_t before = Received().size();
    auto centre = [](int id) {
        RECT r;
        GetWindowRect(GetDlgItem(Ui.mainDialog, id), &r);
        SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    };
    int modeWhileStepHeld = -1, modeAfterRelease = -1;
    size_t sentAfterRelease = 0, sentLater = 0;
    std::thread hand([&] {
        centre(ids::BtnStep);
        MouseButton(true);
        Sleep(150);
        modeWhileStepHeld = App.RunMode;
        MouseButton(false);
        Sleep(300);
        modeAfterRelease = App.RunMode;
        sentAfterRelease = Received().size();
        Sleep(400);
        sentLater = Received().size();
        centre(ids::BtnRun);
        MouseButton(true);
        Sleep(150);
        MouseButton(false);
    });
    // The automatic run starts while Step is already held.
    Sleep(50);
    StartPlotRun(ids::BtnRun);
    hand.join();
    EXPECT_EQ(modeWhileStepHeld, RunStep);
    EXPECT_EQ(modeAfterRelease, RunStep);
    EXPECT_EQ(sentLater, sentAfterRelease) << "a step run waits while Step is not held";
    EXPECT_EQ(App.RunMode, RunIdle) << "Run held finished the file";
    std::string expected = ";\r\n";
    for (int i = 0; i < 2000; ++i) expected += "PA" + std::to_string(i) + ",0;\r\n";
    EXPECT_LT(sentAfterRelease - before, expected.size()) << "Step held sent the whole file at once";
    EXPECT_EQ(ReceivedAfter(before, expected.size()), expected);
}
