// Creates the plug-in body when the host loads the DLL and destroys it (which
// saves the settings) when the host unloads it. A failure here must not reach
// the loader: a failed start leaves the exports answering without a body.
#include <windows.h>

#include "plugin/InSPIBody.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) noexcept {
    try {
        if (reason == DLL_PROCESS_ATTACH)
            pallowin::PluginStartup();
        else if (reason == DLL_PROCESS_DETACH)
            pallowin::PluginShutdown();
    } catch (...) {
    }
    return TRUE;
}
