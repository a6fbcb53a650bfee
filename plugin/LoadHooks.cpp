// The native library's counterpart of DllMain: the body lives from load to
// unload of libpallowin.so. Nothing may escape into the dynamic loader.
#include "plugin/InSPIBody.h"

namespace {

__attribute__((constructor)) void startPlugin() noexcept {
    try {
        pallowin::PluginStartup();
    } catch (...) {
    }
}

__attribute__((destructor)) void stopPlugin() noexcept {
    try {
        pallowin::PluginShutdown();
    } catch (...) {
    }
}

}  // namespace
