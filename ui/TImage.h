#pragma once
// An image control: shows a bitmap unscaled from its top-left corner, or
// fitted into the control keeping its proportions.

#include <QImage>
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

    // Whether presses stop here; when not, they go on to the parent.
    void setHitTest(bool on) { FHitTest = on; }
    bool hitTest() const { return FHitTest; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QImage FBitmap;
    WrapMode FMode;
    bool FHitTest = true;
};
