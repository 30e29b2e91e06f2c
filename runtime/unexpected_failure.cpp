#include "runtime/unexpected_failure.h"

#include <exception>
#include <new>
#include <string>

namespace vuelco {

Failure currentFailure()
{
    try {
        throw;
    } catch (const Failure &failure) {
        return failure;
    } catch (const std::bad_alloc &) {
        return Failure(FailureNumber::OutOfMemory);
    } catch (const std::exception &error) {
        return Failure(FailureNumber::InternalError, {},
                       FailureDetail::ofException(error.what()));
    } catch (...) {
        return Failure(FailureNumber::InternalError);
    }
}

} // namespace vuelco
