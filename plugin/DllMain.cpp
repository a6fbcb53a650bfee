// Creates the plug-in body when the host loads the DLL and destroys it (which
// saves the settings) when the host unloads it. A failure here must not reach
// the loader: a failed start leaves the exports answering without a body.
#include <windows.h>

#include "plugin/InSPIBody.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) noexcept {
    try {
        if (reason == DLL_PROCESS_ATTACH) {
            pallowin::PluginStartup();
        } else if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
            // Only a real unload (FreeLibrary). When the process is ending,
            // its other threads are gone and the heap may be mid-change, so
            // neither the registry nor destructors are safe to run; settings
            // not saved by then stay unsaved, as for any process that ends
            // without unloading the plug-in.
            pallowin::PluginShutdown();
        }
    } catch (...) {
    }
    return TRUE;
}
