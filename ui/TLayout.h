#pragma once
// A plain container. It draws nothing, clips its children and lets presses
// through to its parent.

#include <QWidget>

class TLayout : public QWidget {
    Q_OBJECT
public:
    explicit TLayout(QWidget* parent) : QWidget(parent) {}
};
