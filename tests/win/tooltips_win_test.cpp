#include "app/main_tooltips_win.h"
#include "base/tooltips_win.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <fstream>

#include "base/control_ids.h"
#include "base/language.h"
#include "base/language_win.h"
#include "app/main_dialog_win.h"
#include "base/settings_win.h"
#include "tests/win/win_test_util.h"

namespace {

struct ProfileValue {
    ProfileValue(const char* key, const char* value) : key(key) { WriteProfileStringA("KTXPLT", key, value); }
    ~ProfileValue() { WriteProfileStringA("KTXPLT", key, nullptr); }
    const char* key;
};

}  // namespace

TEST(Tooltips, MainDialogTextsEqualTheTable) {
    HWND dlg = CreateMainDialog();
    ASSERT_NE(dlg, nullptr);
    HWND tip = TooltipWindow();
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), 31);
    EXPECT_EQ(SendMessageA(tip, TTM_GETDELAYTIME, TTDT_INITIAL, 0), 1000);
    EXPECT_EQ(SendMessageA(tip, TTM_GETDELAYTIME, TTDT_AUTOPOP, 0), 9000);
    EXPECT_EQ(SendMessageA(tip, TTM_GETMAXTIPWIDTH, 0, 0), 500);
    EXPECT_EQ(GetWindow(tip, GW_OWNER), dlg);
    for (const HelpText& h : MainHelpTexts()) EXPECT_EQ(TipOf(GetDlgItem(dlg, h.id)), h.text) << h.id;
    EXPECT_EQ(TipOf(GetDlgItem(dlg, ids::JogReference)), "X/Y/Z-Referenzfahrt\r\n(zu den Endschaltern)");
    EXPECT_EQ(TipOf(GetDlgItem(dlg, ids::BtnStop)), "");

    TOOLINFOA ti = {};
    ti.cbSize = sizeof ti;
    ASSERT_TRUE(SendMessageA(tip, TTM_ENUMTOOLSA, 0, reinterpret_cast<LPARAM>(&ti)));
    EXPECT_EQ(ti.uFlags & 0x53u, 0x53u);
    EXPECT_EQ(ti.hwnd, GetDlgItem(dlg, ids::LblCommand));
    DestroyWindow(dlg);
}

TEST(Tooltips, NoTooltipsSwitchesTheMainDialogsOff) {
    ProfileValue off("notooltips", "1");
    HWND dlg = CreateMainDialog();
    EXPECT_EQ(TooltipWindow(), nullptr);
    // Windows built later still get theirs, on a tooltip window of their own.
    AddTooltip(dlg, ids::BtnSettings, "x");
    ASSERT_NE(TooltipWindow(), nullptr);
    EXPECT_EQ(SendMessageA(TooltipWindow(), TTM_GETTOOLCOUNT, 0, 0), 1);
    DestroyWindow(dlg);
}

TEST(Tooltips, OnlyAPositiveNumberSwitchesThemOff) {
    for (const char* value : {"0", "", "abc", "-1"}) {
        ProfileValue v("notooltips", value);
        HWND dlg = CreateMainDialog();
        EXPECT_NE(TooltipWindow(), nullptr) << value;
        DestroyWindow(dlg);  // the tooltip window goes with its owner
        EXPECT_EQ(TooltipWindow(), nullptr);
    }
}

// A language file beside the program translates one help text; nothing else changes.
TEST(Tooltips, LanguageFileTranslatesATip) {
    char tmp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, tmp);
    const std::string dir = std::string(tmp) + "kt-lang\\";
    CreateDirectoryA(dir.c_str(), nullptr);
    const std::string file = dir + "test.lan";
    {
        std::ofstream out(file, std::ios::binary);
        out << "$" << KeyHex(TextKey("Programmeinstellungen")) << "$=Program settings\r\n";
    }
    ASSERT_TRUE(WriteConfigValue("files", "lang", "test.lan"));
    ASSERT_TRUE(WriteConfigValue("files", "langdir", dir));
    HWND dlg = CreateMainDialog();
    EXPECT_EQ(TipOf(GetDlgItem(dlg, ids::BtnSettings)), "Program settings");
    EXPECT_EQ(TipOf(GetDlgItem(dlg, ids::BtnSetup)), "KT4180-Konfiguration\r\nverwalten");
    // "$SAVE$" writes the table back: the translation and every text met since, in order.
    EXPECT_EQ(Translate("$SAVE$"), "$SAVE$");
    std::ifstream in(file, std::ios::binary);
    const std::string saved((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string first = "$" + KeyHex(TextKey("Programmeinstellungen")) + "$=Program settings\r\n";
    EXPECT_EQ(saved.substr(0, first.size()), first);
    EXPECT_NE(saved.find("$" + KeyHex(TextKey("Eine Plt-Datei \xF6" "ffnen")) + "$=Eine Plt-Datei \xF6" "ffnen\r\n"),
              std::string::npos);
    DestroyWindow(dlg);
    DeleteFileA(file.c_str());
    RemoveDirectoryA(dir.c_str());
    DeleteFileA(ConfigFile().c_str());
}

TEST(Tooltips, WithoutALanguageFileTextsStayGerman) {
    SetCurrentDirectoryA("C:\\windows");
    DeleteFileA(ConfigFile().c_str());
    EXPECT_EQ(Translate("Schrittbetrieb"), "Schrittbetrieb");
    EXPECT_EQ(Translate(""), "");
}
