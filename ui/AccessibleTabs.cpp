#include "ui/AccessibleTabs.h"

#include "ui/TTabControl.h"

AccessibleTabItem::AccessibleTabItem(TTabItem* item)
    : QAccessibleWidget(item, QAccessible::PageTab) {
    addControllingSignal(QStringLiteral("toggled(bool)"));
}

TTabItem* AccessibleTabItem::item() const {
    return static_cast<TTabItem*>(widget());
}

QString AccessibleTabItem::text(QAccessible::Text t) const {
    if (t == QAccessible::Name && item()->accessibleName().isEmpty())
        return item()->text();
    return QAccessibleWidget::text(t);
}

QAccessible::State AccessibleTabItem::state() const {
    QAccessible::State s = QAccessibleWidget::state();
    s.selectable = true;
    s.selected = item()->isChecked();
    return s;
}

QStringList AccessibleTabItem::actionNames() const {
    return QStringList{pressAction()} + QAccessibleWidget::actionNames();
}

void AccessibleTabItem::doAction(const QString& actionName) {
    if (actionName == pressAction() && item()->isEnabled())
        item()->click();
    else
        QAccessibleWidget::doAction(actionName);
}

AccessibleTabControl::AccessibleTabControl(TTabControl* control)
    : QAccessibleWidget(control, QAccessible::PageTabList) {}
