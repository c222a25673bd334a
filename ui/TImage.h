#pragma once
// An image control: shows a bitmap unscaled from its top-left corner, or
// fitted into the control keeping its proportions.

#include <QImage>
#include <QRegion>
#include <QWidget>

class QIODevice;

class TImage : public QWidget {
    Q_OBJECT
public:
    enum class WrapMode { Original, Fit };

    explicit TImage(QWidget* parent, WrapMode mode = WrapMode::Original);

    // Decodes a PNG (or any format Qt reads) from the stream. On failure the
    // control keeps the image it had and false is returned.
    bool loadFromStream(QIODevice& stream);
    void setBitmap(const QImage& image);
    const QImage& bitmap() const { return FBitmap; }

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
    QRegion FBitmapRegion; // drawn pixels of FBitmap, for the unscaled mode
    WrapMode FMode;
    bool FHitTest = true;
};
