// The preview exported as an image.
#include "tests/win/win_test_util.h"

#include <filesystem>

#include "link/controller_search_win.h"
#include "plot/image_export_win.h"
#include "plot/plot_run_win.h"
#include "plot/plot_state.h"
#include "plot/plot_timer_win.h"
#include "plot/preview_win.h"

namespace {

// The main dialog with the preview of a frame, also written as <folder>\reference.bmp.
std::string PreviewOfAFrame() {
    HWND dlg = CreateMainDialog();
    ShowWindow(dlg, SW_SHOW);
    const std::string dir = TempFolder("kt-plot");
    WriteFile(dir + "\\frame.plt", "SP1;PU0,0;PD4000,0,4000,2000,0,2000,0,0;PU;SP2;SP1;\r\n");
    LoadPlotPreview(CreatePreviewControl(dlg, 206, 2, 400, 300), dir + "\\frame.plt");
    EXPECT_TRUE(WritePreviewBitmap(dir + "\\reference.bmp"));
    return dir;
}
// The files of the temporary folder whose names begin with "plt", as exports name their bitmaps.
std::vector<std::string> TemporaryBitmaps() {
    std::vector<std::string> names;
    for (const auto& f : std::filesystem::directory_iterator(TempFolder("")))
        if (f.path().filename().string().rfind("plt", 0) == 0) names.push_back(f.path().string());
    return names;
}

}  // namespace

// Each export leaves no bitmap behind, whatever the name; the picture of another copy of the
// program, under the name every copy once shared, is neither exported nor removed.
TEST(PlotExport, ImagesThatDecodeAndOtherTypesRefused) {
    const std::string dir = PreviewOfAFrame();
    const std::string shared = TempFolder("") + "plt.bmp";
    WriteFile(shared, "BM another copy's picture");
    const std::vector<std::string> bitmaps = TemporaryBitmaps();
    const struct {
        const char* name;
        std::string magic;  // empty: refused
    } cases[] = {{"out.bmp", "BM"},   {"out.png", "\x89PNG"}, {"out.JPG", "\xFF\xD8\xFF"},
                 {"out.gif", "GIF8"}, {"out.jpeg", ""},       {"noextension", ""}};
    for (const auto& k : cases) {
        const std::string target = dir + "\\" + k.name;
        Hand hand("Save PLT..", target);
        SavePreviewImage();
        hand.Finish();
        EXPECT_EQ(ReadProfileValue("save", ""), target) << "remembered, refused or not";
        EXPECT_EQ(TemporaryBitmaps(), bitmaps) << k.name;
        const std::string bytes = FileText(target);
        if (k.magic.empty()) {
            EXPECT_EQ(hand.Said(), "JPG, PNG, GIF, BMP ?|Dateityp falsch !") << k.name;
            EXPECT_FALSE(FileExists(target));
            continue;
        }
        EXPECT_TRUE(hand.boxes.empty()) << k.name;
        EXPECT_EQ(bytes.substr(0, k.magic.size()), k.magic) << k.name;
        if (k.magic == "BM") {
            EXPECT_EQ(bytes, FileText(dir + "\\reference.bmp")) << "a copy of the preview";
            continue;
        }
        // Decoded again, it has the preview's size (an encoder that cannot take the image
        // writes a header without a picture, and says Ok).
        EXPECT_EQ(ConvertImageFile(target, dir + "\\back.bmp"), ConvertResult::Done) << k.name;
        const std::string back = FileText(dir + "\\back.bmp") + std::string(26, '\0');
        EXPECT_EQ(*reinterpret_cast<const int32_t*>(&back[18]), 400) << k.name;
    }
    EXPECT_TRUE(FileText(shared) == "BM another copy's picture") << "another copy's picture replaced";
    DeleteFileA(shared.c_str());
    WriteProfileStringA("KTXPLT", "save", nullptr);
}

// An export that saved nothing says so rather than leave an old image under the name: its bitmap
// taken by a cleaner, or a temporary folder it cannot write. Two exports never get one bitmap.
TEST(PlotExport, AnExportThatSavedNothingSaysSo) {
    const std::string dir = PreviewOfAFrame();
    const std::string one = NewTemporaryBitmapPath(), two = NewTemporaryBitmapPath();  // the cleaner takes them
    EXPECT_TRUE(!one.empty() && one != two) << one;
    const std::string target = dir + "\\old.png",
                      failed = "Nicht gespeichert !|Das Bild konnte nicht gespeichert werden:\r\n";
    WriteFile(target, "an old image");
    Hand cleaner("Save PLT..", target, nullptr, IDOK, [] {
        for (const std::string& f : TemporaryBitmaps()) DeleteFileA(f.c_str());
    });
    SavePreviewImage();
    EXPECT_EQ(cleaner.Said(), failed + target);

    char tmp[MAX_PATH] = {};
    GetEnvironmentVariableA("TMP", tmp, MAX_PATH);
    SetEnvironmentVariableA("TMP", (dir + "\\gone\\").c_str());
    Hand noFolder("Save PLT..", target);
    SavePreviewImage();
    SetEnvironmentVariableA("TMP", tmp);
    EXPECT_EQ(noFolder.Said(), failed + dir + "\\gone\\");
    WriteProfileStringA("KTXPLT", "save", nullptr);
}

