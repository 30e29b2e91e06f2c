#pragma once

#include "core/bga_header.h"

#include <filesystem>
#include <optional>

namespace vuelco {

// Converts the file at path to the target layout in one pass, for batches of files: one
// open for update, one read of the 16 header bytes, and only when they hold the other
// layout one write of offsets 4 to 15 and a flush before returning. The window's Load
// keeps its byte-by-byte probe; here nothing waits between reading and writing, so the
// header written is always built from the header just read.
//
// Returns the layout the header was in: empty when unrecognised (a file shorter than
// the header included) and the target itself when it was there already, both with
// nothing written; the other layout when the file now holds the target one.
//
// A file that cannot be opened for update is probed for reading instead, so a read-only
// file that needs no conversion is still told apart; one that does need it throws the
// update's Failure (ReadOnly, 75, for a file marked read-only). Throws Failure when the
// file cannot be opened, read, written or flushed; nothing is ever created.
//
// A conversion (not a preview) locks the file against other Vuelcos from before the
// header is read until it is closed. A file that another program replaced by rename after the open gets its old
// header back, and DeviceIo (57) says that it changed while being converted.
[[nodiscard]] std::optional<Layout> convertInOnePass(const std::filesystem::path &path, Layout target);

// What convertInOnePass would do, with nothing written: the same open for update, the same
// read and the same answers and failures (a read-only file that needs converting fails
// with ReadOnly here too), but no write and no flush.
[[nodiscard]] std::optional<Layout> previewConversion(const std::filesystem::path &path, Layout target);

} // namespace vuelco
