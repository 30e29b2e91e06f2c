#pragma once

namespace vuelco::cli {

// Keeps the standard streams the program was started without (closed, as a shell's ">&-"
// leaves them) from being taken by the files a run opens, where a line of the record
// would land in a data file. Each is held by the null device open for reading only, so
// that writing to it still fails, and is told.
void holdClosedStandardStreams();

} // namespace vuelco::cli
