#pragma once

#include <string>

namespace vuelco::cli {

// The exit statuses, as --help and the manual page give them.
inline constexpr int kAllWell = 0;
inline constexpr int kSomeFileFailed = 1;      // or was not converted
inline constexpr int kWrongCommandLine = 2;
inline constexpr int kRecordNotWritten = 3;    // the output could not be written: no more files taken
inline constexpr int kStoppedByCtrlC = 130;
inline constexpr int kStoppedBySigterm = 143;  // and Ctrl+Break on Windows

// The help --help prints: the options, both formats of the record and every exit status.
[[nodiscard]] std::string usage();

} // namespace vuelco::cli
