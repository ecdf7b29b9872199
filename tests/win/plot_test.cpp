// The preview exported as an image.
#include "tests/win/win_test_util.h"

#include "plot/image_export_win.h"
#include "plot/preview_win.h"

TEST(PlotExport, ImagesThatDecodeAndOtherTypesRefused) {
    HWND dlg = CreateMainDialog();
    ShowWindow(dlg, SW_SHOW);
    const std::string dir = TempFolder("kt-plot");
    WriteFile(dir + "\\frame.plt", "SP1;PU0,0;PD4000,0,4000,2000,0,2000,0,0;PU;SP2;SP1;\r\n");
    LoadPlotPreview(CreatePreviewControl(dlg, 206, 2, 400, 300), dir + "\\frame.plt");
    ASSERT_TRUE(WritePreviewBitmap(dir + "\\reference.bmp"));
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
        const std::string bytes = FileText(target);
        if (k.magic.empty()) {
            ASSERT_EQ(hand.boxes.size(), 1u) << k.name;
            EXPECT_EQ(hand.boxes[0].title + "|" + hand.boxes[0].text, "JPG, PNG, GIF, BMP ?|Dateityp falsch !");
            EXPECT_FALSE(FileExists(target));
            EXPECT_TRUE(FileExists(TemporaryBitmapPath())) << "kept";
            continue;
        }
        EXPECT_TRUE(hand.boxes.empty()) << k.name;
        EXPECT_FALSE(FileExists(TemporaryBitmapPath())) << k.name;
        EXPECT_EQ(bytes.substr(0, k.magic.size()), k.magic) << k.name;
        if (k.magic == "BM") {
            EXPECT_EQ(bytes, FileText(dir + "\\reference.bmp")) << "a copy of the preview";
            continue;
        }
        // Decoded again, it has the preview's size (an encoder that cannot take the image
        // writes a header without a picture, and says Ok).
        EXPECT_EQ(ConvertImageFile(target, dir + "\\back.bmp"), ConvertResult::Done) << k.name;
        const std::string back = FileText(dir + "\\back.bmp");
        ASSERT_GT(back.size(), 26u) << k.name;
        EXPECT_EQ(*reinterpret_cast<const int32_t*>(&back[18]), 400) << k.name;
        DeleteFileA((dir + "\\back.bmp").c_str());
    }
    WriteProfileStringA("KTXPLT", "save", nullptr);
}

TEST(PlotFiles, TheOpenDialogListsAllSixKinds) {
    EXPECT_EQ(PlotFileDialog("").filter, std::string("PLT\0*.plt;*.hp;*.hpg;*.hpgl;*.hpl;*.hgl\0", 40));
}
