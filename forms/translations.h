#pragma once

class QCoreApplication;

namespace vuelco::forms {

// Puts Qt's own words in Spanish (the buttons, labels and questions of the dialogs Qt
// draws) whatever the system's language, since the program speaks Spanish only. They are
// looked for beside the program, in translations/, where the Windows package puts them,
// then where Qt keeps its own. Without them Qt speaks English, and nothing else changes.
void installSpanishQtWords(QCoreApplication &application);

} // namespace vuelco::forms
