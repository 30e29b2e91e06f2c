#pragma once

#include "core/bga_header.h"

#include <filesystem>

namespace vuelco {

enum class ConversionOutcome : std::uint8_t {
    Converted,             // the new header is on the device
    ChangedSinceLoaded,    // the header, or the file at the path, was no longer the one loaded: nothing written
};

// Converts the file at path to the target layout in place, but only if its header is
// still the one the window loaded: the caller gives the groups it loaded, with the file
// in the other layout. The header is read back through the same handle that writes it,
// and written only when it is still exactly that; then offsets 4 to 15 go out in one
// write (5 to 7 carry the zeros just checked) and are flushed to the device before
// Converted is returned. So the file holds the old header or the new one, never a mix,
// and nothing outside those bytes changes.
//
// The file is locked against every other conversion from before the header is read until
// it is closed (BinaryFile::lockForConversion). A file that another program replaced by
// rename after the open gets its old header back, and ChangedSinceLoaded is returned.
//
// Throws Failure when the file cannot be opened, read, written or flushed (after a write
// that may have reached the file, or a failed flush, the verified old header is put back
// first; see writeHeaderOrRestore); a file marked read-only fails with ReadOnly (75)
// before anything is written, and a file that no longer exists with FileNotFound (53):
// none is ever created.
[[nodiscard]] ConversionOutcome convertIfUnchanged(const std::filesystem::path &path, Layout target,
                                                   const Groups &groups);

} // namespace vuelco
