// One test per process (ctest gives each its own filter): the program's state starts fresh.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/main_dialog_win.h"
#include "link/transmission_win.h"

int main(int argc, char** argv) {
    RegisterCommonControls();
    SharedDialogHandler = MainDialogHandler;  // as the program installs it at start-up
    testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    // As the program does at its end: no receive thread may outlive what it writes.
    ClosePortAndStopReceiving();
    return result;
}
