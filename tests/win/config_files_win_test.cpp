// Configuration files from the setup dialog: the default path, the file dialogs, the bytes
// written, other sections kept, what loading does to the fields, and a save that fails.
#include "config/config_files_win.h"

#include <gtest/gtest.h>

#include <string>

#include "base/control_colors_win.h"
#include "base/control_ids.h"
#include "app/main_dialog_win.h"
#include "config/config_file.h"
#include "config/setup_dialog_win.h"
#include "tests/win/win_test_util.h"
#include "tests/win/win_test_util.h"


namespace {

bool StartsWith(const std::string& s, const std::string& prefix) { return s.compare(0, prefix.size(), prefix) == 0; }
bool EndsWith(const std::string& s, const std::string& suffix) {
    return s.size() >= suffix.size() && s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

bool Checked(HWND dlg, int id) { return SendDlgItemMessageA(dlg, id, BM_GETCHECK, 0, 0) == BST_CHECKED; }

class ConfigFiles : public testing::Test {
protected:
    void SetUp() override {
        main = CreateMainDialog();
        ASSERT_NE(main, nullptr);
        ShowWindow(main, SW_SHOW);
        dlg = CreateSetupDialog(main);
        ASSERT_NE(dlg, nullptr);
        char tmp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, tmp);
        dir = std::string(tmp) + "kt_config_files_" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(dir.c_str(), nullptr);
        char cwd[MAX_PATH] = {};
        GetCurrentDirectoryA(MAX_PATH, cwd);
        previousDirectory = cwd;
        SetCurrentDirectoryA(dir.c_str());
        ControllerFilePath.clear();
    }
    void TearDown() override {
        SetCurrentDirectoryA(previousDirectory.c_str());
        WIN32_FIND_DATAA fd;
        HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                const std::string path = dir + "\\" + fd.cFileName;
                SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(path.c_str());
            } while (FindNextFileA(h, &fd));
            FindClose(h);
        }
        RemoveDirectoryA(dir.c_str());
    }
    void Fill() {
        SetDlgItemTextA(dlg, 1162, "20");
        SetDlgItemTextA(dlg, 1165, "50");
        SetDlgItemTextA(dlg, 1171, "12.5x");  // kept as typed, not as read
        CheckDlgButton(dlg, 1174, BST_CHECKED);
        CheckDlgButton(dlg, 1384, BST_CHECKED);
    }
    HWND main = nullptr;
    HWND dlg = nullptr;
    std::string dir;
    std::string previousDirectory;
};

}  // namespace

