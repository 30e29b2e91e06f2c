#include "forms/fonts.h"

namespace vuelco::forms {

QString faceFamily(DesignFace face)
{
    switch (face) {
    case DesignFace::MsSansSerif: {
        // MS Sans Serif is a bitmap face Qt cannot draw; Windows itself puts Microsoft
        // Sans Serif in its place. Registered once, the first time a form asks for it.
        static const bool substituted = [] {
            QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"));
            return true;
        }();
        Q_UNUSED(substituted);
        return QStringLiteral("MS Sans Serif");
    }
    case DesignFace::Arial:
        return QStringLiteral("Arial");
    case DesignFace::TimesNewRoman:
        return QStringLiteral("Times New Roman");
    }
    return {};
}

} // namespace vuelco::forms
