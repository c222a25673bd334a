#include "ui/TFloatTrackBar.h"

#include "ui/Toolkit.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

TFloatTrackBar::TFloatTrackBar(QWidget* parent, float min, float max)
    : QWidget(parent), FMin(min), FMax(std::max(min, max)), FValue(min) {
    toolkit::adopt(this);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
}

void TFloatTrackBar::setRange(float min, float max) {
    FMin = min;
    FMax = std::max(min, max);
    float clamped = std::clamp(FValue, FMin, FMax);
    if (clamped != FValue) {
        FValue = clamped;
        reportChange();
    }
    update();
}

void TFloatTrackBar::setValue(float value) {
    if (!std::isfinite(value))
        return;
    value = std::clamp(value, FMin, FMax);
    if (value == FValue)
        return;
    FValue = value;
    update();
    reportChange();
}

void TFloatTrackBar::reportChange() {
    // A screen reader hears the new value as the program hears it.
    if (QAccessible::isActive()) {
        QAccessibleValueChangeEvent event(this, FValue);
        QAccessible::updateAccessibility(&event);
    }
    emit changed(FValue);
}

float TFloatTrackBar::valueAt(qreal x) const {
    const qreal span = width() - kThumbWidth;
    if (span <= 0 || FMax <= FMin)
        return FMin;
    qreal t = std::clamp((x - kThumbWidth / 2.0) / span, 0.0, 1.0);
    return FMin + static_cast<float>(t) * (FMax - FMin);
}

qreal TFloatTrackBar::thumbX() const {
    if (FMax <= FMin)
        return 0;
    return (FValue - FMin) / (FMax - FMin) * (width() - kThumbWidth);
}

void TFloatTrackBar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal cy = height() / 2.0;
    const qreal x0 = kThumbWidth / 2.0;
    const qreal x1 = width() - kThumbWidth / 2.0;
    QRectF groove(x0, cy - 2, x1 - x0, 4);
    p.setPen(QPen(QColor(0x12, 0x12, 0x14), 1));
    p.setBrush(QColor(0x2A, 0x2A, 0x2C));
    p.drawRoundedRect(groove, 2, 2);

    const qreal tx = thumbX();
    QColor fill = isEnabled() ? toolkit::kAccent : QColor(0x70, 0x70, 0x70);
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawRoundedRect(QRectF(x0, cy - 1.5, tx, 3), 1.5, 1.5);

    QRectF thumb(tx + 0.5, 0.5, kThumbWidth - 1, height() - 1);
    QLinearGradient g(thumb.topLeft(), thumb.bottomLeft());
    g.setColorAt(0, isEnabled() ? QColor(0xF4, 0xF4, 0xF4) : QColor(0x9A, 0x9A, 0x9A));
    g.setColorAt(1, isEnabled() ? QColor(0xB8, 0xB8, 0xBC) : QColor(0x78, 0x78, 0x78));
    p.setPen(toolkit::showsFocusMark(this) ? QPen(toolkit::kAccent, 1.5)
                                           : QPen(QColor(0x18, 0x18, 0x1A), 1));
    p.setBrush(g);
    p.drawRoundedRect(thumb, 2, 2);
}

void TFloatTrackBar::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    FTracking = true;
    setValue(valueAt(event->position().x()));
    event->accept();
}

void TFloatTrackBar::mouseMoveEvent(QMouseEvent* event) {
    if (FTracking)
        setValue(valueAt(event->position().x()));
}

void TFloatTrackBar::mouseReleaseEvent(QMouseEvent* event) {
    if (!FTracking || event->button() != Qt::LeftButton)
        return;
    FTracking = false;
    emit released(FValue);
}

void TFloatTrackBar::keyPressEvent(QKeyEvent* event) {
    const float step = keyStep();
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Down:
        setValue(FValue - step);
        break;
    case Qt::Key_Right:
    case Qt::Key_Up:
        setValue(FValue + step);
        break;
    case Qt::Key_Home:
        setValue(FMin);
        break;
    case Qt::Key_End:
        setValue(FMax);
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
}
