// Extended precision for the x87 unit while the plug-in computes. Hosts may
// have set the precision control to 53 bits, changed the rounding or unmasked
// exceptions; the drawing arithmetic needs 64-bit mantissas, rounding to
// nearest and no traps, and the host must get its own control word back.
#pragma once
#include <cstdint>

namespace pallowin {

class X87Precision {
public:
#if (defined(__i386__) || defined(__x86_64__)) && defined(__GNUC__)
    X87Precision() {
        __asm__ __volatile__("fnstcw %0" : "=m"(saved_));
        // Precision control 11b (64 bits), rounding control 00b (nearest),
        // every exception masked.
        std::uint16_t extended = static_cast<std::uint16_t>((saved_ & ~0x0F00u) | 0x0300u | 0x003Fu);
        __asm__ __volatile__("fldcw %0" : : "m"(extended));
    }
    ~X87Precision() {
        // Flags raised under our masks must not trap once the host's own
        // unmasked word is back.
        __asm__ __volatile__("fnclex\n\tfldcw %0" : : "m"(saved_));
    }
    static std::uint16_t ControlWord() {
        std::uint16_t word;
        __asm__ __volatile__("fnstcw %0" : "=m"(word));
        return word;
    }
    static void SetControlWord(std::uint16_t word) {
        __asm__ __volatile__("fnclex\n\tfldcw %0" : : "m"(word));
    }
    static constexpr bool Active = true;

private:
    std::uint16_t saved_;
#else
    X87Precision() = default;
    static std::uint16_t ControlWord() { return 0; }
    static void SetControlWord(std::uint16_t) {}
    static constexpr bool Active = false;
#endif
    X87Precision(const X87Precision&) = delete;
    X87Precision& operator=(const X87Precision&) = delete;
};

}  // namespace pallowin
