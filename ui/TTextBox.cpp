#include "ui/TTextBox.h"

#include "ui/Toolkit.h"
#include "xml/XmlEncoding.h"

#include <QKeyEvent>
#include <QValidator>

namespace {

// What is typed or pasted ends up in config.xml: characters that XML forbids
// there (control characters above all) are dropped as they arrive.
class XmlCharFilter final : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override {
        QString kept;
        kept.reserve(input.size());
        int keptBeforeCursor = 0;
        int at = 0;
        for (const char32_t c : input.toUcs4()) {
            const int units = QChar::requiresSurrogates(c) ? 2 : 1;
            if (xml::isXmlChar(c) && c >= 0x20) {
                kept += QString::fromUcs4(&c, 1);
                if (at < pos)
                    keptBeforeCursor += units;
            }
            at += units;
        }
        if (kept.size() != input.size()) {
            input = kept;
            pos = keptBeforeCursor;
        }
        return Acceptable;
    }
};

} // namespace

TTextBox::TTextBox(QWidget* parent) : QLineEdit(parent) {
    toolkit::adopt(this);
    setValidator(new XmlCharFilter(this));
    // textEdited fires for the user's typing only, never for setText.
    connect(this, &QLineEdit::textEdited, this, [this] { FEdited = true; });
}

void TTextBox::focusInEvent(QFocusEvent* event) {
    FEdited = false;
    QLineEdit::focusInEvent(event);
}

void TTextBox::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    commitEdit();
}

void TTextBox::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        commitEdit();
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

bool TTextBox::commitEdit() {
    if (!FEdited)
        return false;
    FEdited = false;
    emit changed();
    return true;
}
