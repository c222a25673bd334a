#include "ui/TImage.h"

#include <QImageReader>
#include <QMouseEvent>
#include <QPainter>

TImage::TImage(QWidget* parent, WrapMode mode) : QWidget(parent), FMode(mode) {}

bool TImage::loadFromStream(QIODevice& stream) {
    QImageReader reader(&stream);
    QImage image = reader.read();
    if (image.isNull())
        return false;
    setBitmap(image);
    return true;
}

void TImage::setBitmap(const QImage& image) {
    FBitmap = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    update();
}

void TImage::paintEvent(QPaintEvent*) {
    if (FBitmap.isNull())
        return;
    QPainter p(this);
    if (FMode == WrapMode::Original) {
        p.drawImage(QPoint(0, 0), FBitmap);
        return;
    }
    QSizeF fitted = QSizeF(FBitmap.size()).scaled(QSizeF(size()), Qt::KeepAspectRatio);
    QRectF target(QPointF((width() - fitted.width()) / 2.0, (height() - fitted.height()) / 2.0),
                  fitted);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(target, FBitmap);
}

void TImage::mousePressEvent(QMouseEvent* event) {
    if (FHitTest)
        event->accept();
    else
        event->ignore();
}
