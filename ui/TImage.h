#pragma once
// An image control: shows a bitmap unscaled from its top-left corner, or
// fitted into the control keeping its proportions. A second bitmap of twice
// the resolution may be given, drawn instead on screens of a higher device
// pixel ratio; the control's shape always comes from the first.

#include <QImage>
#include <QRegion>
#include <QWidget>

class QIODevice;

class TImage : public QWidget {
    Q_OBJECT
public:
    enum class WrapMode { Original, Fit };

    explicit TImage(QWidget* parent, WrapMode mode = WrapMode::Original);

    // Decodes a PNG (or any format Qt reads) made for the given device pixel
    // ratio from the stream. On failure the control keeps the image it had and
    // false is returned.
    bool loadFromStream(QIODevice& stream, qreal ratio = 1.0);
    // An image of device pixel ratio 1 replaces the bitmap and forgets the
    // high-resolution one; one of a higher ratio becomes the high-resolution
    // bitmap.
    void setBitmap(const QImage& image);
    // A picture drawn in whole pixels, such as the spectrum's bars: on a
    // screen of a higher device pixel ratio each of its pixels is drawn as a
    // block of device pixels, which is what drawing it at the screen's
    // resolution gives, instead of a smoothed enlargement.
    void setPixelBitmap(const QImage& image);
    const QImage& bitmap() const { return FBitmap; }
    const QImage& hiResBitmap() const { return FHiRes; }

    WrapMode wrapMode() const { return FMode; }

    // Where the control draws anything, in its own coordinates: the pixels of
    // the bitmap that are not fully transparent, cut to the control. A control
    // without a bitmap counts as drawn all over.
    QRegion drawnRegion() const;

    // Whether presses stop here; when not, they go on to the parent.
    void setHitTest(bool on) { FHitTest = on; }
    bool hitTest() const { return FHitTest; }

signals:
    // Position or size changed.
    void geometryChanged();

protected:
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QImage FBitmap;
    QImage FHiRes;
    QRegion FBitmapRegion; // drawn pixels of FBitmap, for the unscaled mode
    WrapMode FMode;
    bool FHitTest = true;
};
