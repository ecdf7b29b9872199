// The main dialog as built, its dispatch, and the settings stores of the program.
#include "tests/win/win_test_util.h"

#include "base/progress_win.h"
#include "config/setup_dialog_win.h"
#include "link/controller_search_win.h"
#include "link/line_monitor_win.h"

namespace {

class MainDialog : public testing::Test {
protected:
    void SetUp() override { ASSERT_NE(dlg = CreateMainDialog(), nullptr); }
    HWND Item(int id) { return GetDlgItem(dlg, id); }
    HWND dlg = nullptr;
};

}  // namespace

TEST_F(MainDialog, BuiltAsTheUserSeesIt) {
    // Creation order, with ProgressRun moved into SBar1.
    EXPECT_EQ(Children(dlg), (std::vector<std::string>{"1004 Button  0,0 32x32",
                                                       "1005 Button  32,0 32x32",
                                                       "1006 Button  64,0 32x32",
                                                       "1007 Button  68,396 56x32",
                                                       "1008 Button  12,396 56x32",
                                                       "1011 Button  124,396 64x32",
                                                       "1012 Button  97,0 32x32",
                                                       "1013 Button  130,0 32x32",
                                                       "1014 Button  164,0 32x32",
                                                       "1029 msctls_statusbar32 SBar1",
                                                       "1036 Static KT4180-Controller an: 19,35 117x13",
                                                       "1037 Static COMx 142,34 52x16",
                                                       "1040 Edit  16,262 168x36",
                                                       "1041 Static manuelles HPGL Kommando: 20,248 161x14",
                                                       "1062 Static Steps: 115,109 37x16",
                                                       "1063 Edit 20 116,126 36x20",
                                                       "1077 Button Manuelles Fahren: 8,52 190x252",
                                                       "1078 Button automatisches Fahren: 8,378 188x58",
                                                       "1079 Edit  26,330 56x16",
                                                       "1080 Static X: 12,332 14x16",
                                                       "1082 Static Y: 12,348 12x14",
                                                       "1084 Static Z: 90,332 12x18",
                                                       "1085 Edit  26,346 56x16",
                                                       "1086 Edit  104,330 56x16",
                                                       "1093 Edit  104,346 18x16",
                                                       "1094 Static P: 91,347 12x18",
                                                       "1144 Static  80,72 40x38",
                                                       "1145 Static  114,72 40x38",
                                                       "1146 Static  148,74 40x38",
                                                       "1147 Static  76,108 40x38",
                                                       "1149 Static  150,110 40x38",
                                                       "1150 Static  78,144 40x38",
                                                       "1151 Static  114,146 40x38",
                                                       "1152 Static  148,144 40x38",
                                                       "1069 Static  16,104 50x50",
                                                       "1070 Static  17,165 48x48",
                                                       "1074 Static  72,192 48x48",
                                                       "1075 Static  135,192 48x48",
                                                       "1153 Static  17,76 48x27",
                                                       "1154 Static  17,214 48x26",
                                                       "1155 Button XYZ-Position, Werkzeug: 8,314 190x58",
                                                       "1387 Button X/Y/Z/P ? 124,348 64x16"}));
    EXPECT_EQ(Looks(GetDlgItem(Item(ids::SBar1), ids::ProgressRun)), "1030 msctls_progress32  34,1 210x22");
    int edges[8] = {};
    ASSERT_EQ(SendDlgItemMessageA(dlg, ids::SBar1, SB_GETPARTS, 8, reinterpret_cast<LPARAM>(edges)), 6);
    EXPECT_EQ(std::vector<int>(edges, edges + 6), (std::vector<int>{249, 399, 549, 699, 849, 2849}));

    // Colors and tips, which the end-to-end scripts do not look at.
    EXPECT_EQ(BackOf(Item(ids::LblControllerOn)), RGB(196, 231, 143));
    EXPECT_EQ(BackOf(Item(ids::LblComPort)), RGB(255, 0, 0));
    EXPECT_EQ(BackOf(Item(ids::LblSteps)), RGB(224, 224, 224)) << "a label takes its group box's color";
    EXPECT_EQ(BackOf(Item(ids::FrmAuto)), RGB(230, 230, 230));
    EXPECT_EQ(SendMessageA(TooltipWindow(), TTM_GETTOOLCOUNT, 0, 0), 31);
    EXPECT_EQ(TipOf(Item(ids::LblCommand)),
              "hier können Sie direkt HPGL-Kommandos\r\neingeben, welche direkt vom "
              "KT4180-Controller\r\nausgeführt werden (z.B. PD; PR250,100; PU;  u.s.w.)");
    EXPECT_EQ(TipOf(Item(ids::BtnStep)), "Nächstes Kommando aus der\r\n *.plt-Datei ausführen..");
    EXPECT_EQ(TipOf(Item(ids::BtnStop)), "");
}

