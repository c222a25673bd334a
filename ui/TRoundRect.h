#pragma once
// A filled rectangle with rounded corners, used as a frame behind pictures.

#include <QColor>
#include <QWidget>

class TRoundRect : public QWidget {
    Q_OBJECT
public:
    TRoundRect(QWidget* parent, const QColor& fill, qreal radius);

    QColor fill() const { return FFill; }
    qreal radius() const { return FRadius; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor FFill;
    qreal FRadius;
};
