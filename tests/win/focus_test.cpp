// Switching between two windows of the program gives each its own control back, and the
// activation stays where the user put it.
#include <gtest/gtest.h>

#include "app/main_dialog_win.h"
#include "base/control_ids.h"
#include "link/line_monitor_win.h"
#include "tests/win/win_test_util.h"

namespace {
bool ActivateAndSettle(HWND w) {
    SetForegroundWindow(w);
    SetActiveWindow(w);
    PumpFor(150);
    return GetActiveWindow() == w;
}
}  // namespace

TEST(Focus, EachWindowGetsItsOwnControlBack) {
    HWND main = CreateMainDialog();
    ShowWindow(main, SW_SHOW);
    ASSERT_TRUE(ActivateAndSettle(main));
    SetFocus(GetDlgItem(main, ids::TxtSteps));
    HWND monitor = OpenLineMonitor(main);
    ASSERT_TRUE(ActivateAndSettle(monitor));
    SetFocus(GetDlgItem(monitor, ids::ChkTrafficLog));
    for (int round = 0; round < 2; ++round) {
        EXPECT_TRUE(ActivateAndSettle(main)) << round;
        EXPECT_EQ(GetFocus(), GetDlgItem(main, ids::TxtSteps)) << round;
        EXPECT_TRUE(ActivateAndSettle(monitor)) << round;
        EXPECT_EQ(GetFocus(), GetDlgItem(monitor, ids::ChkTrafficLog)) << round;
    }
    DestroyWindow(main);
}
