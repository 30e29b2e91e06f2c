#include "forms/accessibility.h"

#include <QAccessibleWidget>
#include <QAbstractItemView>
#include <QComboBox>

namespace vuelco::forms {
namespace {

class NamedDropDownList final : public QAccessibleWidget {
public:
    explicit NamedDropDownList(QComboBox *list) : QAccessibleWidget(list, QAccessible::ComboBox) {}

    [[nodiscard]] QString text(QAccessible::Text kind) const override
    {
        return kind == QAccessible::Value ? list()->currentText() : QAccessibleWidget::text(kind);
    }
    // Its one child is the list that drops down.
    [[nodiscard]] int childCount() const override { return 1; }
    [[nodiscard]] QAccessibleInterface *child(int index) const override
    {
        return index == 0 ? QAccessible::queryAccessibleInterface(list()->view()) : nullptr;
    }
    [[nodiscard]] int indexOfChild(const QAccessibleInterface *child) const override
    {
        return child != nullptr && child->object() == list()->view() ? 0 : -1;
    }
    [[nodiscard]] QStringList actionNames() const override { return {showMenuAction(), pressAction()}; }
    void doAction(const QString &action) override
    {
        if (action != showMenuAction() && action != pressAction())
            return QAccessibleWidget::doAction(action);
        if (list()->view()->isVisible())
            list()->hidePopup();
        else
            list()->showPopup();
    }

private:
    [[nodiscard]] QComboBox *list() const { return static_cast<QComboBox *>(widget()); }
};

// Asked for each class of an object, from its own down to QObject, before Qt's own factory;
// every class not answered here is left to Qt.
QAccessibleInterface *interfaceFor(const QString &className, QObject *object)
{
    if (className == QLatin1String("QComboBox"))
        return new NamedDropDownList(static_cast<QComboBox *>(object));
    auto *widget = qobject_cast<QWidget *>(object);
    if (className == QLatin1String("QWidget") && widget != nullptr && widget->isWindow())
        return new QAccessibleWidget(widget, QAccessible::Window);
    return nullptr;
}

} // namespace

void installAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(interfaceFor);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace vuelco::forms
