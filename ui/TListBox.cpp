#include "ui/TListBox.h"

#include "ui/Toolkit.h"

#include <QKeyEvent>

TListBox::TListBox(QWidget* parent) : QListWidget(parent) {
    toolkit::adopt(this);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTextElideMode(Qt::ElideMiddle);
    setUniformItemSizes(true);
    // A long list of recordings is laid out a batch at a time, so the window
    // shows its first frame without waiting for the whole list.
    setLayoutMode(QListView::Batched);
    setBatchSize(200);
    setStyleSheet(QStringLiteral(
        "QListWidget { background: #1f1f21; color: #e8e8e8; border: 1px solid #101012;"
        " border-radius: 2px; }"
        "QListWidget::item { height: 18px; padding-left: 3px; }"
        "QListWidget::item:selected { background: #3d7ab8; color: white; }"
        "QListWidget:disabled { color: #7a7a7a; }"
        "QListWidget::item:selected:disabled { background: #3a4a5c; color: #9a9a9a; }"));
}

std::optional<int> TListBox::selectedRow() const {
    const QModelIndexList rows = selectionModel()->selectedIndexes();
    if (rows.isEmpty())
        return std::nullopt;
    return rows.front().row();
}

// The view's own Enter emits activated(), which a click also emits on some
// styles; a signal of our own keeps the keyboard's choice apart.
void TListBox::keyPressEvent(QKeyEvent* event) {
    if (toolkit::isEnterPress(*event) && selectedRow()) {
        emit enteredByKey();
        return;
    }
    const std::optional<int> before = selectedRow();
    QListWidget::keyPressEvent(event);
    if (selectedRow() && selectedRow() != before)
        emit movedByKey();
}
