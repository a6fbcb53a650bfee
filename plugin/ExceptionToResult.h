// Turns a caught failure into the host's result code, most specific kind
// first. Call it from a catch block: catch (...) { return ExceptionToResult(); }
#pragma once
#include <cstdint>
#include <exception>

namespace pallowin {

std::int32_t ExceptionToResult(std::exception_ptr failure = std::current_exception()) noexcept;

}  // namespace pallowin
