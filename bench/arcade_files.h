#pragma once

#include "bench_report.h"
#include "core/bga_header.h"

#include <filesystem>
#include <string>
#include <vector>

namespace vuelco::bench {

// The groups of every benchmark file, and the arcade header each starts a round with.
extern const Groups kGroups;
extern const Header kArcadeHeader;

// Throws what failed on which path, with the system's reason from errno.
[[noreturn]] void failOn(const std::string &what, const std::string &path);

// Names f0.dat, f1.dat, ... inside the folder; nothing is made.
[[nodiscard]] std::vector<std::string> numberedFiles(const std::filesystem::path &folder, int count);

// Puts the arcade header over every file (made when missing) without truncating, so no
// side pays for blocks allocated anew; then everything goes to the device.
void resetToArcade(const std::vector<std::string> &files);

// What vuelco-cli costs with these arguments, its output to /dev/null: the seconds from its
// start to its end, and its processor time; throws unless it exits 0.
[[nodiscard]] Cost timeCli(const std::string &cli, const std::vector<std::string> &arguments);

} // namespace vuelco::bench
