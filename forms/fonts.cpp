#include "forms/fonts.h"

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
#ifdef Q_OS_WIN
    // MS Sans Serif is a bitmap face Qt cannot draw; Windows itself puts Microsoft Sans
    // Serif in its place. Arial and Times New Roman are Windows' own faces.
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"));
#else
    const QStringList sans{QStringLiteral("Liberation Sans"), QStringLiteral("Arial"), QStringLiteral("DejaVu Sans")};
    const QStringList serif{QStringLiteral("Liberation Serif"), QStringLiteral("DejaVu Serif")};
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"), sans);
    QFont::insertSubstitutions(QStringLiteral("Arial"), {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    QFont::insertSubstitutions(QStringLiteral("Times New Roman"), serif);
#endif
}

} // namespace vuelco::forms
