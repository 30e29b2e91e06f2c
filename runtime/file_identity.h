#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

namespace vuelco {

// What tells a file apart from every other while it exists, whatever names it goes by: its
// device and inode number on Linux, its volume serial number and file ID on Windows.
struct FileIdentity {
    std::uint64_t volume = 0;
    std::uint64_t file = 0;

    friend bool operator==(const FileIdentity &, const FileIdentity &) = default;
};

// What a file system promises of the numbers in an identity. Stable: a file keeps its
// number while it exists, and no two files share one (the local file systems known to
// keep them). Unstable: the numbers may be made up by the client and change while the file
// stays (FUSE, network shares), or be a folder position (FAT): they tell nothing for sure.
enum class FileNumbers : std::uint8_t {
    Unasked,  // not known yet: asked of the open file when first needed
    Stable,
    Unstable,
};

// An identity folded into one number, for the tables that find files by identity.
struct FileIdentityHash {
    std::size_t operator()(const FileIdentity &identity) const noexcept
    {
        return std::hash<std::uint64_t>()(identity.file ^ (identity.volume * 0x9E3779B97F4A7C15U));
    }
};

} // namespace vuelco
