#pragma once
// A drop-down list of strings: the user can only pick. Its list opens below
// the control with rows 19 pixels high.

#include <QComboBox>

class TComboBox : public QComboBox {
    Q_OBJECT
public:
    static constexpr int kItemHeight = 19;

    explicit TComboBox(QWidget* parent);

    // Height of one row of the open list.
    int itemHeight() const;
};
