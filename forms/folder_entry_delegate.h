#pragma once

#include "forms/shown_name_delegate.h"

namespace vuelco::forms {

// Draws the folder list's entries: each indented by its depth below the volume's root (the
// kDepthRole of its item), so that the entry's text is the folder's bare name, which typing
// a letter finds and a screen reader reads; and, while the list has the keyboard focus, a
// dotted frame around the entry that has it, which shows over the highlight as well.
class FolderEntryDelegate final : public ShownNameDelegate {
public:
    static constexpr int kDepthRole = Qt::UserRole + 1;

    using ShownNameDelegate::ShownNameDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    [[nodiscard]] QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
};

} // namespace vuelco::forms
