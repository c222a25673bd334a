#include "ui/TFloatAnimation.h"

#include <QVariantAnimation>
#include <QWidget>
#include <cmath>

TFloatAnimation::TFloatAnimation(QWidget* parent, Property property)
    : QObject(parent), FTarget(parent), FProperty(property),
      FAnim(std::make_unique<QVariantAnimation>()) {
    FAnim->setEasingCurve(QEasingCurve::Linear);
    connect(FAnim.get(), &QVariantAnimation::valueChanged, this,
            [this](const QVariant& v) { apply(v.toFloat()); });
    connect(FAnim.get(), &QVariantAnimation::finished, this, [this] {
        apply(FStop);
        emit finished();
    });
}

TFloatAnimation::~TFloatAnimation() {
    // The animation must not call back into a half-destroyed parent.
    FAnim->disconnect(this);
    FAnim->stop();
}

void TFloatAnimation::start() {
    FAnim->stop();
    apply(FStart);
    FAnim->setStartValue(FStart);
    FAnim->setEndValue(FStop);
    FAnim->setDuration(static_cast<int>(std::lround(FDuration * 1000.0)));
    FAnim->start();
}

void TFloatAnimation::stop() {
    FAnim->stop();
}

bool TFloatAnimation::isRunning() const {
    return FAnim->state() == QAbstractAnimation::Running;
}

void TFloatAnimation::apply(float v) {
    const int n = static_cast<int>(std::lround(v));
    QRect g = FTarget->geometry();
    switch (FProperty) {
    case Property::Height:
        g.setHeight(n);
        break;
    case Property::Width:
        g.setWidth(n);
        break;
    case Property::X:
        g.moveLeft(n);
        break;
    case Property::Y:
        g.moveTop(n);
        break;
    }
    FTarget->setGeometry(g);
}
