#include "ui/TComboBox.h"

#include "ui/Toolkit.h"

#include <QListView>
#include <QStyledItemDelegate>

namespace {

class FixedRowDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize s = QStyledItemDelegate::sizeHint(option, index);
        s.setHeight(TComboBox::kItemHeight);
        return s;
    }
};

} // namespace

TComboBox::TComboBox(QWidget* parent) : QComboBox(parent) {
    toolkit::adopt(this);
    setEditable(false);
    setFocusPolicy(Qt::StrongFocus);
    auto* view = new QListView(this);
    view->setUniformItemSizes(true);
    view->setItemDelegate(new FixedRowDelegate(view));
    setView(view);
    setMaxVisibleItems(12);
    // Without this the list would open over the control, centred on the entry.
    setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
}

int TComboBox::itemHeight() const {
    auto* delegate = view()->itemDelegate();
    QStyleOptionViewItem option;
    option.initFrom(view());
    return delegate->sizeHint(option, model()->index(0, 0)).height();
}
