#include "ui/TText.h"

#include "ui/Toolkit.h"

#include <QMouseEvent>

TText::TText(QWidget* parent, const QString& text, const QColor& color, int pixelSize, bool bold)
    : QLabel(text, parent) {
    toolkit::adopt(this);
    setFont(toolkit::font(pixelSize, bold));
    setColor(color);
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setTextFormat(Qt::PlainText);
    setAttribute(Qt::WA_TranslucentBackground);
}

void TText::setColor(const QColor& color) {
    QPalette p = palette();
    p.setColor(QPalette::WindowText, color);
    p.setColor(QPalette::Disabled, QPalette::WindowText, color.darker(160));
    setPalette(p);
}

void TText::mousePressEvent(QMouseEvent* event) {
    event->accept();
}
