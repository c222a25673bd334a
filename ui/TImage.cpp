#include "ui/TImage.h"

#include <QImageReader>
#include <QMouseEvent>
#include <QPainter>

#include <cmath>

TImage::TImage(QWidget* parent, WrapMode mode) : QWidget(parent), FMode(mode) {}

bool TImage::loadFromStream(QIODevice& stream, qreal ratio) {
    QImageReader reader(&stream);
    QImage image = reader.read();
    if (image.isNull())
        return false;
    image.setDevicePixelRatio(ratio);
    setBitmap(image);
    return true;
}

namespace {

QRegion regionOfDrawnPixels(const QImage& image) {
    QRegion region;
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        int x = 0;
        while (x < image.width()) {
            while (x < image.width() && qAlpha(row[x]) == 0)
                ++x;
            const int start = x;
            while (x < image.width() && qAlpha(row[x]) != 0)
                ++x;
            if (x > start)
                region += QRect(start, y, x - start, 1);
        }
    }
    return region;
}

} // namespace

void TImage::setBitmap(const QImage& image) {
    if (image.devicePixelRatio() > 1.0) {
        FHiRes = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        update();
        return;
    }
    const bool wasNull = FBitmap.isNull();
    FBitmap = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    FHiRes = QImage();
    update();
    // A fitted image covers the whole control whatever it shows, so a new
    // picture (the spectrum, 30 times a second) changes nothing around it.
    if (FMode == WrapMode::Fit && !wasNull && !FBitmap.isNull())
        return;
    FBitmapRegion = regionOfDrawnPixels(FBitmap);
    emit geometryChanged();
}

void TImage::setPixelBitmap(const QImage& image) {
    setBitmap(image);
    const int factor = static_cast<int>(std::ceil(devicePixelRatioF()));
    if (factor <= 1 || FBitmap.isNull())
        return;
    FHiRes = FBitmap.scaled(FBitmap.size() * factor, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    FHiRes.setDevicePixelRatio(factor);
}

QRegion TImage::drawnRegion() const {
    if (FBitmap.isNull() || FMode == WrapMode::Fit)
        return QRegion(rect());
    return FBitmapRegion.intersected(rect());
}

void TImage::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    emit geometryChanged();
}

void TImage::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    emit geometryChanged();
}

void TImage::paintEvent(QPaintEvent*) {
    if (FBitmap.isNull())
        return;
    const QImage& shown = devicePixelRatioF() > 1.0 && !FHiRes.isNull() ? FHiRes : FBitmap;
    QPainter p(this);
    if (FMode == WrapMode::Original) {
        p.drawImage(QPoint(0, 0), shown);
        return;
    }
    QSizeF fitted = shown.deviceIndependentSize().scaled(QSizeF(size()), Qt::KeepAspectRatio);
    QRectF target(QPointF((width() - fitted.width()) / 2.0, (height() - fitted.height()) / 2.0),
                  fitted);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(target, shown);
}

void TImage::mousePressEvent(QMouseEvent* event) {
    if (FHitTest)
        event->accept();
    else
        event->ignore();
}
