#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <thread>

#include "base/process_state.h"
#include "base/control_ids.h"
#include "app/main_dialog_win.h"
#include "base/settings_win.h"
#include "plot/image_export_win.h"
#include "plot/plot_state.h"
#include "plot/plot_timer_win.h"
#include "plot/preview_win.h"
#include "tests/win/win_test_util.h"

namespace {

std::string TempDir() {
    char dir[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, dir);
    std::string d = std::string(dir) + "kt-plot-test";
    CreateDirectoryA(d.c_str(), nullptr);
    return d;
}

std::string StatusPart(int part) {
    char buf[512] = {};
    SendDlgItemMessageA(Ui.mainDialog, ids::SBar1, SB_GETTEXTA, static_cast<WPARAM>(part),
                        reinterpret_cast<LPARAM>(buf));
    return buf;
}

// Answers the save dialog with a name, and the refusal box if one follows.
struct SaveDialogHand {
    std::string boxTitle, boxText;
    std::thread t;
    explicit SaveDialogHand(const std::string& name, bool expectBox = false) {
        t = std::thread([this, name, expectBox] {
            for (int i = 0; i < 400; ++i) {
                if (HWND dlg = FindWindowA(nullptr, "Save PLT..")) {
                    Sleep(200);
                    // The file name box of the common dialog.
                    HWND edit = GetDlgItem(dlg, 0x47C);
                    if (!edit) edit = GetDlgItem(dlg, 0x480);
                    HWND combo = GetDlgItem(dlg, 0x47C);
                    if (combo) SetWindowTextA(combo, name.c_str());
                    if (edit) SetWindowTextA(edit, name.c_str());
                    PostMessageA(dlg, WM_COMMAND, IDOK, 0);
                    break;
                }
                Sleep(25);
            }
            // Without a window manager the save dialog takes about 2 s to go away.
            for (int i = 0; i < 200; ++i) {
                if (HWND box = FindWindowA("#32770", "JPG, PNG, GIF, BMP ?")) {
                    boxTitle = WindowText(box);
                    boxText = WindowText(GetDlgItem(box, 0xFFFF));
                    PostMessageA(box, WM_COMMAND, IDOK, 0);
                    return;
                }
                if (!expectBox) return;
                Sleep(25);
            }
        });
    }
    void Wait() { t.join(); }
};

class PlotWindow : public testing::Test {
protected:
    void SetUp() override {
        dlg = CreateMainDialog();
        ShowWindow(dlg, SW_SHOW);
        gfx = CreatePreviewControl(dlg, 206, 2, 400, 300);
        dir = TempDir();
        plt = dir + "\\frame.plt";
        std::ofstream(plt, std::ios::binary) << "SP1;PU0,0;PD4000,0,4000,2000,0,2000,0,0;PU;SP2;SP1;\r\n";
    }
    void TearDown() override {
        DestroyWindow(dlg);
        WriteProfileStringA("KTXPLT", "save", nullptr);
    }
    HWND dlg = nullptr, gfx = nullptr;
    std::string dir, plt;
};

}  // namespace

TEST_F(PlotWindow, PreviewShowsStatisticsAndTheTimerShows100Percent) {
    LoadPlotPreview(gfx, plt);
    EXPECT_EQ(StatusPart(1), "frame.plt");
    EXPECT_EQ(StatusPart(2), "Dateigr\xF6\xDF" "e: 0.05 kB");
    EXPECT_EQ(StatusPart(3), "X-Max: 4000/100.00mm");
    EXPECT_EQ(StatusPart(4), "Y-Max: 2000/50.00mm");
    EXPECT_EQ(StatusPart(5), "SP's: 1, 2, ");
    EXPECT_EQ(Plot.PlotFile, plt);
    EXPECT_EQ(Plot.DrawScale, 11);
    PlotTimerTick();
    EXPECT_EQ(StatusPart(0), "100%");
    EXPECT_EQ(WindowText(GetDlgItem(dlg, ids::FrmAuto)), "Start/Step/Stop Automatik");
    // The rectangle's right edge, 4000 / 11 = 364, drawn in pen 1's colour.
    const PlotCanvas* c = PreviewCanvas();
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->Pixels[(c->Height - 100 - 1) * c->Stride + 364] & 0xFFFFFF, 0x080000u);  // RGB(8, 0, 0)
}

