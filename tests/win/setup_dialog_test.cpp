// The setup dialog without a board: as built, and its configuration files.
#include "tests/win/win_test_util.h"

#include "config/config_file.h"
#include "config/config_files_win.h"
#include "config/setup_dialog_win.h"

namespace {

class SetupDialog : public testing::Test {
protected:
    void SetUp() override {
        ShowWindow(main = CreateMainDialog(), SW_SHOW);
        ASSERT_NE(dlg = CreateSetupDialog(main), nullptr);
    }
    HWND Item(int id) { return GetDlgItem(dlg, id); }
    HWND main = nullptr, dlg = nullptr;
};

}  // namespace

TEST_F(SetupDialog, BuiltAsTheUserSeesIt) {
    EXPECT_EQ(ControlText(dlg), "Setup Controller");
    RECT client;
    GetClientRect(dlg, &client);
    EXPECT_EQ((std::pair<LONG, LONG>{client.right, client.bottom}), (std::pair<LONG, LONG>{764, 376}));
    // The tab key walks the 64 fields by register, then the buttons.
    std::vector<int> order = {1162, 1165, 1167, 1169, 1171, 1173, 1186, 1188, 1190, 1174,
                              1176, 1177, 1178, 1179, 1180, 1182, 1184, 1181, 1185};
    for (int tool = 0; tool < 45; ++tool) order.push_back(tool == 44 ? 1384 : 1200 + 10 * (tool / 5) + tool % 5);
    for (int id : {1157, 1385, 1156, 1158, 1159, 1160, 1161, 1388}) order.push_back(id);
    std::vector<int> tabs;
    for (HWND c = Item(1162); tabs.size() < 80 && (tabs.empty() || c != Item(1162));
         c = GetNextDlgTabItem(dlg, c, FALSE))
        tabs.push_back(GetDlgCtrlID(c));
    EXPECT_EQ(tabs, order);
    const std::vector<std::string> all = Children(dlg);
    for (const char* looks :
         {"1162 Edit  192,32 52x18", "1163 Static Motorschritt-Takt *128ys (2) 33,32 157x16",
          "1191 Static Fräser aus nach Sek (24..25) 33,176 157x16",
          "1174 Button Halbschrittbetrieb (5/0) 20,194 185x16", "1180 Button Echo - Counter (6/4) 272,98 132x16",
          "1185 Button Kommando-Echo (7/7) 436,84 133x16",
          "1340 Static WZ1   WZ2    WZ3    WZ4    WZ5    WZ6    WZ7    WZ8    WZ9 439,180 312x16",
          "1282 Edit  720,230 36x18", "1203 Button n. WZ-Wechsel: Taste drücken 297,250 171x16",
          "1204 Button Zminus = Zplus - Tempo 301,265 167x16", "1384 Button  729,265 26x16",
          "1342 Button  Konfiguration Werkzeuge 1-9  268,160 492x144", "1388 Button  604,316 96x32",
          "1161 Button OK 712,316 44x32", "1386 msctls_statusbar32 StatusBar1"})
        EXPECT_NE(std::find(all.begin(), all.end(), looks), all.end()) << looks;
    EXPECT_EQ(BackOf(Item(1162)), GetSysColor(COLOR_WINDOW)) << "nothing colored before the user touches it";

    const std::pair<int, const char*> tips[] = {{ids::BtnCfgRead, "Controller auslesen"},
                                                {ids::BtnCfgVerify, "Controller gegen Konfiguration prüfen"},
                                                {ids::BtnCfgWrite, "Konfiguration im\r\nController speichern"},
                                                {ids::BtnCfgLoad, "Konfiguration aus\r\nDatei einlesen"},
                                                {ids::BtnCfgSave, "Konfiguration in\r\nDatei speichern"},
                                                {ids::BtnCfgSaveAs, "Konfiguration in einer\r\nneuen Datei speichern"},
                                                {ids::BtnCfgFactoryReset, "Reset Controller\r\n(Werkseinstellungen)"}};
    for (const auto& [id, tip] : tips) EXPECT_EQ(TipOf(Item(id)), tip) << id;
}

