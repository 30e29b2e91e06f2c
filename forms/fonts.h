#pragma once

#include <QFont>
#include <QString>

namespace vuelco::forms {

// A font as the forms were designed with it: face, size in points, weight 400 or 700,
// underline.
[[nodiscard]] QFont designFont(const QString &face, double points, bool bold, bool underline = false);

// Maps the design faces that a system may lack onto faces it has: on Windows the bitmap
// MS Sans Serif onto Microsoft Sans Serif; elsewhere MS Sans Serif, Arial and Times New
// Roman onto metric-compatible faces that Debian ships. Call once, after the application
// exists.
void registerFontSubstitutes();

} // namespace vuelco::forms
