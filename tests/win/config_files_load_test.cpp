// Loading a configuration file the user chose: a byte-order mark does not hide the section,
// and a file that cannot be read leaves every field as the user typed it and says so.
#include <gtest/gtest.h>

#include <string>

#include "app/main_dialog_win.h"
#include "base/control_ids.h"
#include "config/config_file.h"
#include "config/config_files_win.h"
#include "config/setup_dialog_win.h"
#include "tests/win/win_test_util.h"

TEST(ConfigFileLoad, AMarkedFileLoadsAnUnreadableOneChangesNothing) {
    HWND main = CreateMainDialog();
    ShowWindow(main, SW_SHOW);
    HWND dlg = CreateSetupDialog(main);
    ASSERT_NE(dlg, nullptr);
    char tmp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, tmp);
    const std::string path = std::string(tmp) + "kt_marked_" + std::to_string(GetCurrentProcessId()) + ".cfg";
    WriteFileBytes(path, "\xEF\xBB\xBF[CO]\r\n01162=33\r\n01174= 1\r\n");
    ControllerFilePath = path;

    {
        FileDialogDriver chooser("Lade Controller-File", path);
        SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(ids::BtnCfgLoad, BN_CLICKED), 0);
    }
    EXPECT_EQ(WindowText(GetDlgItem(dlg, 1162)), "33");
    EXPECT_EQ(SendDlgItemMessageA(dlg, 1174, BM_GETCHECK, 0, 0), BST_CHECKED);

    // Another program holds the file open for itself: the load cannot read it.
    SetDlgItemTextA(dlg, 1162, "typed");
    HANDLE held = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    {
        BoxWatcher box(15000, main);
        FileDialogDriver chooser("Lade Controller-File", path);
        SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(ids::BtnCfgLoad, BN_CLICKED), 0);
        box.Wait();
        EXPECT_EQ(box.title, "Nicht geladen !");
        EXPECT_NE(box.text.find(path), std::string::npos);
    }
    CloseHandle(held);
    EXPECT_EQ(WindowText(GetDlgItem(dlg, 1162)), "typed");
    EXPECT_EQ(SendDlgItemMessageA(dlg, 1174, BM_GETCHECK, 0, 0), BST_CHECKED);
    DeleteFileA(path.c_str());
}
