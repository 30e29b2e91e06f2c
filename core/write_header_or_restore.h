#pragma once

#include "core/bga_header.h"

namespace vuelco {

class BinaryFile;

enum class HeaderWrite : std::uint8_t {
    Written,        // the new header is on the device, in the file the path names
    FileReplaced,   // the path names another file now: the one written has its old header back
};

// The write both conversions share: replaces a header just read through file (old) with
// converted, or leaves old in place when that fails. Offsets 4 to 15 go out in one
// write, never nine (a process killed between separate writes would leave a header that
// is neither layout; twelve bytes inside the first sector reach the file as one piece),
// then a flush, so the new header is on the device when this returns.
//
// When the write falls short and then fails, or the flush fails, part or all of the new
// header may reach the disk although a failure is reported: the old bytes are written
// back before the first failure is rethrown, so the file never keeps a mix, nor a
// conversion reported as failed. A write refused whole (WriteRefused: a full disk, where
// even rewriting a shared block of a copy-on-write volume needs room) left the file as it
// was, and its failure is rethrown alone. When the path no longer names the file written (another
// program replaced it by rename meanwhile; identity_policy.h tells, the file system's way),
// the old bytes go back too: nobody asked to
// convert that file any more. When putting the old bytes back fails as well, the file is
// read again through an open of its own: still holding the old header, the first failure
// is rethrown alone; holding the new one, the first failure says that the file is
// converted but not known to be on the device; anything else (or no reading it) is
// DeviceIo (57), saying that the header may be left half converted.
[[nodiscard]] HeaderWrite writeHeaderOrRestore(BinaryFile &file, const Header &old, const Header &converted);

} // namespace vuelco
