// Writing a plug-in picture to disk: PNG (RGB, 8 bits per channel) or the
// plug-in's own 24-bit BMP. Both throw ImageFileError naming the reason.
#pragma once
#include <stdexcept>
#include <string>

#include "DibPicture.h"

namespace pallowin::desktop {

struct ImageFileError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

enum class ImageFormat { Png, Bmp, Unknown };

// By the extension, in any letter case.
ImageFormat FormatOfPath(const std::string& path);

void WritePng(const std::string& path, const DibPicture& picture);
// BITMAPFILEHEADER, then the plug-in's header and rows exactly as handed over.
void WriteBmp(const std::string& path, const DibPicture& picture);
void WriteImage(const std::string& path, const DibPicture& picture, ImageFormat format);

}  // namespace pallowin::desktop
