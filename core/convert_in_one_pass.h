#pragma once

#include "core/bga_header.h"

#include <filesystem>
#include <optional>

namespace vuelco {

class BinaryFile;

// Converts a file to the target layout in one pass, for batches of files. The file comes
// open for reading (a look opens nothing for writing): one read of the 16 header bytes
// tells its layout. Only when they hold the other layout is the same file opened again
// for writing, through the open handle and never by its name, so that no rename between
// the look and the write can take the write elsewhere; it is then locked against every
// other conversion, its header read again under the lock, and offsets 4 to 15 written in
// one write and flushed before returning. The window's Load keeps its byte-by-byte probe.
//
// Returns the layout the header was in under the lock: empty when unrecognised (a file
// shorter than the header included) and the target itself when it was there already,
// both with nothing opened for writing; the other layout when the file now holds the
// target one. The file is closed on return.
//
// A file that needs converting and cannot be opened for writing throws that open's
// Failure (ReadOnly, 75, for a file marked read-only). Throws Failure when the file
// cannot be read, written or flushed. A file that another program replaced by rename
// after the open gets its old header back, and DeviceIo (57) says that it changed while
// being converted.
[[nodiscard]] std::optional<Layout> convertInOnePass(BinaryFile &file, Layout target);
// The same, telling in seen the header the answer was made from: the one read under the
// lock when the file was opened for writing, else the look's. With only, the file is
// written only when that header is exactly only (an undo asks for the very header its
// record says the conversion left); any other is left as read.
[[nodiscard]] std::optional<Layout> convertInOnePass(BinaryFile &file, Layout target, Header &seen,
                                                     const Header *only = nullptr);
// The same for the file at path, opened for reading first.
[[nodiscard]] std::optional<Layout> convertInOnePass(const std::filesystem::path &path, Layout target);

// What convertInOnePass would do, with nothing opened for writing: the same read and the
// same answers; a file that would need converting and could not be opened for writing
// (one marked read-only) fails as the conversion would.
[[nodiscard]] std::optional<Layout> previewConversion(BinaryFile &file, Layout target);
[[nodiscard]] std::optional<Layout> previewConversion(BinaryFile &file, Layout target, Header &seen,
                                                      const Header *only = nullptr);

// The layout of the header of a file open for reading, from one read of its 16 bytes:
// empty when unrecognised. The file is closed on return.
[[nodiscard]] std::optional<Layout> lookAtLayout(BinaryFile &file);

} // namespace vuelco
