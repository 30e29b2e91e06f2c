#include "forms/fonts.h"

namespace vuelco::forms {

QFont designFont(DesignFace face, double points, bool bold, bool underline)
{
    QFont font(faceFamily(face));
    font.setPointSizeF(points);
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    font.setUnderline(underline);
    return font;
}

} // namespace vuelco::forms
