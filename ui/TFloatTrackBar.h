#pragma once
// A horizontal track bar with a floating-point value. It reports every change
// of its value: while the thumb is dragged, and when the program sets it.
// Screen readers see it as a slider (ui/AccessibleSlider.cpp).

#include <QWidget>

class TFloatTrackBar : public QWidget {
    Q_OBJECT
public:
    explicit TFloatTrackBar(QWidget* parent, float min = 0.0f, float max = 10.0f);

    float minimum() const { return FMin; }
    float maximum() const { return FMax; }
    float value() const { return FValue; }

    // A range with max below min is taken as max == min; the value is kept inside.
    void setRange(float min, float max);
    void setMinimum(float minimum) { setRange(minimum, FMax); }
    void setMaximum(float maximum) { setRange(FMin, maximum); }
    void setValue(float value);

    // How far an arrow key moves the value: a tenth of the range.
    float keyStep() const { return (FMax - FMin) / 10.0f; }

    // True between press and release of the thumb.
    bool isTracking() const { return FTracking; }

    // The value that a pointer at x (control coordinates) stands for.
    float valueAt(qreal x) const;

signals:
    void changed(float value);
    void released(float value);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    static constexpr int kThumbWidth = 9;
    qreal thumbX() const;
    void reportChange();

    float FMin;
    float FMax;
    float FValue;
    bool FTracking = false;
};
