#pragma once

#include <QString>

class QWidget;

namespace vuelco::forms {

// The fixed layout gives every caption a box drawn for the design faces. A substitute
// face a little wider than its design face would cut the caption short ("Archivo BG"),
// so a caption that does not fit is condensed just enough to fit.

// The caption a control shows: a label's text, a button's or check box's text, a frame's title.
[[nodiscard]] QString captionOf(const QWidget *control);
// The width, in pixels, the control leaves its caption on one line, as its style draws it:
// a label's contents, a button's face inside its frame, a check box's room beside its
// indicator, a frame's title between its margins.
[[nodiscard]] double captionRoom(const QWidget *control);
// Condenses the control's font until its caption fits its room; a caption that fits keeps
// the font as it is.
void fitCaption(QWidget *control);
// Fits every one-line caption of a form's controls: those the form shows now at once, the
// others when they are first shown.
void fitCaptions(QWidget *form);

} // namespace vuelco::forms
