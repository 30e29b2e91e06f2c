#include "forms/fonts.h"

namespace vuelco::forms {

// Liberation Sans and Liberation Serif keep Arial's and Times New Roman's metrics, so
// every caption fits its box as designed; MS Sans Serif's nearest is Liberation Sans too.
QString faceFamily(DesignFace face)
{
    return face == DesignFace::TimesNewRoman ? QStringLiteral("Liberation Serif") : QStringLiteral("Liberation Sans");
}

} // namespace vuelco::forms
