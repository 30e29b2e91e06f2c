#include "forms/fonts.h"

namespace vuelco::forms {

// MS Sans Serif is a bitmap face Qt cannot draw; Windows itself puts Microsoft Sans Serif
// in its place. Arial and Times New Roman are Windows' own faces.
void registerFontSubstitutes()
{
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"));
}

} // namespace vuelco::forms
