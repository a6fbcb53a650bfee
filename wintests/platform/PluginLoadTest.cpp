// Loads the 64-bit plug-in as a host would: by path, six exports, unload.
#include <windows.h>

#include <initializer_list>

#include "wintests/harness/WinCheck.h"

int main() {
    HMODULE plugin = LoadLibraryA(wincheck::PluginPath().c_str());
    if (!CHECK(plugin != nullptr))
        return wincheck::Finish("plugin_load_test");
    for (const char* name : {"GetPluginInfo", "GetPictureInfo", "IsSupported", "GetPicture",
                             "GetPreview", "ConfigurationDlg"}) {
        if (!GetProcAddress(plugin, name)) {
            std::printf("missing export %s\n", name);
            CHECK(!"every export is there");
        }
    }
    // Ordinals 1 to 6 in the order hosts know them.
    CHECK(GetProcAddress(plugin, MAKEINTRESOURCEA(1)) == GetProcAddress(plugin, "GetPluginInfo"));
    CHECK(GetProcAddress(plugin, MAKEINTRESOURCEA(6)) == GetProcAddress(plugin, "ConfigurationDlg"));
    CHECK(FreeLibrary(plugin));
    return wincheck::Finish("plugin_load_test");
}
