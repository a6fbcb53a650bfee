#include "plugin/ExceptionToResult.h"

#include <new>

#include "platform/Failures.h"
#include "plugin/SpiTypes.h"

namespace pallowin {

std::int32_t ExceptionToResult(std::exception_ptr failure) noexcept {
    if (!failure) return rcInternalError;
    try {
        std::rethrow_exception(failure);
    } catch (const EOutOfMemory&) {  // EOutOfResources too
        return rcNoMemory;
    } catch (const std::bad_alloc&) {
        return rcNoMemory;
    } catch (const EFOpenError&) {
        return rcFileError;
    } catch (const EFilerError&) {  // EReadError, EWriteError
        return rcFileError;
    } catch (...) {
        return rcInternalError;
    }
}

}  // namespace pallowin
