// Windows-side tests run the real window code under Wine, one test per process (ctest starts
// each with its own filter), so that the process-wide state of the program starts fresh.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include "app/main_dialog_win.h"

int main(int argc, char** argv) {
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_INTERNET_CLASSES};
    InitCommonControlsEx(&icc);
    SharedDialogHandler = MainDialogHandler;  // as the program installs it at start-up
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
