// pallowin-plugininfo [LIBRARY]: loads the plug-in library as a host would
// and prints what GetPluginInfo answers for 0 to 5, the Shift-JIS texts
// converted to UTF-8 for the terminal.
#include <dlfcn.h>
#include <iconv.h>

#include <cstdint>
#include <cstdio>
#include <string>

namespace {

using GetPluginInfoFunction = std::int32_t (*)(std::int32_t, char*, std::int32_t);

std::string Cp932ToUtf8(const std::string& text) {
    iconv_t converter = iconv_open("UTF-8", "CP932");
    if (converter == reinterpret_cast<iconv_t>(-1))
        return text;
    std::string out(text.size() * 4 + 1, '\0');
    char* in = const_cast<char*>(text.data());
    std::size_t inLeft = text.size();
    char* outPtr = out.data();
    std::size_t outLeft = out.size();
    const bool ok = iconv(converter, &in, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1);
    iconv_close(converter);
    if (!ok)
        return text;
    out.resize(out.size() - outLeft);
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    const char* library = argc > 1 ? argv[1] : "libpallowin.so";
    void* plugin = dlopen(library, RTLD_NOW | RTLD_LOCAL);
    if (!plugin) {
        std::fprintf(stderr, "pallowin-plugininfo: %s\n", dlerror());
        return 1;
    }
    auto getPluginInfo = reinterpret_cast<GetPluginInfoFunction>(dlsym(plugin, "GetPluginInfo"));
    if (!getPluginInfo) {
        std::fprintf(stderr, "pallowin-plugininfo: %s has no GetPluginInfo\n", library);
        return 1;
    }
    for (std::int32_t number = 0; number <= 5; ++number) {
        char buffer[256] = {};
        const std::int32_t length = getPluginInfo(number, buffer, sizeof buffer);
        std::printf("%d: %s (%d bytes)\n", number,
                    Cp932ToUtf8(std::string(buffer, length > 0 ? length : 0)).c_str(), length);
    }
    dlclose(plugin);
    return 0;
}
