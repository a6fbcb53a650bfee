#include "Cp932Text.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <iconv.h>
#endif

#include <cerrno>
#include <vector>

namespace pallowin::desktop {
namespace {
constexpr std::string_view Replacement = "\xEF\xBF\xBD";
}

#if defined(_WIN32)
std::string Cp932ToUtf8(std::string_view cp932) {
    std::string out;
    // Character by character, so one bad byte does not lose the whole text.
    std::size_t i = 0;
    while (i < cp932.size()) {
        const auto lead = static_cast<unsigned char>(cp932[i]);
        std::size_t len = IsDBCSLeadByteEx(932, lead) && i + 1 < cp932.size() ? 2 : 1;
        wchar_t wide[2];
        int n = MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, cp932.data() + i,
                                    static_cast<int>(len), wide, 2);
        if (n <= 0) {
            out += Replacement;
        } else {
            char utf8[8];
            int m = WideCharToMultiByte(CP_UTF8, 0, wide, n, utf8, sizeof utf8, nullptr, nullptr);
            out.append(utf8, m > 0 ? static_cast<std::size_t>(m) : 0);
        }
        i += len;
    }
    return out;
}
#else
std::string Cp932ToUtf8(std::string_view cp932) {
    iconv_t cd = iconv_open("UTF-8", "CP932");
    if (cd == reinterpret_cast<iconv_t>(-1)) cd = iconv_open("UTF-8", "SHIFT_JIS");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        std::string out;
        for (char c : cp932) {
            if (static_cast<unsigned char>(c) < 0x80) out += c;
            else out += Replacement;
        }
        return out;
    }
    std::string out;
    std::vector<char> buffer(cp932.size() * 4 + 16);
    char* in = const_cast<char*>(cp932.data());
    std::size_t inLeft = cp932.size();
    while (inLeft > 0) {
        char* dst = buffer.data();
        std::size_t dstLeft = buffer.size();
        std::size_t r = iconv(cd, &in, &inLeft, &dst, &dstLeft);
        out.append(buffer.data(), static_cast<std::size_t>(dst - buffer.data()));
        if (r == static_cast<std::size_t>(-1) && errno != E2BIG) {
            // An invalid or cut-off sequence: mark it and go on after its first byte.
            out += Replacement;
            ++in;
            --inLeft;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    iconv_close(cd);
    return out;
}
#endif

}  // namespace pallowin::desktop
