#pragma once

#include "forms/twips.h"

#include <QString>
#include <string_view>

class QLabel;
class QWidget;

namespace vuelco::forms {

// Small pieces every form is built from.

// A text of the program's own words, written in UTF-8, as the windows show it.
[[nodiscard]] QString caption(std::string_view text);

// A label that shows its text as written: a file named "<b>x.dat" is not markup.
[[nodiscard]] QLabel *plainLabel(QWidget *parent);

// Yellow text on black, the colours a form shows the chosen files in.
void showYellowOnBlack(QWidget *label);

// Names a control and places it in its parent in twips, as a form's design gives it.
template <class Control>
Control *placed(Control *control, const char *name, const QRectF &twips)
{
    control->setObjectName(QString::fromLatin1(name));
    setTwipsGeometry(control, twips);
    return control;
}

} // namespace vuelco::forms
