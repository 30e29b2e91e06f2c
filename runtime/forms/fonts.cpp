#include "runtime/forms/fonts.h"

#include <QStringList>

namespace vuelco::forms {

QFont designFont(const QString &face, double points, bool bold, bool underline)
{
    QFont font(face);
    font.setPointSizeF(points);
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    font.setUnderline(underline);
    return font;
}

void registerFontSubstitutes()
{
    const QStringList sans{QStringLiteral("Liberation Sans"), QStringLiteral("Arial"), QStringLiteral("DejaVu Sans")};
    const QStringList serif{QStringLiteral("Liberation Serif"), QStringLiteral("DejaVu Serif")};
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"), sans);
    QFont::insertSubstitutions(QStringLiteral("Arial"), {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    QFont::insertSubstitutions(QStringLiteral("Times New Roman"), serif);
}

} // namespace vuelco::forms
