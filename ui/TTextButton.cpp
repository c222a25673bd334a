#include "ui/TTextButton.h"

#include "ui/Toolkit.h"

#include <QKeyEvent>

TTextButton::TTextButton(QWidget* parent, const QString& text) : QPushButton(text, parent) {
    toolkit::adopt(this);
    // Tab, not a click, gives the focus, so the accent border is the
    // keyboard's alone.
    setFocusPolicy(Qt::TabFocus);
    // Fusion's default button is taller than the 17-pixel buttons of the panel;
    // a sheet keeps the caption centred without clipping.
    setStyleSheet(QStringLiteral(
        "QPushButton { color: #f0f0f0; background: qlineargradient(x1:0,y1:0,x2:0,y2:1,"
        " stop:0 #5a5a5e, stop:1 #3c3c40); border: 1px solid #1e1e20; border-radius: 3px;"
        " padding: 0px 4px; }"
        "QPushButton:hover { background: qlineargradient(x1:0,y1:0,x2:0,y2:1,"
        " stop:0 #6a6a6f, stop:1 #48484c); }"
        "QPushButton:pressed { background: #2c2c30; }"
        "QPushButton:focus { border: 1px solid #4f9be8; }"
        "QPushButton:disabled { color: #858585; background: #3a3a3c; }"));
}

void TTextButton::keyPressEvent(QKeyEvent* event) {
    // Outside a dialog a push button ignores Enter; here it presses, as Space does.
    if (toolkit::isEnterPress(*event)) {
        click();
        return;
    }
    QPushButton::keyPressEvent(event);
}
