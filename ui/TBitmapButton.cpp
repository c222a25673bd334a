#include "ui/TBitmapButton.h"

#include "ui/Toolkit.h"

#include <QImageReader>
#include <QPainter>

TBitmapButton::TBitmapButton(QWidget* parent) : QAbstractButton(parent) {
    setCheckable(false);
    // Tab, not a click, gives the focus: a mouse user never sees the ring.
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::PointingHandCursor);
}

bool TBitmapButton::loadImage(Look look, QIODevice& stream, qreal ratio) {
    QImageReader reader(&stream);
    QImage image = reader.read();
    if (image.isNull())
        return false;
    image.setDevicePixelRatio(ratio);
    setImage(look, image);
    return true;
}

void TBitmapButton::setImage(Look look, const QImage& image) {
    const auto i = static_cast<int>(look);
    QImage converted = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (image.devicePixelRatio() > 1.0) {
        FHiRes[i] = converted;
    } else {
        FImages[i] = converted;
        FHiRes[i] = QImage();
    }
    update();
}

const QImage& TBitmapButton::image(Look look) const {
    return FImages[static_cast<int>(look)];
}

const QImage& TBitmapButton::hiResImage(Look look) const {
    return FHiRes[static_cast<int>(look)];
}

TBitmapButton::Look TBitmapButton::currentLook() const {
    if (isDown())
        return Look::Down;
    return FHover ? Look::Hot : Look::Normal;
}

const QImage& TBitmapButton::imageToDraw(Look look) const {
    if (image(look).isNull())
        look = Look::Normal;
    if (devicePixelRatioF() > 1.0 && !hiResImage(look).isNull())
        return hiResImage(look);
    return image(look);
}

namespace {

// A ring of the accent colour along the drawn outline of the image: its
// shape, less the same shape drawn a little smaller over its middle.
QImage focusRing(const QImage& shape) {
    const qreal ratio = shape.devicePixelRatio();
    QImage ring(shape.size(), QImage::Format_ARGB32_Premultiplied);
    ring.setDevicePixelRatio(ratio);
    ring.fill(toolkit::kAccent);
    QPainter p(&ring);
    p.setCompositionMode(QPainter::CompositionMode_DestinationIn);
    p.drawImage(QPoint(0, 0), shape);
    p.setCompositionMode(QPainter::CompositionMode_DestinationOut);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    constexpr qreal kWidth = 2.0;
    const QRectF whole(QPointF(0, 0), shape.deviceIndependentSize());
    p.drawImage(whole.adjusted(kWidth, kWidth, -kWidth, -kWidth), shape);
    return ring;
}

} // namespace

void TBitmapButton::paintEvent(QPaintEvent*) {
    const QImage& img = imageToDraw(currentLook());
    if (img.isNull())
        return;
    QPainter p(this);
    if (!isEnabled())
        p.setOpacity(0.45);
    p.drawImage(QPoint(0, 0), img);
    if (toolkit::showsFocusMark(this))
        p.drawImage(QPoint(0, 0), focusRing(img));
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

void TBitmapButton::keyPressEvent(QKeyEvent* event) {
    if (toolkit::isEnterPress(*event)) {
        click();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}