// Windows gives a program without a manifest the common controls 5.8, which refuse a tool whose
// description counts the reserved last field: every tool of every window is described in the
// size all versions take.
TEST(Tooltips, EveryToolIsDescribedInTheSizeEveryVersionTakes) {
    static std::vector<UINT> sizes;
    HHOOK hook = SetWindowsHookExA(
        WH_CALLWNDPROC,
        [](int code, WPARAM w, LPARAM l) CALLBACK -> LRESULT {
            const auto* m = reinterpret_cast<const CWPSTRUCT*>(l);
            if (code == HC_ACTION && m->message == TTM_ADDTOOLA && ClassOf(m->hwnd) == TOOLTIPS_CLASSA)
                sizes.push_back(reinterpret_cast<const TOOLINFOA*>(m->lParam)->cbSize);
            return CallNextHookEx(nullptr, code, w, l);
        },
        nullptr, GetCurrentThreadId());
    HWND dlg = CreateMainDialog();
    OpenLineMonitor(dlg);
    CreateSetupDialog(dlg);
    UnhookWindowsHookEx(hook);
    EXPECT_GT(sizes.size(), 31u);
    EXPECT_EQ(std::count(sizes.begin(), sizes.end(), TTTOOLINFOA_V2_SIZE), static_cast<long>(sizes.size()));
}

// Switching between two windows of the program gives each its own control back.
TEST_F(MainDialog, EachWindowGetsItsFocusedControlBack) {
    ShowWindow(dlg, SW_SHOW);
    HWND monitor = OpenLineMonitor(dlg);
    auto activate = [](HWND w, HWND focus) {
        SetForegroundWindow(w);
        SetActiveWindow(w);
        PumpFor(150);
        if (focus) SetFocus(focus);
        return GetActiveWindow() == w;
    };
    ASSERT_TRUE(activate(dlg, Item(ids::TxtSteps)) && activate(monitor, GetDlgItem(monitor, ids::ChkTrafficLog)));
    for (int round = 0; round < 2; ++round) {
        EXPECT_TRUE(activate(dlg, nullptr) && GetFocus() == Item(ids::TxtSteps)) << round;
        EXPECT_TRUE(activate(monitor, nullptr) && GetFocus() == GetDlgItem(monitor, ids::ChkTrafficLog)) << round;
    }
}

