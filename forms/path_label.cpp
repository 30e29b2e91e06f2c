#include "forms/path_label.h"

#include "forms/native_paths.h"

#include <QHelpEvent>
#include <QPainter>
#include <QTextLayout>
#include <QToolTip>
#include <algorithm>
#include <functional>

namespace vuelco::forms {
namespace {

const QChar kEllipsis(0x2026);

// Lays the text out in lines of the width, one under the other, breaking between words where
// it can and anywhere where it must (a path may have no blank at all); returns the lines.
int layOut(QTextLayout &layout, int width, Qt::Alignment alignment)
{
    QTextOption option(alignment & Qt::AlignHorizontal_Mask);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    int lines = 0;
    qreal top = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine(), ++lines) {
        line.setLineWidth(width);
        line.setPosition(QPointF(0, top));
        top += line.height();
    }
    layout.endLayout();
    return lines;
}

// The first and the last characters of a text, kept in all, with "…" between them; never
// half of a character written in two UTF-16 units.
QString keepEnds(const QString &text, qsizetype kept)
{
    qsizetype head = kept - kept / 2;
    qsizetype tail = kept / 2;
    if (head > 0 && text.at(head - 1).isHighSurrogate())
        --head;
    if (tail > 0 && text.at(text.size() - tail).isLowSurrogate())
        --tail;
    return text.left(head) + kEllipsis + text.right(tail);
}

// part shortened in its middle as little as makes it fit with after behind it; empty when
// even "…" and after do not fit.
QString shortened(const QString &part, const QString &after, const std::function<bool(const QString &)> &fits)
{
    if (part.isEmpty() || !fits(kEllipsis + after))
        return {};
    // The most characters kept that fit: keeping more never makes a text shorter.
    qsizetype fitting = 0;
    qsizetype tooMany = part.size();
    while (tooMany - fitting > 1) {
        const qsizetype kept = (fitting + tooMany) / 2;
        (fits(keepEnds(part, kept) + after) ? fitting : tooMany) = kept;
    }
    return keepEnds(part, fitting) + after;
}

} // namespace

PathLabel::PathLabel(QWidget *parent) : QLabel(parent) { setTextFormat(Qt::PlainText); }

QString PathLabel::shownText() const
{
    QString path = text();
    const int width = textRoom().width();
    const int lines = lineCount();
    const auto fits = [&](const QString &candidate) {
        QTextLayout layout(candidate, font());
        return layOut(layout, width, alignment()) <= lines;
    };
    if (fits(path))
        return path;
    const qsizetype nameStart = path.lastIndexOf(pathSeparator()) + 1;
    QString shown = shortened(path.left(nameStart), path.mid(nameStart), fits);
    if (shown.isEmpty())
        shown = shortened(path, QString(), fits);
    return shown.isEmpty() ? QString(kEllipsis) : shown;
}

bool PathLabel::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip && !text().isEmpty()) {
        QToolTip::showText(static_cast<QHelpEvent *>(event)->globalPos(), text(), this);
        return true;
    }
    return QLabel::event(event);
}

void PathLabel::paintEvent(QPaintEvent * /*event*/)
{
    QPainter painter(this);
    drawFrame(&painter);
    // Nothing to lay out: measuring an empty text would still load the label's font, which
    // the start would pay for a label that shows no path yet.
    if (text().isEmpty())
        return;
    const QRect room = textRoom();
    QTextLayout layout(shownText(), font());
    layOut(layout, room.width(), alignment());
    QPointF origin = room.topLeft();
    const qreal spare = room.height() - layout.boundingRect().height();
    if (alignment() & Qt::AlignVCenter)
        origin.ry() += spare / 2;
    else if (alignment() & Qt::AlignBottom)
        origin.ry() += spare;
    painter.setPen(palette().color(foregroundRole()));
    layout.draw(&painter, origin);
}

// Where QLabel puts its text: inside the frame and the margin, and in a framed label half an
// "x" in from the side it is aligned to.
QRect PathLabel::textRoom() const
{
    QRect room = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    int inset = indent();
    if (inset < 0 && frameWidth() > 0)
        inset = fontMetrics().horizontalAdvance(QLatin1Char('x')) / 2;
    if (inset > 0 && (alignment() & Qt::AlignLeft))
        room.setLeft(room.left() + inset);
    if (inset > 0 && (alignment() & Qt::AlignRight))
        room.setRight(room.right() - inset);
    return room;
}

int PathLabel::lineCount() const
{
    return wordWrap() ? std::max(1, textRoom().height() / fontMetrics().lineSpacing()) : 1;
}

} // namespace vuelco::forms
