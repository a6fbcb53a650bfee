// The failure kinds raised inside the plug-in. They mirror the host-visible
// result table: ExceptionToResult tests them from the most specific kind up.
#pragma once
#include <stdexcept>
#include <string>

namespace pallowin {

struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct EOutOfMemory : Failure {
    EOutOfMemory() : Failure("out of memory") {}
    using Failure::Failure;
};
struct EOutOfResources : EOutOfMemory {
    using EOutOfMemory::EOutOfMemory;
};
struct EFOpenError : Failure {
    using Failure::Failure;
};
// A stream read or write that transfers fewer bytes than asked.
struct EFilerError : Failure {
    using Failure::Failure;
};
struct EReadError : EFilerError {
    using EFilerError::EFilerError;
};
struct EWriteError : EFilerError {
    using EFilerError::EFilerError;
};
// A header text that does not convert to a number.
struct EConvertError : Failure {
    using Failure::Failure;
};
// Data that is not a valid graphic: the what() text says what is wrong.
struct EInvalidGraphic : Failure {
    using Failure::Failure;
};

}  // namespace pallowin
