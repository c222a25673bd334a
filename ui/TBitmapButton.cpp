#include "ui/TBitmapButton.h"

#include <QImageReader>
#include <QPainter>

TBitmapButton::TBitmapButton(QWidget* parent) : QAbstractButton(parent) {
    setCheckable(false);
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
}

bool TBitmapButton::loadImage(Look look, QIODevice& stream) {
    QImageReader reader(&stream);
    QImage image = reader.read();
    if (image.isNull())
        return false;
    setImage(look, image);
    return true;
}

void TBitmapButton::setImage(Look look, const QImage& image) {
    FImages[static_cast<int>(look)] = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    update();
}

const QImage& TBitmapButton::image(Look look) const {
    return FImages[static_cast<int>(look)];
}

TBitmapButton::Look TBitmapButton::currentLook() const {
    if (isDown())
        return Look::Down;
    return FHover ? Look::Hot : Look::Normal;
}

void TBitmapButton::paintEvent(QPaintEvent*) {
    const QImage* img = &image(currentLook());
    if (img->isNull())
        img = &image(Look::Normal);
    if (img->isNull())
        return;
    QPainter p(this);
    if (!isEnabled())
        p.setOpacity(0.45);
    p.drawImage(QPoint(0, 0), *img);
}

void TBitmapButton::enterEvent(QEnterEvent* event) {
    FHover = true;
    update();
    QAbstractButton::enterEvent(event);
}

void TBitmapButton::leaveEvent(QEvent* event) {
    FHover = false;
    update();
    QAbstractButton::leaveEvent(event);
}
