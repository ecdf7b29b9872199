#include "plot/image_export_win.h"

#include <commdlg.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "base/files_win.h"
#include "base/paths.h"
#include "base/settings_win.h"
#include "base/shell_windows_win.h"
#include "base/text.h"
#include "plot/preview_win.h"

// GDI+'s flat interface, declared here: the program needs seven functions of it.
namespace gdiplus {
struct StartupInput {
    UINT32 GdiplusVersion;
    void* DebugEventCallback;
    BOOL SuppressBackgroundThread;
    BOOL SuppressExternalCodecs;
};
struct ImageCodecInfo {
    CLSID Clsid;
    GUID FormatID;
    const WCHAR* CodecName;
    const WCHAR* DllName;
    const WCHAR* FormatDescription;
    const WCHAR* FilenameExtension;
    const WCHAR* MimeType;
    DWORD Flags;
    DWORD Version;
    DWORD SigCount;
    DWORD SigSize;
    const BYTE* SigPattern;
    const BYTE* SigMask;
};
extern "C" {
int WINAPI GdiplusStartup(ULONG_PTR* token, const StartupInput* input, void* output);
void WINAPI GdiplusShutdown(ULONG_PTR token);
int WINAPI GdipGetImageEncodersSize(UINT* count, UINT* size);
int WINAPI GdipGetImageEncoders(UINT count, UINT size, ImageCodecInfo* encoders);
int WINAPI GdipLoadImageFromFile(const WCHAR* file, void** image);
int WINAPI GdipSaveImageToFile(void* image, const WCHAR* file, const CLSID* encoder, const void* params);
int WINAPI GdipDisposeImage(void* image);
}
constexpr int Ok = 0;
}  // namespace gdiplus

namespace {

std::wstring Wide(const std::string& s) {
    const int n = MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, nullptr, 0);
    std::wstring w(static_cast<size_t>(n > 0 ? n : 1), L'\0');
    if (n > 0) MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, &w[0], n);
    return w;
}

std::string Narrow(const WCHAR* w) {
    if (!w) return "";
    const int n = WideCharToMultiByte(CP_ACP, 0, w, -1, nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<size_t>(n > 0 ? n : 1), '\0');
    if (n > 0) WideCharToMultiByte(CP_ACP, 0, w, -1, &s[0], n, nullptr, nullptr);
    s.resize(std::strlen(s.c_str()));
    return s;
}

const char* MimeFor(const std::string& lastThree) {
    if (lastThree == "BMP") return "image/bmp";
    if (lastThree == "JPG") return "image/jpeg";
    if (lastThree == "GIF") return "image/gif";
    if (lastThree == "TIF") return "image/tiff";
    if (lastThree == "PNG") return "image/png";
    return nullptr;
}

// A failed export is said, never passed over: the user would take an old or empty file for it.
void ExportFailed(const std::string& path) {
    const std::string text = "Das Bild konnte nicht gespeichert werden:\r\n" + path;
    MessageBoxA(Ui.MainDialog, text.c_str(), "Nicht gespeichert !", MB_OK | MB_ICONERROR | MB_TASKMODAL);
}

bool HasContent(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA a;
    return GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &a) &&
           !(a.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && (a.nFileSizeLow | a.nFileSizeHigh) != 0;
}

std::string TemporaryFolder() {
    char dir[MAX_PATH] = {};
    const DWORD n = GetTempPathA(MAX_PATH, dir);
    return n > 0 && n < MAX_PATH ? std::string(dir, n) : "";
}

}  // namespace

std::string NewTemporaryBitmapPath() {
    char path[MAX_PATH] = {};
    const std::string dir = TemporaryFolder();
    return !dir.empty() && GetTempFileNameA(dir.c_str(), "plt", 0, path) ? path : "";
}

std::string ImageFileType(const std::string& path) {
    const std::string name = FileNamePart(path);
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? "" : UpperAscii(name.substr(dot + 1));
}

