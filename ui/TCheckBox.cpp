#include "ui/TCheckBox.h"

#include "ui/Toolkit.h"

TCheckBox::TCheckBox(QWidget* parent, const QString& text) : QCheckBox(text, parent) {
    toolkit::adopt(this);
}

TRadioButton::TRadioButton(QWidget* parent, const QString& text) : QRadioButton(text, parent) {
    toolkit::adopt(this);
}
