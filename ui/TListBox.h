#pragma once
// A list of text entries.

#include <QListWidget>
#include <optional>

class TListBox : public QListWidget {
    Q_OBJECT
public:
    explicit TListBox(QWidget* parent);

    // The selected row; none when no row is selected, whatever the current
    // row (which a Ctrl+click leaves behind when it clears the selection).
    std::optional<int> selectedRow() const;
};
