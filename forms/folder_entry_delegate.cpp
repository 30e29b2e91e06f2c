#include "forms/folder_entry_delegate.h"

#include <QPainter>

namespace vuelco::forms {
namespace {

// Two blanks' width a level, the indentation the list always had.
int indentOf(const QStyleOptionViewItem &option, const QModelIndex &index)
{
    return index.data(FolderEntryDelegate::kDepthRole).toInt() * 2 *
           option.fontMetrics.horizontalAdvance(QLatin1Char(' '));
}

} // namespace

void FolderEntryDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem indented(option);
    indented.rect.setLeft(option.rect.left() + indentOf(option, index));
    QStyledItemDelegate::paint(painter, indented, index);
    if (!(option.state & QStyle::State_HasFocus))
        return;
    // Some styles draw the focus in the highlight's own colour, which the highlight hides.
    const bool selected = (option.state & QStyle::State_Selected) != 0;
    painter->save();
    painter->setPen(QPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text), 1, Qt::DotLine));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(indented.rect.adjusted(0, 0, -1, -1));
    painter->restore();
}

QSize FolderEntryDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    return QStyledItemDelegate::sizeHint(option, index) + QSize(indentOf(option, index), 0);
}

} // namespace vuelco::forms
