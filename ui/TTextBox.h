#pragma once
// A one-line text box that reports a change when Enter is pressed or the
// focus leaves it, and only after the user edited it since it got the focus.
// Text set by the program reports nothing.

#include <QLineEdit>

class TTextBox : public QLineEdit {
    Q_OBJECT
public:
    explicit TTextBox(QWidget* parent);

    // Reports the user's edit now, as Enter would; true when there was one.
    // An action that takes what the box shows calls it first.
    bool commitEdit();

signals:
    void changed();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool FEdited = false;
};
