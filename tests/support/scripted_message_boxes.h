#pragma once

#include "forms/message_box.h"

#include <QList>
#include <QString>
#include <functional>

// Stands in for the real message boxes while it lives: records every box asked for and
// answers with the next scripted answer, or with the first button when none is left.
// A test may also run code while a box is "open", as a user could click meanwhile.
class ScriptedMessageBoxes final : public vuelco::forms::MessageBoxService {
public:
    // A box as asked for: its prompt, its style (buttons, icon, default button), its title.
    // Tests compare whole lists of them, so that every box is checked in all its parts.
    struct Box {
        QString prompt;
        int style;
        QString title;

        friend bool operator==(const Box &, const Box &) = default;
        friend char *toString(const Box &box);
    };

    ScriptedMessageBoxes();

    // The answers to give, in order.
    void answer(std::initializer_list<vuelco::forms::MsgBoxResult> answers);
    // Runs while the next box is showing, before it is answered.
    void whileShowing(std::function<void()> action);

    [[nodiscard]] const QList<Box> &shown() const { return mShown; }
    void clear() { mShown.clear(); }

    vuelco::forms::MsgBoxResult show(const QString &prompt, int style, const QString &title) override;

private:
    QList<Box> mShown;
    QList<vuelco::forms::MsgBoxResult> mAnswers;
    std::function<void()> mWhileShowing;
    vuelco::forms::ScopedMessageBoxService mScope;
};
