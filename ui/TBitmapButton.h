#pragma once
// A button drawn from three images: normal, hot while the pointer is over it,
// down while pressed. It never stays pressed and shows no caption; the
// program names it for screen readers (setAccessibleName) by what it does.
// Each look may also have an image of twice the resolution, drawn instead on
// screens of a higher device pixel ratio. The Tab key reaches it, Space or
// Enter press it, and it then shows a ring in the window's accent colour
// along its outline.

#include <QAbstractButton>
#include <QImage>

class QIODevice;

class TBitmapButton : public QAbstractButton {
    Q_OBJECT
public:
    enum class Look { Normal, Hot, Down };

    explicit TBitmapButton(QWidget* parent);

    // Decodes the image for one look, made for the given device pixel ratio;
    // on failure that look keeps its image.
    bool loadImage(Look look, QIODevice& stream, qreal ratio = 1.0);
    // An image of device pixel ratio 1 replaces the look and forgets its
    // high-resolution image, which the next call may give; one of a higher
    // ratio becomes that high-resolution image.
    void setImage(Look look, const QImage& image);
    const QImage& image(Look look) const;
    const QImage& hiResImage(Look look) const;

    // What is drawn now, from the pointer and the press.
    Look currentLook() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The image that fits the screen best for the look, else the normal one's.
    const QImage& imageToDraw(Look look) const;

    QImage FImages[3];
    QImage FHiRes[3];
    bool FHover = false;
};