// The jog images act on cursor messages while the primary button is held (the physical right
// one for a user who swapped the buttons): only with the dialog in front (a press on another
// window dragged over them moves nothing), and only with a count in range, also for the images
// without a count (a warning instead).
TEST_F(MainDialog, AJogNeedsThePrimaryButtonTheDialogInFrontAndACountInRange) {
    ShowWindow(dlg, SW_SHOW);
    POINT bare = {500, 200};  // the presses below land on the dialog's bare ground, right of its controls
    ClientToScreen(dlg, &bare);
    SetCursorPos(bare.x, bare.y);
    HWND monitor = OpenLineMonitor(dlg);  // it counts what is sent, port or not
    Hand hand;
    struct Restore {
        ~Restore() { SwapMouseButton(FALSE); }  // a setting of the whole desktop
    } restore;
    const struct {
        std::string steps;
        bool inFront, swapped, right, moves;
    } cases[] = {{"20", false, false, false, false},   {"0", true, false, false, false},
                 {"20001", true, false, false, false}, {"", true, false, false, false},
                 {"20", true, true, false, false},     {"20", true, true, true, true},
                 {"20", true, false, false, true}};
    for (const auto& k : cases) {
        SetWindowTextA(Item(ids::TxtSteps), k.steps.c_str());
        SwapMouseButton(k.swapped);
        HWND front = k.inFront ? dlg : monitor;
        SetForegroundWindow(front);
        PumpUntil([front] { return GetForegroundWindow() == front; }, 2000);  // input is posted: wait till it is seen
        const int key = k.right ? VK_RBUTTON : VK_LBUTTON;
        Mouse(k.right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN);
        PumpUntil([key] { return (GetAsyncKeyState(key) & 0x8000) != 0; }, 2000);
        // Released once the jog has sent, shown its warning or let the press go.
        const uint32_t before = txByteCount;
        std::atomic<bool> returned{false};
        std::thread release([&] {
            WaitUntil([&] { return txByteCount > before || FindOwnWindow() || returned; });
            Mouse(k.right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP);
        });
        SendMessageA(dlg, WM_SETCURSOR, reinterpret_cast<WPARAM>(Item(ids::JogPenUp)),
                     MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
        returned = true;
        release.join();
        EXPECT_EQ(txByteCount > before, k.moves)
            << k.steps << (k.swapped ? " swapped" : "") << (k.right ? " right" : "");
    }
    // A press refused inside another command's wait for the board stays refused after it.
    ConnectBoard();
    HoldCts = true;
    Mouse(MOUSEEVENTF_LEFTDOWN);
    PumpUntil([] { return (GetAsyncKeyState(VK_LBUTTON) & 0x8000) != 0; }, 2000);
    TimedSteps jog(10, [&](int n) {
        SendMessageA(dlg, WM_SETCURSOR, reinterpret_cast<WPARAM>(Item(ids::JogZUp)),
                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        HoldCts = n < 3;
        return n < 6;
    });
    std::atomic<bool> returned{false};
    std::thread wayOut([&] {  // a jog begun inside the wait would hold it for good
        if (!WaitUntil([&] { return returned.load(); }, 1500)) HoldCts = false, PostMessageA(dlg, WM_CLOSE, 0, 0);
    });
    EXPECT_EQ(SendCommand("PA0,0\r\n"), SendResult::Sent);
    PumpFor(100);
    returned = true;
    wayOut.join();
    Mouse(MOUSEEVENTF_LEFTUP);
    EXPECT_EQ(Written, "PA0,0\r\n");
    ASSERT_EQ(hand.Finish().boxes.size(), 3u);
    for (const auto& box : hand.boxes) {
        EXPECT_EQ(box.title + " " + box.text, "No Steps? ungültiger Wert in Step-Box !");
        EXPECT_TRUE(box.mainDisabled) << "the box is modal";
    }
    EXPECT_FALSE(App.JogBusy);
}

TEST_F(MainDialog, ASearchWithNoBoardAnsweringSaysSo) {
    Hand hand;
    FindController();
    EXPECT_EQ(hand.Said(), "CNC?|kein KT4180-Controller gefunden !");
    EXPECT_EQ(ControlText(Item(ids::LblComPort)), "COM??");
    EXPECT_EQ(BackOf(Item(ids::LblComPort)), RGB(255, 0, 0));
}

TEST(Settings, AsOtherProgramsSeeThemAndWhereAStoreRefusesThem) {
    // win.ini, section KTXPLT, and the .cfg in the ANSI code page; nothing in the user's place then.
    App.ConfigFilePath = TempFolder("kt-settings") + "\\KT4180.cfg";
    DeleteFileA(UserConfigFile().c_str());
    auto write = [](const char* value) { WriteProfileValue("save", value), WriteConfigValue("pos", "lmw", value); };
    auto read = [] { return ReadProfileValue("save", "") + "|" + ReadConfigValue("pos", "lmw", ""); };
    write("Größe");
    char buf[32] = {}, ini[MAX_PATH] = {};
    GetProfileStringA("KTXPLT", "save", "", buf, sizeof buf);
    EXPECT_EQ(read() + "|" + buf + "|" + FileText(ConfigFile()), "Größe|Größe|Größe|[pos]\r\nlmw=Größe\r\n");
    EXPECT_FALSE(FileExists(UserConfigFile()) ||
                 RegGetValueA(HKEY_CURRENT_USER, "Software\\kt_win_tests\\KTXPLT", "save", RRF_RT_REG_SZ, nullptr,
                              nullptr, nullptr) == ERROR_SUCCESS);
    // Held open for reading, the stores refuse writes as win.ini and Program Files do a standard user's.
    GetWindowsDirectoryA(ini, MAX_PATH);
    HANDLE locks[] = {
        CreateFileA((ini + std::string("\\win.ini")).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                    nullptr),
        CreateFileA(ConfigFile().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr)};
    write("new");
    EXPECT_EQ(read(), "new|new");
    for (HANDLE lock : locks) CloseHandle(lock);
    write("newer");
    EXPECT_EQ(read(), "newer|newer") << "an old value in the user's place hid a newer one";
    WriteProfileStringA("KTXPLT", "save", nullptr);

    // notooltips: only a positive number switches the main dialog's tips off.
    for (const char* value : {"1", "0", "", "abc", "-1"}) {
        WriteProfileStringA("KTXPLT", "notooltips", value);
        HWND dlg = CreateMainDialog();
        EXPECT_EQ(TooltipWindow() == nullptr, value == std::string("1")) << value;
        DestroyWindow(dlg);  // the tooltip window goes with its owner
    }
    WriteProfileStringA("KTXPLT", "notooltips", nullptr);

    // HKEY_CLASSES_ROOT\<program name>\Ini as REG_SZ; where the classes root refuses the
    // write (a standard user's), the user's own classes.
    auto stored = [](HKEY root, const char* key) {
        char value[8] = {};
        DWORD n = sizeof value;
        return RegGetValueA(root, key, "fcomport", RRF_RT_REG_SZ, nullptr, value, &n) ? "none" : std::string(value);
    };
    WriteRegistryValue("Ini", "fcomport", " 3", "C:\\Somewhere\\X.exe");
    EXPECT_EQ(stored(HKEY_CLASSES_ROOT, "X\\Ini") + ReadRegistryValue("Ini", "fcomport", "d", 25, "C:\\X.exe"), " 3 3");
    RegDeleteTreeA(HKEY_CLASSES_ROOT, "X");
    WriteRegistryValueWithFallback(reinterpret_cast<HKEY>(ULONG_PTR{0x7ffffff0}), "KtFallback\\Ini", "fcomport", " 5");
    EXPECT_EQ(stored(HKEY_CURRENT_USER, "Software\\Classes\\KtFallback\\Ini"), " 5");
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Classes\\KtFallback");
}

namespace {

// The images a window's controls and title bar show, each with whether it is an icon.
std::vector<std::pair<HANDLE, bool>> ImagesOf(HWND w) {
    std::vector<std::pair<HANDLE, bool>> images;
    auto add = [&](LRESULT h, bool icon) {
        if (h) images.push_back({reinterpret_cast<HANDLE>(h), icon});
    };
    for (HWND c = GetWindow(w, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        if (ClassOf(c) == "Static") add(SendMessageA(c, STM_GETIMAGE, IMAGE_BITMAP, 0), false);
        const bool icon = GetWindowLongA(c, GWL_STYLE) & BS_ICON;
        if (ClassOf(c) == "Button") add(SendMessageA(c, BM_GETIMAGE, icon ? IMAGE_ICON : IMAGE_BITMAP, 0), icon);
    }
    add(SendMessageA(w, WM_GETICON, ICON_BIG, 0), true);
    add(SendMessageA(w, WM_GETICON, ICON_SMALL, 0), true);
    return images;
}

bool Alive(const std::pair<HANDLE, bool>& image) {
    if (!image.second) return GetObjectType(image.first) != 0;
    ICONINFO info = {};
    if (!GetIconInfo(static_cast<HICON>(image.first), &info)) return false;
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return true;
}

}  // namespace

// Bitmaps and icons go with their window: none is left of the setup dialog's, the line monitor's or a progress window's.
TEST_F(MainDialog, ClosedWindowsLeaveNoImagesBehind) {
    const std::pair<size_t, std::function<HWND()>> windows[] = {
        {9, [&] { return CreateSetupDialog(dlg); }},
        {2, [&] { return OpenLineMonitor(dlg); }},
        {2, [&] { return ShowProgress(dlg, "Lese 4180-Controller aus..."); }}};
    for (const auto& [count, open] : windows) {
        for (int round = 0; round < 3; ++round) {
            HWND w = open();
            const auto images = ImagesOf(w);
            ASSERT_EQ(images.size(), count);
            SendMessageA(w, WM_CLOSE, 0, 0);
            ASSERT_FALSE(IsWindow(w));
            for (const auto& image : images) ASSERT_FALSE(Alive(image)) << count << " images, round " << round;
        }
    }
}
