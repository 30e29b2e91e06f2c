#pragma once

#include <QString>
#include <QStringList>

class QMimeData;

namespace vuelco {

class Form1;

// The ways files reach the main window from outside its chooser.

// The files and folders named on the program's command line (its arguments once Qt has
// taken its own), as absolute native paths; a relative name is taken from the current
// folder, an empty one is no name.
[[nodiscard]] QStringList givenFiles(const QStringList &arguments);

// Opens what the command line named in the window from the event loop, once the window is
// up: a file that cannot be read is said over the window shown, not before it.
void openGivenFiles(Form1 &window, const QStringList &arguments);

// The native paths of the local files and folders a drag carries; none when it carries
// anything else as well (a web address, text), so such a drag is refused whole.
[[nodiscard]] QStringList droppedFiles(const QMimeData *data);

} // namespace vuelco
