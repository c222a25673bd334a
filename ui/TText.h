#pragma once
// A text control. It takes presses, so a press on a text never reaches the
// window behind it (the time display is no handle for moving the window).

#include <QLabel>

class TText : public QLabel {
    Q_OBJECT
public:
    TText(QWidget* parent, const QString& text, const QColor& color, int pixelSize = 11,
          bool bold = false);

    void setColor(const QColor& color);

protected:
    void mousePressEvent(QMouseEvent* event) override;
};
