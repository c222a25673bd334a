#pragma once
// Animates one numeric property of its parent control linearly from a start
// value to a stop value. Every run begins at the start value, whatever the
// property holds, and ends with finished().

#include <QObject>
#include <memory>

class QVariantAnimation;
class QWidget;

class TFloatAnimation : public QObject {
    Q_OBJECT
public:
    enum class Property { Height, Width, X, Y };

    TFloatAnimation(QWidget* parent, Property property);
    ~TFloatAnimation() override;

    void setStartValue(float v) { FStart = v; }
    void setStopValue(float v) { FStop = v; }
    float startValue() const { return FStart; }
    float stopValue() const { return FStop; }
    void setDuration(double seconds) { FDuration = seconds; }
    double duration() const { return FDuration; }

    void start();
    // Stops where it is, without finished().
    void stop();
    bool isRunning() const;

signals:
    void finished();

private:
    void apply(float v);

    QWidget* FTarget;
    Property FProperty;
    float FStart = 0;
    float FStop = 0;
    double FDuration = 0.2;
    std::unique_ptr<QVariantAnimation> FAnim;
};
