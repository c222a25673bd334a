#pragma once
// A button drawn from three images: normal, hot while the pointer is over it,
// down while pressed. It never stays pressed and shows no caption.

#include <QAbstractButton>
#include <QImage>

class QIODevice;

class TBitmapButton : public QAbstractButton {
    Q_OBJECT
public:
    enum class Look { Normal, Hot, Down };

    explicit TBitmapButton(QWidget* parent);

    // Decodes the image for one look; on failure that look keeps its image.
    bool loadImage(Look look, QIODevice& stream);
    void setImage(Look look, const QImage& image);
    const QImage& image(Look look) const;

    // What is drawn now, from the pointer and the press.
    Look currentLook() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    QImage FImages[3];
    bool FHover = false;
};
