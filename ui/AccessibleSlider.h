#pragma once
// The track bar as a slider: its value, range and the step an arrow key takes.

#include <QAccessibleValueInterface>
#include <QAccessibleWidget>

class TFloatTrackBar;

class AccessibleTrackBar : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit AccessibleTrackBar(TFloatTrackBar* bar);

    void* interface_cast(QAccessible::InterfaceType type) override;
    QString text(QAccessible::Text t) const override;

    QVariant currentValue() const override;
    void setCurrentValue(const QVariant& value) override;
    QVariant maximumValue() const override;
    QVariant minimumValue() const override;
    QVariant minimumStepSize() const override;

private:
    TFloatTrackBar* bar() const;
};
