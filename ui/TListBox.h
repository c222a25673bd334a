#pragma once
// A list of text entries.

#include <QListWidget>

class TListBox : public QListWidget {
    Q_OBJECT
public:
    explicit TListBox(QWidget* parent);
};
