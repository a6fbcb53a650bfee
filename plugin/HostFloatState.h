// The floating-point state of the thread across one picture request: the
// plug-in computes with its own (64-bit x87 precision, rounding to nearest,
// no traps, default SSE control), and the host's own is in force whenever
// control is with the host: before and after the request, and inside each
// progress callback. A callback that changes the state cannot change the
// picture either.
#pragma once
#include <cstdint>
#include <utility>

namespace pallowin {

class HostFloatState {
public:
    HostFloatState();
    ~HostFloatState();
    HostFloatState(const HostFloatState&) = delete;
    HostFloatState& operator=(const HostFloatState&) = delete;

    // Runs f, a call into the host, under the host's state, and puts the
    // plug-in's back afterwards. Outside a request f just runs.
    template <class F>
    static void CallHost(F&& f) {
        if (active_ == nullptr) {
            std::forward<F>(f)();
            return;
        }
        struct Back {
            ~Back() { HostFloatState::active_->ApplyPlugin(); }
        } back;
        active_->ApplyHost();
        std::forward<F>(f)();
    }

private:
    void ApplyPlugin() const;
    void ApplyHost() const;

    std::uint16_t hostX87_ = 0, pluginX87_ = 0;
    std::uint32_t hostSse_ = 0;
    HostFloatState* outer_;
    static inline HostFloatState* active_ = nullptr;
};

}  // namespace pallowin
