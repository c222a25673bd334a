#include "ui/TRoundRect.h"

#include <QPainter>

TRoundRect::TRoundRect(QWidget* parent, const QColor& fill, qreal radius)
    : QWidget(parent), FFill(fill), FRadius(radius) {}

void TRoundRect::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(FFill);
    p.drawRoundedRect(QRectF(rect()), FRadius, FRadius);
}
