#include "main_window/unexpected_failure.h"

#include <exception>
#include <new>
#include <string>

namespace vuelco {
namespace {

// The numbers the forms runtime has always used for these two.
constexpr std::int32_t kOutOfMemory = 7;
constexpr std::int32_t kInternalError = 51;

} // namespace

Failure currentFailure()
{
    try {
        throw;
    } catch (const Failure &failure) {
        return failure;
    } catch (const std::bad_alloc &) {
        return Failure(kOutOfMemory, "Memoria insuficiente");
    } catch (const std::exception &error) {
        return Failure(kInternalError, std::string("Error interno: ") + error.what());
    } catch (...) {
        return Failure(kInternalError, "Error interno");
    }
}

} // namespace vuelco
