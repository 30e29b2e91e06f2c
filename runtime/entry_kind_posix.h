#pragma once

#include "runtime/folder.h"

#include <sys/types.h>

namespace vuelco {

// What a file of that mode is, as the folders and the file layer of Linux tell it.
[[nodiscard]] EntryKind entryKindOf(mode_t mode);

} // namespace vuelco
