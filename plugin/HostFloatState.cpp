#include "plugin/HostFloatState.h"

#if defined(__SSE__)
#include <xmmintrin.h>
#endif

#include "drawing/X87Precision.h"

namespace pallowin {

namespace {
// Precision control 64 bits, rounding to nearest, every exception masked.
std::uint16_t PluginX87(std::uint16_t host) {
    return static_cast<std::uint16_t>((host & ~0x0F00u) | 0x0300u | 0x003Fu);
}
// Rounding to nearest, every exception masked, no flush to zero.
constexpr std::uint32_t PluginSse = 0x1F80;
}  // namespace

HostFloatState::HostFloatState() : outer_(active_) {
    hostX87_ = X87Precision::ControlWord();
    pluginX87_ = PluginX87(hostX87_);
#if defined(__SSE__)
    hostSse_ = _mm_getcsr();
#endif
    active_ = this;
    ApplyPlugin();
}

HostFloatState::~HostFloatState() {
    ApplyHost();
    active_ = outer_;
}

void HostFloatState::ApplyPlugin() const {
    X87Precision::SetControlWord(pluginX87_);
#if defined(__SSE__)
    _mm_setcsr(PluginSse);
#endif
}

// Exception flags raised under the plug-in's masks are cleared first, so
// that none traps once the host's unmasked word is back; the host's own SSE
// flags come back as they were.
void HostFloatState::ApplyHost() const {
    X87Precision::SetControlWord(hostX87_);
#if defined(__SSE__)
    _mm_setcsr(hostSse_);
#endif
}

}  // namespace pallowin
