#include "forms/caption_fit.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QEvent>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleOption>
#include <cmath>

namespace vuelco::forms {
namespace {

// Narrower than this a face reads as another face; the fit stops there.
constexpr int kNarrowestStretch = 80;

double labelRoom(const QLabel &label)
{
    double room = label.contentsRect().width() - 2.0 * label.margin();
    // A framed label indents its text by half an "x" unless told otherwise.
    int indent = label.indent();
    if (indent < 0 && label.frameWidth() > 0)
        indent = label.fontMetrics().horizontalAdvance(QLatin1Char('x')) / 2;
    if (indent > 0 && (label.alignment() & (Qt::AlignLeft | Qt::AlignRight)))
        room -= indent;
    return room;
}

double buttonRoom(const QAbstractButton &button)
{
    QStyleOptionButton option;
    option.initFrom(&button);
    option.text = button.text();
    if (qobject_cast<const QCheckBox *>(&button) != nullptr)
        return button.style()->subElementRect(QStyle::SE_CheckBoxContents, &option, &button).width();
    if (const auto *push = qobject_cast<const QPushButton *>(&button); push != nullptr && push->autoDefault())
        option.features |= QStyleOptionButton::AutoDefaultButton;
    return button.style()->subElementRect(QStyle::SE_PushButtonContents, &option, &button).width();
}

double frameTitleRoom(const QGroupBox &frame)
{
    QStyleOptionGroupBox option;
    option.initFrom(&frame);
    option.text = frame.title();
    option.textAlignment = frame.alignment();
    option.lineWidth = 1;
    option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    option.features = frame.isFlat() ? QStyleOptionFrame::Flat : QStyleOptionFrame::None;
    const QRect title = frame.style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, &frame);
    // The style keeps the title as far from the right edge as from the left.
    return frame.width() - 2.0 * title.left();
}

// Fits a control's caption when the control is first shown. Measuring a caption loads its
// font; a control the form does not show at first (the busy frame's check box) would make
// the start load a font it never draws.
class FitWhenShown final : public QObject {
public:
    explicit FitWhenShown(QWidget *control) : QObject(control) { control->installEventFilter(this); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show) {
            watched->removeEventFilter(this);
            fitCaption(static_cast<QWidget *>(watched));
            deleteLater();
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

QString captionOf(const QWidget *control)
{
    if (const auto *label = qobject_cast<const QLabel *>(control))
        return label->text();
    if (const auto *button = qobject_cast<const QAbstractButton *>(control))
        return button->text();
    if (const auto *frame = qobject_cast<const QGroupBox *>(control))
        return frame->title();
    return {};
}

double captionRoom(const QWidget *control)
{
    if (const auto *label = qobject_cast<const QLabel *>(control))
        return labelRoom(*label);
    if (const auto *button = qobject_cast<const QAbstractButton *>(control))
        return buttonRoom(*button);
    if (const auto *frame = qobject_cast<const QGroupBox *>(control))
        return frameTitleRoom(*frame);
    return control->width();
}

void fitCaption(QWidget *control)
{
    const QString caption = captionOf(control);
    if (caption.isEmpty())
        return;
    const double room = captionRoom(control);
    QFont font = control->font();
    double advance = QFontMetricsF(font).horizontalAdvance(caption);
    if (advance <= room)
        return;
    // The advance shrinks with the stretch almost in proportion; a step more covers the rest.
    int stretch = static_cast<int>(std::floor(100.0 * room / advance));
    for (; stretch >= kNarrowestStretch; --stretch) {
        font.setStretch(stretch);
        advance = QFontMetricsF(font).horizontalAdvance(caption);
        if (advance <= room)
            break;
    }
    control->setFont(font);
}

void fitCaptions(QWidget *form)
{
    for (QWidget *control : form->findChildren<QWidget *>()) {
        // A label that wraps its text has lines enough for it.
        if (const auto *label = qobject_cast<const QLabel *>(control); label != nullptr && label->wordWrap())
            continue;
        if (control->isVisibleTo(form))
            fitCaption(control);
        else if (!captionOf(control).isEmpty())
            new FitWhenShown(control);
    }
}

} // namespace vuelco::forms
