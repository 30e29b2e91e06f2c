#pragma once

#include <cstdint>

namespace vuelco {

// What tells a file apart from every other while it exists, whatever names it goes by: its
// device and inode number on Linux, its volume serial number and file ID on Windows.
struct FileIdentity {
    std::uint64_t volume = 0;
    std::uint64_t file = 0;

    friend bool operator==(const FileIdentity &, const FileIdentity &) = default;
};

} // namespace vuelco
