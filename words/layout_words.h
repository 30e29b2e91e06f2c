#pragma once

#include "core/bga_header.h"

#include <string_view>

namespace vuelco::words {

inline constexpr std::string_view kArcadeCaption = "BGA, Arcade";
inline constexpr std::string_view kPcEmulatorCaption = "BGA, Emulador Pc";
inline constexpr std::string_view kUnknownCaption = "Otro. Desconocido";

// The type text the window and the terminal show for a layout.
[[nodiscard]] constexpr std::string_view layoutCaption(Layout layout)
{
    return layout == Layout::Arcade ? kArcadeCaption : kPcEmulatorCaption;
}

} // namespace vuelco::words
