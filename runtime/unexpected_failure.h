#pragma once

#include "runtime/failure.h"

namespace vuelco {

// The failure to show for the exception being handled, called from inside a catch
// block. The core reports its own failures as Failure; anything else that escapes it
// (memory running out, a library error) still reaches the user with a number, and what
// the exception said, instead of ending the handler silently.
[[nodiscard]] Failure currentFailure();

} // namespace vuelco
