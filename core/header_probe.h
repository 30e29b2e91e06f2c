#pragma once

#include "core/bga_header.h"

#include <filesystem>
#include <optional>

namespace vuelco {

// What a look at a file's header found: a layout with its two groups, or nothing
// recognisable.
struct ProbeResult {
    std::optional<Layout> layout;  // empty: "Otro. Desconocido"
    Groups groups;                 // meaningful only when layout is set

    [[nodiscard]] bool recognised() const noexcept { return layout.has_value(); }
};

// Reads the header of the file at path one byte at a time, in the order the layout is
// told apart (signature, code, zero bytes, then the groups), and stops at the first byte
// that does not fit the header rule (fitsHeaderAt): a file is read no further than its
// failing byte, and never past offset 15. A file that ends inside the header is
// unrecognised, never padded with zeros. Throws Failure when the file cannot be opened or read.
[[nodiscard]] ProbeResult probeHeader(const std::filesystem::path &path);

} // namespace vuelco
