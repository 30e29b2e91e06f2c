#pragma once

#include <QStyledItemDelegate>

namespace vuelco::forms {

// Draws a list of names as the windows show names (shownPath): the items keep the names
// the system gave, which the chooser opens, and only their picture is escaped.
class ShownNameDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    [[nodiscard]] QString displayText(const QVariant &value, const QLocale &locale) const override;
};

} // namespace vuelco::forms
