#include "ui/AccessibleSlider.h"

#include "ui/TFloatTrackBar.h"

AccessibleTrackBar::AccessibleTrackBar(TFloatTrackBar* bar)
    : QAccessibleWidget(bar, QAccessible::Slider) {}

TFloatTrackBar* AccessibleTrackBar::bar() const {
    return static_cast<TFloatTrackBar*>(widget());
}

void* AccessibleTrackBar::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::ValueInterface)
        return static_cast<QAccessibleValueInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

QString AccessibleTrackBar::text(QAccessible::Text t) const {
    if (t == QAccessible::Value)
        return QString::number(static_cast<double>(bar()->value()), 'g', 6);
    return QAccessibleWidget::text(t);
}

QVariant AccessibleTrackBar::currentValue() const {
    return static_cast<double>(bar()->value());
}

// A screen reader setting the value is a user's move, as a key press is.
void AccessibleTrackBar::setCurrentValue(const QVariant& value) {
    bool ok = false;
    const double v = value.toDouble(&ok);
    if (ok && bar()->isEnabled())
        bar()->setValue(static_cast<float>(v));
}

QVariant AccessibleTrackBar::maximumValue() const {
    return static_cast<double>(bar()->maximum());
}

QVariant AccessibleTrackBar::minimumValue() const {
    return static_cast<double>(bar()->minimum());
}

QVariant AccessibleTrackBar::minimumStepSize() const {
    return static_cast<double>(bar()->keyStep());
}
