#include "ui/TTextBox.h"

#include "ui/Toolkit.h"

#include <QKeyEvent>

TTextBox::TTextBox(QWidget* parent) : QLineEdit(parent) {
    toolkit::adopt(this);
    // textEdited fires for the user's typing only, never for setText.
    connect(this, &QLineEdit::textEdited, this, [this] { FEdited = true; });
}

void TTextBox::focusInEvent(QFocusEvent* event) {
    FEdited = false;
    QLineEdit::focusInEvent(event);
}

void TTextBox::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    reportIfEdited();
}

void TTextBox::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        reportIfEdited();
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TTextBox::reportIfEdited() {
    if (!FEdited)
        return;
    FEdited = false;
    emit changed();
}
