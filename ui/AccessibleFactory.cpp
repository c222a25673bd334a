#include "ui/AccessibleControls.h"

#include "ui/AccessibleSlider.h"
#include "ui/AccessibleTabs.h"
#include "ui/TFloatTrackBar.h"
#include "ui/TTabControl.h"

#include <QAccessible>

namespace accessible {

namespace {

// Qt asks with each class name of the object's hierarchy, most derived first;
// the built-in interfaces answer for the names not taken here.
QAccessibleInterface* controlInterface(const QString& key, QObject* object) {
    if (key == QLatin1String("TFloatTrackBar"))
        return new AccessibleTrackBar(static_cast<TFloatTrackBar*>(object));
    if (key == QLatin1String("TTabItem"))
        return new AccessibleTabItem(static_cast<TTabItem*>(object));
    if (key == QLatin1String("TTabControl"))
        return new AccessibleTabControl(static_cast<TTabControl*>(object));
    return nullptr;
}

} // namespace

void installControls() {
    static const bool installed = (QAccessible::installFactory(controlInterface), true);
    (void)installed;
}

} // namespace accessible
