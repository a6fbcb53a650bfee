#include "ImageFiles.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#if PALLOWIN_HAVE_PNG
#include <png.h>
#endif

namespace pallowin::desktop {
namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

File OpenForWriting(const std::string& path) {
    File f(std::fopen(path.c_str(), "wb"));
    if (!f) throw ImageFileError(std::strerror(errno));
    return f;
}

// fclose reports a full disk that buffered writes hid.
void Finish(File f) {
    std::FILE* raw = f.release();
    if (std::ferror(raw) != 0) {
        std::fclose(raw);
        throw ImageFileError("write failed");
    }
    if (std::fclose(raw) != 0) throw ImageFileError(std::strerror(errno));
}

void PutLe(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void CheckComplete(const DibPicture& picture) {
    if (picture.width <= 0 || picture.height <= 0 ||
        picture.bits.size() < picture.Stride() * static_cast<std::size_t>(picture.height))
        throw ImageFileError("the picture is incomplete");
}

}  // namespace

ImageFormat FormatOfPath(const std::string& path) {
    auto dot = path.find_last_of('.');
    auto slash = path.find_last_of("/\\");
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return ImageFormat::Unknown;
    std::string ext = path.substr(dot + 1);
    for (char& c : ext)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (ext == "png") return ImageFormat::Png;
    if (ext == "bmp") return ImageFormat::Bmp;
    return ImageFormat::Unknown;
}

void WriteBmp(const std::string& path, const DibPicture& picture) {
    CheckComplete(picture);
    const std::size_t pixelBytes = picture.Stride() * static_cast<std::size_t>(picture.height);
    constexpr std::uint32_t offBits = 14 + 40;
    std::vector<std::uint8_t> head;
    head.push_back('B');
    head.push_back('M');
    PutLe(head, static_cast<std::uint32_t>(offBits + pixelBytes), 4);
    PutLe(head, 0, 4);
    PutLe(head, offBits, 4);
    head.insert(head.end(), picture.header.begin(), picture.header.end());

    File f = OpenForWriting(path);
    std::fwrite(head.data(), 1, head.size(), f.get());
    std::fwrite(picture.bits.data(), 1, pixelBytes, f.get());
    Finish(std::move(f));
}

#if PALLOWIN_HAVE_PNG
namespace {

// libpng reports through longjmp; the message is kept for the exception.
struct PngState {
    png_structp png = nullptr;
    png_infop info = nullptr;
    std::string error;
    ~PngState() { png_destroy_write_struct(&png, &info); }
};

void OnPngError(png_structp png, png_const_charp message) {
    static_cast<PngState*>(png_get_error_ptr(png))->error = message;
    png_longjmp(png, 1);
}
void OnPngWarning(png_structp, png_const_charp) {}

}  // namespace

void WritePng(const std::string& path, const DibPicture& picture) {
    CheckComplete(picture);
    const auto width = static_cast<std::size_t>(picture.width);
    const auto height = static_cast<std::size_t>(picture.height);
    std::vector<std::uint8_t> rgb(width * 3 * height);
    for (std::size_t y = 0; y < height; ++y) {
        const std::uint8_t* src = picture.bits.data() + (height - 1 - y) * picture.Stride();
        std::uint8_t* dst = rgb.data() + y * width * 3;
        for (std::size_t x = 0; x < width; ++x) {
            dst[3 * x] = src[3 * x + 2];
            dst[3 * x + 1] = src[3 * x + 1];
            dst[3 * x + 2] = src[3 * x];
        }
    }
    std::vector<png_bytep> rows(height);
    for (std::size_t y = 0; y < height; ++y) rows[y] = rgb.data() + y * width * 3;

    File f = OpenForWriting(path);
    PngState state;
    state.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &state, OnPngError, OnPngWarning);
    if (state.png == nullptr) throw ImageFileError("out of memory");
    state.info = png_create_info_struct(state.png);
    if (state.info == nullptr) throw ImageFileError("out of memory");
    if (setjmp(png_jmpbuf(state.png))) throw ImageFileError(state.error);
    png_init_io(state.png, f.get());
    png_set_IHDR(state.png, state.info, picture.width, picture.height, 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_rows(state.png, state.info, rows.data());
    png_write_png(state.png, state.info, PNG_TRANSFORM_IDENTITY, nullptr);
    Finish(std::move(f));
}
#else
void WritePng(const std::string&, const DibPicture&) {
    throw ImageFileError("this build writes BMP only (built without libpng)");
}
#endif

void WriteImage(const std::string& path, const DibPicture& picture, ImageFormat format) {
    switch (format) {
    case ImageFormat::Png: WritePng(path, picture); return;
    case ImageFormat::Bmp: WriteBmp(path, picture); return;
    case ImageFormat::Unknown: break;
    }
    throw ImageFileError("unknown image format (use .png or .bmp)");
}

}  // namespace pallowin::desktop
