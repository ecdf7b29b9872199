// The jog images pressed with the real mouse, against the board simulator (see
// manual_board_session.h). The repetition's timing is measured on what the board receives.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "base/process_state.h"
#include "base/control_ids.h"
#include "tests/win/manual_board_session.h"

using namespace manual_session;

namespace {

class BoardJog : public testing::Test {
protected:
    void SetUp() override {
        if (BoardDir().empty()) GTEST_SKIP() << "needs the board simulator: run tests/e2e/manual_jog.sh";
        ASSERT_TRUE(OpenSession());
        ASSERT_TRUE(InFront());
        SetSteps("20");
    }
    void TearDown() override { EXPECT_FALSE(App.JogBusy); }
    static void SetSteps(const char* text) { SetWindowTextA(Item(ids::TxtSteps), text); }
    // Clicks control once and returns what reached the board.
    static std::string ClickAndReceive(int id) {
        const size_t before = RawLog().size();
        Click(Item(id));
        return ReceivedSince(before);
    }
};

double NowMs() {
    LARGE_INTEGER t, f;
    QueryPerformanceCounter(&t);
    QueryPerformanceFrequency(&f);
    return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

// How much the board had received when, looked at every millisecond or so.
struct ArrivalTimes {
    std::vector<std::pair<double, LONGLONG>> samples;
    std::atomic<bool> stop{false};
    std::thread t{[this] {
        HANDLE f = CreateFileA(RawLogPath().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, 0, nullptr);
        LARGE_INTEGER size = {};
        while (!stop && f != INVALID_HANDLE_VALUE) {
            if (GetFileSizeEx(f, &size) && (samples.empty() || samples.back().second != size.QuadPart))
                samples.push_back({NowMs(), size.QuadPart});
            Sleep(1);
        }
        if (f != INVALID_HANDLE_VALUE) CloseHandle(f);
    }};
    void Finish() {
        stop = true;
        if (t.joinable()) t.join();
    }
    ~ArrivalTimes() { Finish(); }
    // When the board had received `size` bytes; a day late if never.
    double Reached(LONGLONG size) const {
        for (const auto& s : samples)
            if (s.second >= size) return s.first;
        return 86400e3;
    }
};

}  // namespace

TEST_F(BoardJog, OneShortClickSendsExactlyOneMove) {
    EXPECT_EQ(ClickAndReceive(ids::JogXPlus), "PR20,0\r\n");
}

TEST_F(BoardJog, EveryImageSendsItsOwnCommand) {
    struct Image {
        int id;
        const char* with20;
        const char* with345;
    };
    const Image images[] = {
        {ids::JogXPlus, "PR20,0", "PR345,0"},
        {ids::JogXMinus, "PR-20,0", "PR-345,0"},
        {ids::JogYPlus, "PR0,20", "PR0,345"},
        {ids::JogYMinus, "PR0,-20", "PR0,-345"},
        {ids::JogXPlusYPlus, "PR20,20", "PR345,345"},
        {ids::JogXMinusYPlus, "PR-20,20", "PR-345,345"},
        {ids::JogXMinusYMinus, "PR-20,-20", "PR-345,-345"},
        {ids::JogXPlusYMinus, "PR20,-20", "PR345,-345"},
        {ids::JogZUp, "ZR-20", "ZR-345"},
        {ids::JogZDown, "ZR20", "ZR345"},
        {ids::JogPenUp, "PU", "PU"},
        {ids::JogPenDown, "PD", "PD"},
        {ids::JogReference, "RE", "RE"},
        {ids::JogZeroPoint, "NU", "NU"},
    };
    for (bool twenty : {true, false}) {
        SetSteps(twenty ? "20" : "345");
        const size_t before = RawLog().size();
        std::string expected;
        for (const Image& image : images) {
            Click(Item(image.id));
            expected += std::string(twenty ? image.with20 : image.with345) + "\r\n";
        }
        EXPECT_EQ(ReceivedSince(before), expected);
    }
}

TEST_F(BoardJog, HoldingRepeatsAfter250MsThenBackToBackUntilRelease) {
    const std::string move = "PR0,-20\r\n";
    const LONGLONG before = static_cast<LONGLONG>(RawLog().size());
    ArrivalTimes arrivals;
    ASSERT_TRUE(PointAt(Item(ids::JogYMinus)));
    const double pressed = NowMs();
    MouseButton(true);
    double released = 0;
    std::thread release([&] {
        Sleep(1000);
        released = NowMs();
        MouseButton(false);
    });
    PumpFor(1300);
    release.join();
    const std::string received = ReceivedSince(static_cast<size_t>(before));
    arrivals.Finish();

    const size_t count = received.size() / move.size();
    std::string expected;
    for (size_t i = 0; i < count; ++i) expected += move;
    ASSERT_EQ(received, expected) << "whole moves only";
    ASSERT_GE(count, 3u);
    // When the k-th move had arrived, from the press.
    auto arrival = [&](size_t k) {
        return arrivals.Reached(before + static_cast<LONGLONG>(move.size() * k)) - pressed;
    };
    double widestGap = 0;  // between moves from the second one on
    for (size_t k = 3; k <= count; ++k) widestGap = std::max(widestGap, arrival(k) - arrival(k - 1));
    std::printf("jog repetition: first move %.1f ms after the press, second %.1f ms, %zu moves, last %.1f ms "
                "(release at %.1f ms), widest pause after the second %.1f ms, %.0f moves/s back to back\n",
                arrival(1), arrival(2), count, arrival(count), released - pressed, widestGap,
                (count - 2) * 1000.0 / std::max(1.0, arrival(count) - arrival(2)));

    EXPECT_LT(arrival(1), 100) << "the first move goes out at once";
    EXPECT_GE(arrival(2) - arrival(1), 240) << "no repetition before 250 ms";
    EXPECT_LT(arrival(2) - arrival(1), 400) << "the repetition starts after 250 ms";
    // From the second move on the moves follow each other without waiting: a repetition every
    // 250 ms would give four.
    EXPECT_GE(count, 10u);
    EXPECT_LT(widestGap, 200);
    // Nothing after the release but the move that was already going out.
    EXPECT_LT(arrival(count) - (released - pressed), 100);
}

TEST_F(BoardJog, TheStepCountAtItsLimitAndRoundedHalvesToEven) {
    SetSteps("20000");
    EXPECT_EQ(ClickAndReceive(ids::JogXPlus), "PR20000,0\r\n");
    // Typing is digits only; other texts come in by pasting or from the program.
    SetSteps("12.5");
    EXPECT_EQ(ClickAndReceive(ids::JogXPlus), "PR12,0\r\n");
    SetSteps("13.5");
    EXPECT_EQ(ClickAndReceive(ids::JogXPlus), "PR14,0\r\n");
}

TEST_F(BoardJog, AnInvalidStepCountWarnsAndSendsNothing) {
    const size_t before = RawLog().size();
    BoxPatrol watcher(ClickOk);
    struct Case {
        const char* steps;
        int id;
    };
    // The count is checked for the images without a count too.
    for (const Case& c : {Case{"20001", ids::JogXPlus}, Case{"0", ids::JogYMinus}, Case{"", ids::JogZUp},
                          Case{"abc", ids::JogPenUp}}) {
        SetSteps(c.steps);
        Press(Item(c.id), 60, 300);
        EXPECT_FALSE(App.JogBusy) << c.steps;
    }
    watcher.Finish();
    EXPECT_EQ(watcher.forced, 0);
    ASSERT_EQ(watcher.boxes.size(), 4u);
    for (const auto& box : watcher.boxes) {
        EXPECT_EQ(box.title, "No Steps?");
        EXPECT_EQ(box.text, "ung\xFCltiger Wert in Step-Box !");
        EXPECT_TRUE(box.mainDisabled) << "the box is modal";
    }
    EXPECT_EQ(ReceivedSince(before), "");
}

// The warning dismissed with Enter while the button is still held: the rejected count must
// not move the machine, and the same press raises no second warning.
TEST_F(BoardJog, WarningDismissedWithEnterWhileHeldSendsNothing) {
    SetSteps("0");
    const size_t before = RawLog().size();
    BoxPatrol watcher(PressEnter);
    ASSERT_TRUE(PointAt(Item(ids::JogXPlus)));
    MouseButton(true);
    std::atomic<bool> released{false};
    std::thread release([&] {
        // Held on until well after the box has gone.
        const DWORD start = GetTickCount();
        while ((watcher.dismissed == 0 || IsWindow(watcher.lastBox)) && GetTickCount() - start < 10000) Sleep(10);
        Sleep(600);
        MouseButton(false);
        released = true;
    });
    while (!released) PumpMessageStep();
    release.join();
    PumpFor(300);
    watcher.Finish();
    EXPECT_EQ(watcher.forced, 0);
    ASSERT_EQ(watcher.boxes.size(), 1u);
    EXPECT_EQ(watcher.boxes[0].title, "No Steps?");
    EXPECT_EQ(ReceivedSince(before), "");
    EXPECT_FALSE(App.JogBusy);
    // The next press with a valid count jogs as usual.
    SetSteps("20");
    ASSERT_TRUE(InFront());
    EXPECT_EQ(ClickAndReceive(ids::JogXPlus), "PR20,0\r\n");
}

TEST_F(BoardJog, NoJogWhileAnotherWindowIsInFront) {
    // A notifying static answers hit tests and, unlike a button, does not capture the mouse.
    HWND other = CreateWindowExA(0, "Static", "in front", WS_POPUP | WS_VISIBLE | WS_BORDER | SS_NOTIFY, 0, 0, 120,
                                 80, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(other, nullptr);
    SetForegroundWindow(other);
    PumpFor(50);
    ASSERT_EQ(GetForegroundWindow(), other);
    const size_t before = RawLog().size();
    // Pressed on the other window and dragged over a jog image, which sees cursor messages
    // with the button held.
    ASSERT_TRUE(PointAt(other));
    MouseButton(true);
    PumpFor(50);
    std::thread release([] {
        Sleep(400);
        MouseButton(false);
    });
    const POINT p = Centre(Item(ids::JogXPlus));
    EXPECT_EQ(WindowFromPoint(p), Item(ids::JogXPlus));
    SetCursorPos(p.x, p.y);
    PumpFor(30);
    SendMessageA(Ui.mainDialog, WM_SETCURSOR, reinterpret_cast<WPARAM>(Item(ids::JogXPlus)),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    PumpFor(450);
    release.join();
    EXPECT_EQ(ReceivedSince(before), "");
    DestroyWindow(other);
    ASSERT_TRUE(InFront());
}

TEST_F(BoardJog, PositionQueryShowsWhereTheJogsTookTheMachine) {
    const size_t before = RawLog().size();
    SendCommand("PA400,-120;\r\n");
    Click(Item(ids::JogXPlus));
    SetSteps("40");
    Click(Item(ids::JogYPlus));
    Click(Item(ids::BtnQueryPosition));
    EXPECT_EQ(ReceivedSince(before), "PA400,-120;\r\nPR20,0\r\nPR0,40\r\n;PX9876,3\r\n");
    const DWORD start = GetTickCount();
    while (WindowText(Item(ids::TxtPosX)) != "10.500" && GetTickCount() - start < 3000) PumpFor(20);
    // 40 plotter units to the millimetre.
    EXPECT_EQ(WindowText(Item(ids::TxtPosX)), "10.500");
    EXPECT_EQ(WindowText(Item(ids::TxtPosY)), "-2.000");
}
