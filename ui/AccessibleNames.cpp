#include "ui/AccessibleControls.h"

#include <QAccessible>
#include <QWidget>

namespace accessible {

void rename(QWidget* control, const QString& name) {
    if (control->accessibleName() == name)
        return;
    control->setAccessibleName(name);
    QAccessibleEvent event(control, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
}

} // namespace accessible
