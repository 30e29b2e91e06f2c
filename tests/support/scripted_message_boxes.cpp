#include "scripted_message_boxes.h"

using vuelco::forms::MsgBoxResult;
using vuelco::forms::MsgBoxStyle::OkCancel;
using vuelco::forms::MsgBoxStyle::YesNo;

ScriptedMessageBoxes::ScriptedMessageBoxes() : mScope(*this) {}

void ScriptedMessageBoxes::answer(std::initializer_list<MsgBoxResult> answers)
{
    mAnswers.append(QList<MsgBoxResult>(answers));
}

void ScriptedMessageBoxes::whileShowing(std::function<void(const Shown &)> action)
{
    mWhileShowing = std::move(action);
}

MsgBoxResult ScriptedMessageBoxes::show(const QString &prompt, int style, const QString &title)
{
    mShown.append({prompt, style, title});
    if (auto action = std::exchange(mWhileShowing, {}))
        action(mShown.last());
    if (!mAnswers.isEmpty())
        return mAnswers.takeFirst();
    switch (style & 0x0F) {
    case OkCancel: return MsgBoxResult::Ok;
    case YesNo: return MsgBoxResult::Yes;
    default: return MsgBoxResult::Ok;
    }
}
