#pragma once
// How the window's hand-drawn controls appear to screen readers. Qt describes
// the standard widgets by itself; the controls it cannot know (the track bar,
// the tab items and their row) get interfaces of their own through a factory
// that Qt asks before its built-in one.

class QString;
class QWidget;

namespace accessible {

// Installs the factory once per process; every control kind's construction
// calls it (through toolkit::adopt), so no interface is asked for before.
void installControls();

// Names the control for screen readers and, when that is a new name, tells
// them: a button named by what it does changes its name with the program's
// state ("Record", then "Pause"), and that change is the announcement.
void rename(QWidget* control, const QString& name);

} // namespace accessible
