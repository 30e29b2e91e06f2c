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
    struct Shown {
        QString prompt;
        int style;
        QString title;
    };

    ScriptedMessageBoxes();

    // The answers to give, in order.
    void answer(std::initializer_list<vuelco::forms::MsgBoxResult> answers);
    // Runs while the next box is showing, before it is answered.
    void whileShowing(std::function<void(const Shown &)> action);

    [[nodiscard]] const QList<Shown> &shown() const { return mShown; }
    [[nodiscard]] qsizetype count() const { return mShown.size(); }
    void clear() { mShown.clear(); }

    vuelco::forms::MsgBoxResult show(const QString &prompt, int style, const QString &title) override;

private:
    QList<Shown> mShown;
    QList<vuelco::forms::MsgBoxResult> mAnswers;
    std::function<void(const Shown &)> mWhileShowing;
    vuelco::forms::ScopedMessageBoxService mScope;
};