TEST_F(SetupDialog, ConfigurationFilesGoThroughTheirDialogsAndSaySo) {
    const std::string dir = TempFolder("kt-config");
    SetCurrentDirectoryA(dir.c_str());
    SetDlgItemTextA(dlg, 1162, "20");
    CheckDlgButton(dlg, 1384, BST_CHECKED);
    Hand saved;
    SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(ids::BtnCfgSave, BN_CLICKED), 0);
    EXPECT_EQ(saved.Said(), "Gespeichert !|" + dir + "\\default.cfg") << "the first save goes to the current directory";
    EXPECT_TRUE(saved.boxes[0].mainDisabled);
    const std::string bytes = FileText(dir + "\\default.cfg");
    EXPECT_EQ(bytes.substr(0, 16) + bytes.substr(bytes.size() - 10), "[CO]\r\n01162=20\r\n01384= 1\r\n");

    // Loaded through the open dialog, which offers the last name: what the file lacks is
    // emptied, and texts are colored by their ranges as typed ones are.
    WriteFile(dir + "\\machine.cfg", "[CO]\r\n01165=abc\r\n01176=1\r\n01384= 0\r\n");
    Hand load("Lade Controller-File", dir + "\\machine.cfg");
    SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(ids::BtnCfgLoad, BN_CLICKED), 0);
    EXPECT_EQ(load.Finish().preset, "default.cfg");
    EXPECT_EQ(ControlText(Item(1162)) + "|" + ControlText(Item(1165)), "|abc");
    EXPECT_EQ(BackOf(Item(1165)), RGB(255, 0, 0));
    EXPECT_EQ(std::make_pair(IsDlgButtonChecked(dlg, 1176), IsDlgButtonChecked(dlg, 1384)), std::make_pair(1u, 0u));
    // A file another program holds open for itself cannot be read: the fields stay as the
    // user typed them, and a box says so.
    SetDlgItemTextA(dlg, 1162, "typed");
    HANDLE held = CreateFileA((dir + "\\machine.cfg").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    Hand unreadable("Lade Controller-File", dir + "\\machine.cfg");
    SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(ids::BtnCfgLoad, BN_CLICKED), 0);
    ASSERT_EQ(unreadable.Finish().boxes.size(), 1u);
    CloseHandle(held);
    EXPECT_EQ(unreadable.boxes[0].title, "Nicht geladen !");
    EXPECT_NE(unreadable.boxes[0].text.find(dir + "\\machine.cfg"), std::string::npos);
    EXPECT_EQ(ControlText(Item(1162)), "typed");

    // Saved as another file, without an overwrite prompt; then to where no file can be.
    Hand saveAs("Save Controller-File", dir + "\\default.cfg");
    SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(ids::BtnCfgSaveAs, BN_CLICKED), 0);
    EXPECT_EQ(saveAs.Finish().preset, "machine.cfg");
    EXPECT_EQ(saveAs.boxes.size(), 1u);
    EXPECT_EQ(FileText(dir + "\\default.cfg").substr(0, 19), "[CO]\r\n01162=typed\r\n");
    CreateDirectoryA((dir + "\\x.cfg").c_str(), nullptr);  // Wine run as root writes read-only files
    ControllerFilePath = dir + "\\x.cfg";
    Hand failed;
    SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(ids::BtnCfgSave, BN_CLICKED), 0);
    EXPECT_EQ(failed.Said(),
              "Nicht gespeichert !|Die Konfiguration konnte nicht gespeichert werden:\r\n" + dir + "\\x.cfg");
    RemoveDirectoryA((dir + "\\x.cfg").c_str());

    // The setup dialog closed while its file dialog is open: no fields to save, the file stays as it was.
    const std::string machine = FileText(dir + "\\machine.cfg");
    Hand gone("Save Controller-File", dir + "\\machine.cfg", nullptr, IDOK, [this] {
        PostMessageA(dlg, WM_SYSCOMMAND, SC_CLOSE, 0);
        WaitUntil([this] { return !IsWindow(dlg); });
    });
    SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(ids::BtnCfgSaveAs, BN_CLICKED), 0);
    EXPECT_TRUE(gone.Finish().dialogSeen);
    EXPECT_TRUE(gone.boxes.empty()) << gone.boxes[0].title;
    EXPECT_EQ(FileText(dir + "\\machine.cfg"), machine);
}
