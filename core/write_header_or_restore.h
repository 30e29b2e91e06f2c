#pragma once

#include "core/bga_header.h"

namespace vuelco {

class BinaryFile;

// The write both conversions share: replaces a header just read through file (old) with
// converted, or leaves old in place when that fails. Offsets 4 to 15 go out in one
// write, never nine (a process killed between separate writes would leave a header that
// is neither layout; twelve bytes inside the first sector reach the file as one piece),
// then a flush, so the new header is on the device when this returns.
//
// When the write falls short and then fails, or the flush fails, part or all of the new
// header may reach the disk although a failure is reported: the old bytes are written
// back before the first failure is rethrown, so the file never keeps a mix, nor a
// conversion reported as failed.
void writeHeaderOrRestore(BinaryFile &file, const Header &old, const Header &converted);

} // namespace vuelco
