#include "base/progress_win.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include "base/control_ids.h"
#include "tests/win/win_test_util.h"

TEST(ProgressWindow, TitleIsTheCallersCaptionAndItCanBeClosed) {
    HWND w = ShowProgress(nullptr, "Suche KT4180-Controller an COM-Port...");
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(WindowText(w), "Suche KT4180-Controller an COM-Port...");
    EXPECT_TRUE(IsWindowVisible(w));
    HWND bar = GetDlgItem(w, ids::ProgressBar);
    EXPECT_EQ(ClassOf(bar), "msctls_progress32");
    EXPECT_EQ(WindowText(bar), "ProgressBar3");
    EXPECT_TRUE(GetWindowLongA(bar, GWL_STYLE) & PBS_SMOOTH);
    EXPECT_EQ(SendMessageA(bar, PBM_GETRANGE, FALSE, 0), 100);
    EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), 0);
    EXPECT_EQ(WindowText(GetDlgItem(w, ids::ProgressText)), "");

    SetProgress(w, 16, "COM3");
    EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), 16);
    EXPECT_EQ(WindowText(GetDlgItem(w, ids::ProgressText)), "COM3");

    // The user closes it: the caller sees it gone, and closing it again is harmless.
    PostMessageA(w, WM_SYSCOMMAND, SC_CLOSE, 0);
    PumpFor(200);
    EXPECT_FALSE(IsWindow(w));
    SetProgress(w, 50, "x");
    CloseProgress(w);
}

TEST(ProgressWindow, SizedInDialogUnits) {
    HWND w = ShowProgress(nullptr, "Lese 4180-Controller aus...");
    RECT client;
    GetClientRect(w, &client);
    RECT units = {0, 0, 253, 41};
    MapDialogRect(w, &units);
    EXPECT_EQ(client.right, units.right);
    EXPECT_EQ(client.bottom, units.bottom);
    RECT bar = ChildRect(GetDlgItem(w, ids::ProgressBar));
    RECT barUnits = {10, 5, 245, 15};
    MapDialogRect(w, &barUnits);
    EXPECT_EQ(bar.left, barUnits.left);
    EXPECT_EQ(bar.right, barUnits.right);
    CloseProgress(w);
    EXPECT_FALSE(IsWindow(w));
}