bool FindEncoderClsid(const std::string& mimeType, CLSID& clsid) {
    const std::string wanted = UpperAscii(mimeType);
    UINT count = 0, size = 0;
    if (gdiplus::GdipGetImageEncodersSize(&count, &size) != gdiplus::Ok || size == 0) return false;
    std::vector<BYTE> buffer(size);
    auto* codecs = reinterpret_cast<gdiplus::ImageCodecInfo*>(buffer.data());
    if (gdiplus::GdipGetImageEncoders(count, size, codecs) != gdiplus::Ok) return false;
    for (UINT i = 0; i < count; ++i) {
        if (UpperAscii(Narrow(codecs[i].MimeType)).find(wanted) != std::string::npos) {
            clsid = codecs[i].Clsid;
            return true;
        }
    }
    return false;
}

ConvertResult ConvertImageFile(const std::string& source, const std::string& target) {
    if (!FileExists(source) || target.find_first_not_of(' ') == std::string::npos || source == target)
        return ConvertResult::Done;
    const char* mime = MimeFor(ImageFileType(target));
    if (!mime) return ConvertResult::Done;
    ULONG_PTR token = 0;
    const gdiplus::StartupInput input = {1, nullptr, FALSE, FALSE};
    if (gdiplus::GdiplusStartup(&token, &input, nullptr) != gdiplus::Ok) return ConvertResult::NoGdiplus;
    ConvertResult result = ConvertResult::Done;
    CLSID encoder;
    void* image = nullptr;
    if (!FindEncoderClsid(mime, encoder)) {
        result = ConvertResult::NoEncoder;
    } else if (gdiplus::GdipLoadImageFromFile(Wide(source).c_str(), &image) != gdiplus::Ok) {
        result = ConvertResult::NoSource;
    } else if (image) {
        if (gdiplus::GdipSaveImageToFile(image, Wide(target).c_str(), &encoder, nullptr) != gdiplus::Ok)
            result = ConvertResult::NotSaved;
        gdiplus::GdipDisposeImage(image);
    }
    gdiplus::GdiplusShutdown(token);
    return result;
}

void SavePreviewImage() {
    // A preview half built is no picture of the file: the export waits for the finished one.
    if (PlotReadGoingOn() == PlotReadKind::Preview) return AfterPlotRead(SavePreviewImage);
    // A bitmap of this export's own: under one name for every copy of the program, a copy
    // would export, or delete, the picture of another.
    const std::string temp = NewTemporaryBitmapPath();
    if (temp.empty() || !WritePreviewBitmap(temp)) {
        if (!temp.empty()) DeleteFileA(temp.c_str());
        ExportFailed(temp.empty() ? TemporaryFolder() : temp);
        return;
    }
    const std::string previous = ReadProfileValue("save", CurrentDirectory() + "\\plt.jpg");

    FileDialog d;
    d.save = true;
    d.title = "Save PLT..";
    const std::string pattern = "*.jpg;*.png;*.bmp;*.gif";
    d.filter = pattern + '\0' + pattern + '\0';
    d.initialDir = previous.empty() ? CurrentDirectory() : previous;
    const std::string chosen = AskFileName(d);
    if (!chosen.empty()) WriteProfileValue("save", chosen);

    const std::string type = ImageFileType(chosen);
    const bool known = type == "BMP" || type == "GIF" || type == "JPG" || type == "PNG";
    bool saved = false;
    if (type == "BMP") {
        saved = CopyFileA(temp.c_str(), chosen.c_str(), FALSE) != FALSE;
    } else if (known) {
        // GIF encoders take palette images only: a preview of more colors is reduced to one.
        // Without its source a conversion does nothing and says Done: the bitmap must be there.
        saved = (type == "GIF" ? WritePreviewBitmap(temp, true) : FileExists(temp)) &&
                ConvertImageFile(temp, chosen) == ConvertResult::Done;
    }
    // No later export takes this name again: the bitmap goes, whatever became of it.
    DeleteFileA(temp.c_str());
    if (chosen.empty()) return;
    if (!known)
        MessageBoxA(Ui.MainDialog, "Dateityp falsch !", "JPG, PNG, GIF, BMP ?", MB_OK | MB_SYSTEMMODAL);
    else if (!saved || !HasContent(chosen))
        ExportFailed(chosen);
}
