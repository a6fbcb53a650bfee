// Creates the plug-in body when the host loads the DLL and destroys it (which
// saves the settings) when the host unloads it. No exception reaches the
// loader: a body that cannot be made refuses the load cleanly, so a host
// never holds a plug-in that answers without one.
#include <windows.h>

#include "plugin/InSPIBody.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) noexcept {
    try {
        if (reason == DLL_PROCESS_ATTACH) {
            return pallowin::PluginStartup() ? TRUE : FALSE;
        } else if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
            // Only a real unload (FreeLibrary). When the process is ending,
            // its other threads are gone and the heap may be mid-change, so
            // neither the registry nor destructors are safe to run; settings
            // not saved by then stay unsaved, as for any process that ends
            // without unloading the plug-in.
            pallowin::PluginShutdown();
        }
    } catch (...) {
        return reason == DLL_PROCESS_ATTACH ? FALSE : TRUE;
    }
    return TRUE;
}
