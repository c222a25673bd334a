#pragma once
// Check box and radio button with light captions for the dark panel.

#include <QCheckBox>
#include <QRadioButton>

class TCheckBox : public QCheckBox {
    Q_OBJECT
public:
    explicit TCheckBox(QWidget* parent, const QString& text = {});
};

class TRadioButton : public QRadioButton {
    Q_OBJECT
public:
    TRadioButton(QWidget* parent, const QString& text);
};
