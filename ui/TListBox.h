#pragma once
// A list of text entries. From the keyboard, the arrow keys (or Space, on the
// current entry when none is selected) choose an entry and Enter acts on it,
// as a click and a double click do.

#include <QListWidget>
#include <optional>

class TListBox : public QListWidget {
    Q_OBJECT
public:
    explicit TListBox(QWidget* parent);

    // The selected row; none when no row is selected, whatever the current
    // row (which a Ctrl+click leaves behind when it clears the selection).
    std::optional<int> selectedRow() const;

signals:
    // A key selected another entry.
    void movedByKey();
    // Enter or Return on the selected entry.
    void enteredByKey();

protected:
    void keyPressEvent(QKeyEvent* event) override;
};