// The caption of FrmAuto follows the run mode (ticks 1 and 2: the third starts a search).
TEST_F(PlotWindow, TheRunModeCaption) {
    App.RunMode = RunAuto;
    PlotTimerTick();
    EXPECT_EQ(WindowText(GetDlgItem(dlg, ids::FrmAuto)), "Automatikbetrieb l\xE4uft..");
    App.RunMode = RunStep;
    PlotTimerTick();
    EXPECT_EQ(WindowText(GetDlgItem(dlg, ids::FrmAuto)), "Schrittbetrieb");
    App.RunMode = RunIdle;
}

TEST_F(PlotWindow, ExportAsBmpIsACopyOfTheTemporaryBitmap) {
    LoadPlotPreview(gfx, plt);
    const std::string reference = dir + "\\reference.bmp";
    ASSERT_TRUE(WritePreviewBitmap(reference));
    const std::string target = dir + "\\out.bmp";
    DeleteFileA(target.c_str());
    SaveDialogHand hand(target);
    SavePreviewImage();
    hand.Wait();
    EXPECT_EQ(ReadFileBytes(target), ReadFileBytes(reference));
    EXPECT_EQ(ReadFileBytes(TemporaryBitmapPath()), "") << "the temporary bitmap is deleted";
    EXPECT_EQ(ReadProfileValue("save", ""), target);
}

TEST_F(PlotWindow, ExportAsPngJpgAndGifWritesImagesThatDecode) {
    LoadPlotPreview(gfx, plt);
    struct Case {
        const char* name;
        std::string magic;
    } cases[] = {{"out.png", "\x89PNG"}, {"out.JPG", "\xFF\xD8\xFF"}, {"out.gif", "GIF8"}};
    for (const Case& k : cases) {
        const std::string target = dir + "\\" + k.name;
        DeleteFileA(target.c_str());
        SaveDialogHand hand(target);
        SavePreviewImage();
        hand.Wait();
        const std::string bytes = ReadFileBytes(target);
        EXPECT_EQ(bytes.substr(0, k.magic.size()), k.magic) << k.name;
        // A GIF encoder that cannot take the image writes a header without a picture.
        EXPECT_GT(bytes.size(), 200u) << k.name;
        // Decoded again, the image has the preview's size.
        const std::string back = dir + "\\back.bmp";
        EXPECT_EQ(ConvertImageFile(target, back), ConvertDone) << k.name;
        const std::string bmp = ReadFileBytes(back);
        ASSERT_GT(bmp.size(), 26u) << k.name;
        EXPECT_EQ(*reinterpret_cast<const int32_t*>(&bmp[18]), 400) << k.name;
        DeleteFileA(back.c_str());
    }
}

TEST_F(PlotWindow, OtherFileTypesAreRefused) {
    LoadPlotPreview(gfx, plt);
    for (const char* name : {"out.jpeg", "out.tif", "noextension"}) {
        const std::string target = dir + "\\" + name;
        SaveDialogHand hand(target, true);
        SavePreviewImage();
        hand.Wait();
        EXPECT_EQ(hand.boxText, "Dateityp falsch !") << name;
        EXPECT_EQ(hand.boxTitle, "JPG, PNG, GIF, BMP ?");
        EXPECT_EQ(GetFileAttributesA(target.c_str()), INVALID_FILE_ATTRIBUTES);
        // The rejected name is remembered all the same; the temporary bitmap stays.
        EXPECT_EQ(ReadProfileValue("save", ""), target);
        EXPECT_NE(ReadFileBytes(TemporaryBitmapPath()), "");
    }
}

TEST(ImageExport, FileTypesAndTheEncoderSearch) {
    EXPECT_EQ(ImageFileType("C:\\a.b\\plot.JpG"), "JPG");
    EXPECT_EQ(ImageFileType("C:\\a.b\\plot"), "");
    EXPECT_EQ(ImageFileType("C:\\dir\\x.jpeg"), "JPEG");
    // Nothing to do: a missing source, a blank target, the same file.
    EXPECT_EQ(ConvertImageFile("C:\\nonexistent.bmp", "C:\\x.png"), ConvertDone);
    EXPECT_EQ(ConvertImageFile("C:\\windows\\win.ini", "   "), ConvertDone);
    EXPECT_EQ(ConvertImageFile("C:\\windows\\win.ini", "C:\\windows\\win.ini"), ConvertDone);
    // A source that is no image.
    EXPECT_EQ(ConvertImageFile("C:\\windows\\win.ini", "C:\\windows\\temp\\x.png"), ConvertNoSource);
}
