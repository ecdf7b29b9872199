#pragma once
// Saving the preview as an image: BMP by copy, JPG, PNG and GIF through GDI+.
#include <windows.h>

#include <string>

// What ConvertImageFile did; the numbers are the program's result codes.
enum class ConvertResult : int32_t {
    Done = 0,  // or nothing to do
    NoGdiplus = 1,
    NoEncoder = 2,
    NoSource = 3,
    NotSaved = 4,
};

// The button's handler: the preview to a temporary bitmap, the save dialog, then the copy or
// the conversion the chosen name asks for.
void SavePreviewImage();
ConvertResult ConvertImageFile(const std::string& source, const std::string& target);
// The class id of the first encoder whose MIME type contains mimeType, ignoring case.
bool FindEncoderClsid(const std::string& mimeType, CLSID& clsid);
// A new empty file in the temporary folder, "plt" and four hex digits ".tmp", for one export's
// bitmap; empty when none can be made.
std::string NewTemporaryBitmapPath();
// The upper-cased text after the last "." of the file name ("" without one).
std::string ImageFileType(const std::string& path);
