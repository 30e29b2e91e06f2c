#include "scripted_message_boxes.h"

#include <QTest>

using vuelco::forms::MsgBoxResult;
using vuelco::forms::MsgBoxStyle::OkCancel;
using vuelco::forms::MsgBoxStyle::YesNo;

char *toString(const ScriptedMessageBoxes::Box &box)
{
    return QTest::toString(QStringLiteral("{\"%1\", %2, \"%3\"}").arg(box.prompt).arg(box.style).arg(box.title));
}

ScriptedMessageBoxes::ScriptedMessageBoxes() : mScope(*this) {}

void ScriptedMessageBoxes::answer(std::initializer_list<MsgBoxResult> answers)
{
    mAnswers.append(QList<MsgBoxResult>(answers));
}

void ScriptedMessageBoxes::whileShowing(std::function<void()> action) { mWhileShowing = std::move(action); }

MsgBoxResult ScriptedMessageBoxes::show(const QString &prompt, int style, const QString &title)
{
    mShown.append({prompt, style, title});
    if (auto action = std::exchange(mWhileShowing, {}))
        action();
    if (!mAnswers.isEmpty())
        return mAnswers.takeFirst();
    switch (style & 0x0F) {
    case OkCancel: return MsgBoxResult::Ok;
    case YesNo: return MsgBoxResult::Yes;
    default: return MsgBoxResult::Ok;
    }
}
