#pragma once

#include <QFont>
#include <QString>

#include <cstdint>

namespace vuelco::forms {

// The faces the forms were designed with.
enum class DesignFace : std::uint8_t { MsSansSerif, Arial, TimesNewRoman };

// The family asked for to draw a design face. On Windows it is the design's own name (MS
// Sans Serif, a bitmap face Qt cannot draw, is put onto Microsoft Sans Serif as Windows
// itself does); on Linux it is the metric-compatible face Debian ships, asked for by its
// own name: fontconfig would pick it anyway, but only after sorting every installed face
// for a family it does not have.
[[nodiscard]] QString faceFamily(DesignFace face);

// A font as the forms were designed with it: face, size in points, weight 400 or 700,
// underline. Call only once the application exists.
[[nodiscard]] QFont designFont(DesignFace face, double points, bool bold, bool underline = false);

} // namespace vuelco::forms