namespace {

// Lines of a short plot file, each a command the board takes at once.
std::string ShortLines(int n) {
    std::string text;
    for (int i = 0; i < n; ++i) text += "PA" + std::to_string(i * 10) + ",0;\r\n";
    return text;
}
int LinesWritten() {
    int n = 0;
    for (size_t at = Written.find("\r\n"); at != std::string::npos; at = Written.find("\r\n", at + 2)) ++n;
    return n;
}
void PointAt(HWND control) {
    RECT r;
    GetWindowRect(control, &r);
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

}  // namespace

// A press of Auto or Step that switched a running step run belongs to that run: released after
// the rest of the file has gone out, it starts no second run. (A click with no run going starts
// one: tests/e2e/plot_run.sh.)
TEST(PlotRun, APressThatSwitchedTheRunStartsNoOtherWhenReleased) {
    HWND dlg = CreateMainDialog();
    ShowWindow(dlg, SW_SHOW);
    SetForegroundWindow(dlg);
    ASSERT_TRUE(PumpUntil([dlg] { return GetForegroundWindow() == dlg; }, 2000));
    ConnectBoard();
    WriteFile(Plot.PlotFile = TempFolder("kt-run") + "\\lines.plt", ShortLines(20));
    for (int button : {ids::BtnRun, ids::BtnStep}) {
        Written.clear();
        PointAt(GetDlgItem(dlg, button));
        TimedSteps press(20, [](int n) {
            if (n == 0) Mouse(MOUSEEVENTF_LEFTDOWN);
            if (n == 100) PollRunButtons(ids::BtnStop);  // a second step run would wait for ever
            return n < 100;
        });
        StartPlotRun(ids::BtnStep);
        EXPECT_EQ(LinesWritten(), 21) << button << ": the press let the rest of the file go";
        Mouse(MOUSEEVENTF_LEFTUP);
        PumpFor(300);
        EXPECT_EQ(LinesWritten(), 21) << button << ": the release started another run";
        EXPECT_EQ(App.RunMode, RunModes::Idle);
    }
}

// A run goes alone: not during a preview build (a file chosen meanwhile opens after the build),
// not while another command goes out, and Auto held after Stop resumes nothing.
TEST(PlotRun, ARunStartsOnlyWhenNothingElseReadsOrSends) {
    HWND dlg = CreateMainDialog();
    ShowWindow(dlg, SW_SHOW);
    ConnectBoard();
    const std::string dir = TempFolder("kt-run");
    std::string slow = "PD;";  // long strokes: a build that lets the windows in many times
    for (int i = 0; i < 20000; ++i) slow += "PA0,0;PA40000,30000;";
    WriteFile(dir + "\\slow.plt", slow);
    WriteFile(dir + "\\b.plt", ShortLines(20));
    Plot.PlotFile = dir + "\\b.plt";
    HoldCts = true;
    Hand busy;
    TimedSteps waiting(10, [](int n) {
        if (n == 0) StartPlotRun(ids::BtnRun);
        HoldCts = n < 2;
        return n < 2;
    });
    SendCommand("PU\r\n");
    EXPECT_EQ(busy.Said(), kBusyBox);
    EXPECT_EQ(Written, "PU\r\n");

    int atStop = 0;
    TimedSteps stopped(10, [&](int n) {
        if (n == 0) HoldCts = true;
        if (n == 2) atStop = LinesWritten(), PollRunButtons(ids::BtnStop);
        if (n == 3) PollRunButtons(ids::BtnRun);  // what the poll did with Auto held
        HoldCts = n < 5;
        return n < 5;
    });
    StartPlotRun(ids::BtnRun);
    EXPECT_LE(LinesWritten(), atStop + 1) << "the line in progress at most";
    EXPECT_LT(LinesWritten(), 22);

    Written.clear();
    Hand hand("PLT-Datei öffnen...", dir + "\\b.plt"), save("Save PLT..", dir + "\\b.bmp");
    TimedSteps during(10, [](int) {
        StartPlotRun(ids::BtnRun);
        OpenPlotFile();
        SavePreviewImage();
        return false;
    });
    LoadPlotPreview(CreatePreviewControl(dlg, 206, 2, 400, 300), dir + "\\slow.plt");
    PumpUntil([&] { return save.dialogSeen && !FindOwnWindow("Save PLT.."); });
    ASSERT_TRUE(hand.Finish().dialogSeen) << "the file chosen during the build was never asked for";
    EXPECT_EQ(
        hand.Said(),
        "Stop|Die Vorschau wird noch aufgebaut.\r\nBitte warten, bis sie fertig ist, und dann noch einmal starten.");
    EXPECT_EQ(Plot.PlotFile, dir + "\\b.plt");
    EXPECT_EQ(Written, "") << "no run";
    ASSERT_TRUE(save.Finish().dialogSeen) << "the export asked for during the build";
    ASSERT_TRUE(WritePreviewBitmap(dir + "\\now.bmp"));
    EXPECT_EQ(FileText(dir + "\\b.bmp"), FileText(dir + "\\now.bmp")) << "the finished preview, exported";
}

// A file over the limit runs its first 9,999,999 bytes after saying so, and the command the
// limit cut goes out neither with it nor with the next run; a file that cannot be read runs not
// at all.
TEST(PlotRun, AFileTooLargeOrUnreadableIsSaidAndSendsNothingItShouldNot) {
    CreateMainDialog();
    ConnectBoard();
    const std::string dir = TempFolder("kt-run");
    std::string big(kPlotTextMax - 9, ' ');
    WriteFile(Plot.PlotFile = dir + "\\big.plt", big + "PA12345,678;\r\n");  // cut after "PA12345,6"
    Hand cut;
    StartPlotRun(ids::BtnRun);
    EXPECT_EQ(cut.Said(), "PLT-File zu groß !|Die Plot-Datei ist größer als 9999999 Bytes:\r\n" + Plot.PlotFile +
                              "\r\nNur ihre ersten 9999999 Bytes werden gezeichnet und gesendet.");
    WriteFile(Plot.PlotFile = dir + "\\b.plt", ShortLines(1));
    StartPlotRun(ids::BtnRun);
    EXPECT_EQ(Written, ";\r\n;\r\nPA0,0;\r\n");

    Written.clear();
    HANDLE locked = CreateFileA(Plot.PlotFile.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    Hand unreadable;
    StartPlotRun(ids::BtnRun);
    CloseHandle(locked);
    EXPECT_EQ(unreadable.Said(), "Stop|Die Plot-Datei kann nicht gelesen werden:\r\n" + Plot.PlotFile +
                                     "\r\nDer Lauf beginnt nicht, nichts wurde gesendet.");
    EXPECT_EQ(Written, "");
    DeleteFileA((dir + "\\big.plt").c_str());
}

// The preview rebuilt after a size change shows the file this copy has open, not the one another
// copy remembered in win.ini; a minimized window keeps its size.
TEST(PlotTimer, TheRebuildShowsThisCopysFileAndMinimizingIsNoNewSize) {
    HWND dlg = CreateMainDialog();
    ShowWindow(dlg, SW_SHOW);
    const std::string dir = TempFolder("kt-timer");
    WriteFile(dir + "\\mine.plt", ShortLines(3));
    WriteFile(dir + "\\theirs.plt", ShortLines(4));
    WriteProfileValue("pltfile", dir + "\\mine.plt");
    EXPECT_EQ(PlotFileDialog("").filter, std::string("PLT\0*.plt;*.hp;*.hpg;*.hpgl;*.hpl;*.hgl\0", 40));
    Hand search;  // the first search, on the third tick, finds no board
    for (int tick = 0; tick < 10; ++tick) PlotTimerTick();
    EXPECT_EQ(Plot.PlotFile, dir + "\\mine.plt") << "the file remembered, at start-up";
    WriteProfileValue("pltfile", dir + "\\theirs.plt");  // another copy opened a file
    const int32_t width = App.DialogWidth;
    ShowWindow(dlg, SW_MINIMIZE);
    EXPECT_EQ(App.DialogWidth, width);
    ShowWindow(dlg, SW_RESTORE);
    RECT r;
    GetWindowRect(dlg, &r);
    SetWindowPos(dlg, nullptr, 0, 0, r.right - r.left + 20, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER);
    for (int tick = 0; tick < 10; ++tick) PlotTimerTick();
    EXPECT_EQ(Plot.PlotFile, dir + "\\mine.plt");
    char part2[MAX_PATH] = {};
    SendDlgItemMessageA(dlg, ids::SBar1, SB_GETTEXTA, 1, reinterpret_cast<LPARAM>(part2));
    EXPECT_STREQ(part2, "mine.plt");
    search.Finish();
    WriteProfileStringA("KTXPLT", "pltfile", nullptr);
}

// A search while a run collects a long polyline ends the run in the middle of that line: what
// it had collected never goes out, not even at the start of the next run.
TEST(PlotRun, ARunEndedInsideALineLeavesNothingForTheNext) {
    ShowWindow(CreateMainDialog(), SW_SHOW);
    ConnectBoard();
    std::string poly = "PU0,0;\r\nPD";
    for (int i = 0; i < 100000; ++i) poly += std::to_string(i * 10) + "," + std::to_string(i * 7) + ",";
    WriteFile(Plot.PlotFile = TempFolder("kt-run") + "\\poly.plt", poly + "0,0;\r\n");
    TimedSteps search(5, [](int) {
        if (TransmissionBusy() || App.RunMode == RunModes::Idle || Plot.SendBuffer.size() < 10) return true;
        FindController();
        return false;
    });
    StartPlotRun(ids::BtnRun);
    ASSERT_EQ(App.RunMode, RunModes::Idle);
    Written.clear();
    WriteFile(Plot.PlotFile, "PU;\r\n");
    StartPlotRun(ids::BtnRun);
    EXPECT_EQ(Written, ";\r\nPU;\r\n");
}
