#pragma once
// A push button with a caption, flat and dark to sit on the skin's panel. The
// Tab key reaches it; Space or Enter press it.

#include <QPushButton>

class TTextButton : public QPushButton {
    Q_OBJECT
public:
    TTextButton(QWidget* parent, const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};
