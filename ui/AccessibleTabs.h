#pragma once
// The tab control as a list of page tabs, each named by its label and marked
// selected while its page shows (as autoExclusive buttons Qt would call them
// radio buttons).

#include <QAccessibleWidget>

class TTabItem;
class TTabControl;

class AccessibleTabItem : public QAccessibleWidget {
public:
    explicit AccessibleTabItem(TTabItem* item);

    QString text(QAccessible::Text t) const override;
    QAccessible::State state() const override;
    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;

private:
    TTabItem* item() const;
};

class AccessibleTabControl : public QAccessibleWidget {
public:
    explicit AccessibleTabControl(TTabControl* control);
};
