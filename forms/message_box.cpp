#include "forms/message_box.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <algorithm>

namespace vuelco::forms {
namespace {

constexpr int kButtonSetMask = 0x0F;
constexpr int kIconMask = 0x70;
const char *const kAnswerProperty = "vuelcoAnswer";

// The window a box opens centred over: the modal window that asked (a chooser over the main
// window), else the active window, else, when the program has none active (the user went to
// another program meanwhile), its window on the screen. A box without one would open in the
// middle of the screen, far from what it speaks of.
QWidget *ownerOfBox()
{
    if (QWidget *modal = QApplication::activeModalWidget())
        return modal;
    if (QWidget *active = QApplication::activeWindow())
        return active;
    const QWidgetList windows = QApplication::topLevelWidgets();
    const auto shown = std::find_if(windows.cbegin(), windows.cend(), [](const QWidget *window) {
        const Qt::WindowType type = window->windowType();
        return window->isVisible() && (type == Qt::Window || type == Qt::Dialog);
    });
    return shown == windows.cend() ? nullptr : *shown;
}

class QtMessageBoxService final : public MessageBoxService {
public:
    MsgBoxResult show(const QString &prompt, int style, const QString &title) override
    {
        QMessageBox *box = createMessageBox(prompt, style, title, ownerOfBox());
        box->exec();
        const MsgBoxResult answer = answerOf(*box);
        delete box;
        return answer;
    }
};

QtMessageBoxService gQtService;
MessageBoxService *gService = &gQtService;

QAbstractButton *addButton(QMessageBox *box, const QString &text, QMessageBox::ButtonRole role,
                           MsgBoxResult answer)
{
    QPushButton *button = box->addButton(text, role);
    button->setProperty(kAnswerProperty, static_cast<int>(answer));
    return button;
}

// Qt leaves room for the title and 50 pixels more, less than the icon and the three buttons
// of a Windows title bar take, which then cut a title wider than the box ("Algo mal..."
// read "A....."): the text is made at least as wide as the title with room for them.
void makeRoomForTitle(QMessageBox *box, const QString &title)
{
    auto *text = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
    if (text == nullptr)
        return;
    const QFontMetrics caption(QApplication::font("QMdiSubWindowTitleBar"));
    const int bar = box->style()->pixelMetric(QStyle::PM_TitleBarHeight);
    text->setMinimumWidth(caption.horizontalAdvance(title) + 3 * bar);
}

QMessageBox::Icon iconOf(int style)
{
    switch (style & kIconMask) {
    case MsgBoxStyle::Critical: return QMessageBox::Critical;
    case MsgBoxStyle::Exclamation: return QMessageBox::Warning;
    case MsgBoxStyle::Information: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

} // namespace

MsgBoxResult MsgBox(const QString &prompt, int style, const QString &title)
{
    return gService->show(prompt, style, title);
}

ScopedMessageBoxService::ScopedMessageBoxService(MessageBoxService &service) noexcept
    : ScopedReplacement(gService, service)
{
}

QMessageBox *createMessageBox(const QString &prompt, int style, const QString &title, QWidget *parent)
{
    auto *box = new QMessageBox(parent);
    box->setWindowTitle(title);
    // The program breaks lines with a lone carriage return; Qt breaks only on line feeds.
    QString text = prompt;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    box->setText(text);
    box->setTextFormat(Qt::PlainText);
    box->setIcon(iconOf(style));
    makeRoomForTitle(box, title);

    QAbstractButton *first = nullptr;
    QAbstractButton *second = nullptr;
    QAbstractButton *escape = nullptr;
    switch (style & kButtonSetMask) {
    case MsgBoxStyle::OkCancel:
        first = addButton(box, QStringLiteral("&Aceptar"), QMessageBox::AcceptRole, MsgBoxResult::Ok);
        second = escape = addButton(box, QStringLiteral("&Cancelar"), QMessageBox::RejectRole, MsgBoxResult::Cancel);
        break;
    case MsgBoxStyle::YesNo:
        first = addButton(box, QStringLiteral("&Sí"), QMessageBox::YesRole, MsgBoxResult::Yes);
        second = escape = addButton(box, QStringLiteral("&No"), QMessageBox::NoRole, MsgBoxResult::No);
        break;
    default:
        first = escape = addButton(box, QStringLiteral("&Aceptar"), QMessageBox::AcceptRole, MsgBoxResult::Ok);
        break;
    }
    const bool secondIsDefault = (style & MsgBoxStyle::DefaultButton2) != 0 && second != nullptr;
    box->setDefaultButton(qobject_cast<QPushButton *>(secondIsDefault ? second : first));
    box->setEscapeButton(escape);
    return box;
}

MsgBoxResult answerOf(const QMessageBox &box)
{
    // The close box closes through the escape button, so clickedButton() is set either way.
    const QAbstractButton *clicked = box.clickedButton();
    if (clicked == nullptr)
        clicked = box.escapeButton();
    return static_cast<MsgBoxResult>(clicked->property(kAnswerProperty).toInt());
}

} // namespace vuelco::forms
