#include "cli/standard_streams.h"

namespace vuelco::cli {

// Windows hands a file opened later a handle of its own, never a closed standard one's:
// nothing to hold.
void holdClosedStandardStreams() {}

} // namespace vuelco::cli
