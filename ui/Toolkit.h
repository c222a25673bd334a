#pragma once
// Shared look of the window's controls: one font family and palette, so the
// skin's dark panel and the controls drawn by Qt read as one surface.

#include <QColor>
#include <QFont>

class QKeyEvent;
class QWidget;

namespace toolkit {

// Tahoma where installed, else the closest narrow sans-serif.
QFont font(int pixelSize, bool bold = false);

// Gives a control the window's style and palette; every control kind calls it.
void adopt(QWidget* w);

// Whether a control with the focus marks it: only once the keyboard moved the
// focus in its window, so a window worked with the mouse looks as it always did.
bool showsFocusMark(const QWidget* w);

// Enter or Return, first press only: what presses the focused button, as
// Space does.
bool isEnterPress(const QKeyEvent& event);

inline const QColor kLabel{0xF2, 0xF2, 0xF2};
inline const QColor kPanelText{0xEC, 0xEC, 0xEC};
inline const QColor kAccent{0x4F, 0x9B, 0xE8};

} // namespace toolkit
