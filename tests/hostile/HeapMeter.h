// The heap a call uses at its peak, counted by replacing the global
// operator new and delete of the test program (host blocks are heap memory
// too in the portable layer). Under AddressSanitizer the sanitizer owns the
// allocator, so nothing is counted there and Measured() says so.
#pragma once
#include <cstddef>

namespace pallowin::heapmeter {

bool Measured();
// From now on, the peak is counted from the bytes in use now.
void StartPeak();
// Bytes in use at the peak since StartPeak, above what was in use then.
std::size_t PeakAboveStart();

}  // namespace pallowin::heapmeter