TEST_F(ConfigFiles, FirstSaveWritesDefaultCfgInTheCurrentDirectoryAndSaysWhere) {
    Fill();
    BoxWatcher box(10000, main);
    SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(ids::BtnCfgSave, BN_CLICKED), 0);
    box.Wait();
    const std::string path = dir + "\\default.cfg";
    EXPECT_EQ(box.title, "Gespeichert !");
    EXPECT_EQ(box.text, path);
    EXPECT_EQ(ControllerFilePath, path);

    const std::string bytes = ReadFileBytes(path);
    EXPECT_TRUE(StartsWith(bytes, "[CO]\r\n01162=20\r\n01165=50\r\n01167=\r\n01169=\r\n")) << bytes;
    EXPECT_NE(bytes.find("\r\n01171=12.5x\r\n01173=\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("\r\n01174= 1\r\n01176= 0\r\n"), std::string::npos);
    EXPECT_TRUE(EndsWith(bytes, "\r\n01283= 0\r\n01384= 1\r\n"));
    size_t lines = 0;
    for (char c : bytes) lines += c == '\n';
    EXPECT_EQ(lines, 65u);

    // The operating system's profile functions read it as written.
    char value[64] = {};
    GetPrivateProfileStringA("CO", "01162", "?", value, sizeof value, path.c_str());
    EXPECT_STREQ(value, "20");
    GetPrivateProfileStringA("CO", "01384", "?", value, sizeof value, path.c_str());
    EXPECT_TRUE(std::string(value) == "1" || std::string(value) == " 1") << value;
}

TEST_F(ConfigFiles, SavingIntoAnExistingFileKeepsEverythingElse) {
    const std::string path = dir + "\\machine.cfg";
    WriteFileBytes(path, "; Fräse im Keller\r\n[Werkstatt]\r\nOrt=Keller\r\n\r\n[CO]\r\n01162=99\r\nNotiz=alt\r\n"
                         "\r\n[Sonst]\r\nx=1\r\n");
    ControllerFilePath = path;
    Fill();
    BoxWatcher box(10000);
    SaveConfigFile(dlg);
    box.Wait();
    EXPECT_EQ(box.title, "Gespeichert !");
    const std::string bytes = ReadFileBytes(path);
    EXPECT_TRUE(StartsWith(bytes, "; Fräse im Keller\r\n[Werkstatt]\r\nOrt=Keller\r\n\r\n[CO]\r\n01162=20\r\nNotiz=alt\r\n"))
        << bytes;
    EXPECT_NE(bytes.find("01384= 1\r\n\r\n[Sonst]\r\nx=1\r\n"), std::string::npos) << bytes;
    EXPECT_EQ(bytes.find("01162=99"), std::string::npos);
}

TEST_F(ConfigFiles, ASaveThatCannotBeWrittenSaysSoAndNamesTheFile) {
    const std::string missing = dir + "\\kein Ordner\\x.cfg";
    ControllerFilePath = missing;
    {
        BoxWatcher box(10000);
        SaveConfigFile(dlg);
        box.Wait();
        EXPECT_EQ(box.title, "Nicht gespeichert !");
        EXPECT_NE(box.text.find(missing), std::string::npos) << box.text;
    }
    // A folder where the file should be. (A read-only file would do on Windows, but not under
    // Wine run as root, which writes it anyway.)
    const std::string folder = dir + "\\machine.cfg";
    CreateDirectoryA(folder.c_str(), nullptr);
    ControllerFilePath = folder;
    {
        BoxWatcher box(10000);
        SaveConfigFile(dlg);
        box.Wait();
        EXPECT_EQ(box.title, "Nicht gespeichert !");
        EXPECT_EQ(box.text, "Die Konfiguration konnte nicht gespeichert werden:\r\n" + folder);
    }
    RemoveDirectoryA(folder.c_str());
}

TEST_F(ConfigFiles, LoadFillsTheFieldsAndEmptiesWhatTheFileLacks) {
    const std::string path = dir + "\\machine.cfg";
    // As the profile functions write it: no blank before the bit values.
    WritePrivateProfileStringA("CO", "01162", "20", path.c_str());
    WritePrivateProfileStringA("CO", "01167", "abc", path.c_str());
    WritePrivateProfileStringA("CO", "01174", "1", path.c_str());
    WritePrivateProfileStringA("CO", "01176", " 1", path.c_str());
    WritePrivateProfileStringA("CO", "01177", " 0", path.c_str());
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());
    for (const auto& entry : SetupSpecs.SpecTable) SetFieldInput(dlg, entry.first, {"5", true});

    ControllerFilePath = dir + "\\previous.cfg";
    FileDialogDriver driver("Lade Controller-File", path);
    SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(ids::BtnCfgLoad, BN_CLICKED), 0);
    driver.Wait();
    EXPECT_EQ(driver.preset, "previous.cfg");
    EXPECT_EQ(ControllerFilePath, path);
    EXPECT_EQ(WindowText(GetDlgItem(dlg, 1162)), "20");
    EXPECT_EQ(WindowText(GetDlgItem(dlg, 1165)), "") << "a missing key empties the field";
    EXPECT_EQ(WindowText(GetDlgItem(dlg, 1167)), "abc");
    EXPECT_TRUE(Checked(dlg, 1174));
    EXPECT_TRUE(Checked(dlg, 1176));
    EXPECT_FALSE(Checked(dlg, 1177));
    EXPECT_FALSE(Checked(dlg, 1384));
    // Loaded texts are coloured by their ranges, as typed ones are.
    EXPECT_EQ(ControlBackground(GetDlgItem(dlg, 1162)), RGB(0, 255, 0));
}

TEST_F(ConfigFiles, SaveAsAsksWithoutAnOverwritePromptAndCancelChangesNothing) {
    const std::string path = dir + "\\other.cfg";
    WriteFileBytes(path, "[CO]\r\n01162=3\r\n");
    Fill();
    {
        FileDialogDriver driver("Save Controller-File", path);
        BoxWatcher box(15000);
        SaveConfigFileAs(dlg);
        driver.Wait();
        box.Wait();
        EXPECT_EQ(driver.preset, "default.cfg");
        EXPECT_EQ(box.title, "Gespeichert !");
        EXPECT_EQ(box.text, path);
    }
    EXPECT_EQ(ControllerFilePath, path);
    EXPECT_TRUE(StartsWith(ReadFileBytes(path), "[CO]\r\n01162=20\r\n"));

    // Cancelled: neither the path, nor a file, nor a field changes.
    SetDlgItemTextA(dlg, 1162, "77");
    {
        FileDialogDriver driver("Save Controller-File", "");
        SaveConfigFileAs(dlg);
        driver.Wait();
        EXPECT_TRUE(driver.seen);
    }
    {
        FileDialogDriver driver("Lade Controller-File", "");
        LoadConfigFile(dlg);
        driver.Wait();
        EXPECT_TRUE(driver.seen);
    }
    EXPECT_EQ(ControllerFilePath, path);
    EXPECT_TRUE(StartsWith(ReadFileBytes(path), "[CO]\r\n01162=20\r\n"));
    EXPECT_EQ(WindowText(GetDlgItem(dlg, 1162)), "77");
}

TEST_F(ConfigFiles, ADriveRootGivesASingleBackslash) {
    SetCurrentDirectoryA("Z:\\");
    ConfigFileOperation(dlg, OperationFactoryReset);  // no port: only the path is settled
    EXPECT_EQ(ControllerFilePath, "Z:\\default.cfg");
}
