// What tests, fuzzers and fault injection can see and steer in the portable
// platform layer. Not available in the Win32 build.
#pragma once
#include <cstddef>
#include <map>
#include <string>

#include "Platform.h"

namespace pallowin::platform::portable {

// Host blocks alive now (allocated and not freed).
std::size_t LiveHostBlockCount();
bool IsLiveHostBlock(HostBlock block);
bool IsHostBlockLocked(HostBlock block);
// Host allocations made since the last reset.
std::size_t HostAllocationCount();

// Fault injection: make the n-th host allocation (1-based, counted from now)
// or the n-th file read (ReadWholeFile and InputFile::Read together) fail;
// 0 turns it off.
void FailNthHostAllocation(std::size_t n);
void FailNthFileRead(std::size_t n);
std::size_t FileReadCount();
void ResetCounters();

// The in-memory registry: section -> name -> value.
struct StoredValue {
    bool isString = true;  // false stands for a value of another registry type
    std::string text;
};
using Section = std::map<std::string, StoredValue>;
std::map<std::string, Section>& Registry();
void ClearRegistry();
// When set, the settings key can be neither opened nor created.
void SetSettingsKeyUnavailable(bool unavailable);
// When set, every value write fails.
void SetRegistryWritesFail(bool fail);

}  // namespace pallowin::platform::portable
