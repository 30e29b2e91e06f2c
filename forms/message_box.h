#pragma once

#include "runtime/scoped_replacement.h"

#include <QString>

class QMessageBox;
class QWidget;

namespace vuelco::forms {

// A message box's style: the sum of one button set, at most one icon and the default
// button flag, with the values the program's boxes are written with.
namespace MsgBoxStyle {
inline constexpr int OkOnly = 0;
inline constexpr int OkCancel = 1;
inline constexpr int YesNo = 4;
inline constexpr int Critical = 16;
inline constexpr int Exclamation = 48;
inline constexpr int Information = 64;
inline constexpr int DefaultButton2 = 256;
} // namespace MsgBoxStyle

// What breaks a box's text into lines: character 13, as the forms runtime's boxes take it.
inline constexpr char kBoxLineBreak = '\r';

// The button that closed a message box.
enum class MsgBoxResult : int { Ok = 1, Cancel = 2, Yes = 6, No = 7 };

// Who shows message boxes. The program has one, the real modal Qt box; tests put a
// scripted one in its place.
class MessageBoxService {
public:
    virtual ~MessageBoxService() = default;
    virtual MsgBoxResult show(const QString &prompt, int style, const QString &title) = 0;
};

// Shows a modal message box through the service in place and returns the answer. The real
// box opens centred over the window that asked, also while none of the program's windows is
// active. Character 13 and character 10 in the prompt break the line.
MsgBoxResult MsgBox(const QString &prompt, int style, const QString &title);

// Puts a service in place for its lifetime, and the previous one back after.
class ScopedMessageBoxService : public ScopedReplacement<MessageBoxService> {
public:
    explicit ScopedMessageBoxService(MessageBoxService &service) noexcept;
};

// The real box for a prompt, style and title, set up but not shown: Spanish button
// texts whatever translations are installed, each with its access key ("&Sí": the S key
// answers Yes, as in the system's own boxes), the icon, the default button, and Escape
// (or the close box) mapped to Cancel, No or OK as the button set allows.
[[nodiscard]] QMessageBox *createMessageBox(const QString &prompt, int style, const QString &title,
                                            QWidget *parent = nullptr);
// The answer a closed real box stands for.
[[nodiscard]] MsgBoxResult answerOf(const QMessageBox &box);

} // namespace vuelco::forms
