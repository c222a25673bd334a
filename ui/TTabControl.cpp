#include "ui/TTabControl.h"

#include "ui/Toolkit.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

TTabItem::TTabItem(QWidget* parent, const QString& text) : QAbstractButton(parent) {
    toolkit::adopt(this);
    setText(text);
    setCheckable(true);
    setAutoExclusive(true);
    // Tab reaches the selected item; the arrow keys then go from item to item
    // and select as they go (autoExclusive buttons do so among siblings).
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::PointingHandCursor);
}

void TTabItem::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -1.5, 0);
    QPainterPath path;
    path.moveTo(r.bottomLeft());
    path.lineTo(r.left(), r.top() + 4);
    path.quadTo(r.topLeft(), QPointF(r.left() + 4, r.top()));
    path.lineTo(r.right() - 4, r.top());
    path.quadTo(r.topRight(), QPointF(r.right(), r.top() + 4));
    path.lineTo(r.bottomRight());
    QColor fill = isChecked()    ? QColor(0x4A, 0x4A, 0x4E)
                  : underMouse() ? QColor(0x3A, 0x3A, 0x3E)
                                 : QColor(0x2C, 0x2C, 0x2F);
    p.setPen(toolkit::showsFocusMark(this) ? QPen(toolkit::kAccent, 1.5)
                                           : QPen(QColor(0x16, 0x16, 0x18), 1));
    p.setBrush(fill);
    p.drawPath(path);
    p.setPen(isChecked() ? QColor(0xFF, 0xFF, 0xFF) : QColor(0xC0, 0xC0, 0xC0));
    p.setFont(toolkit::font(11, isChecked()));
    p.drawText(rect().adjusted(0, 1, 0, 0), Qt::AlignCenter, text());
}

void TTabItem::keyPressEvent(QKeyEvent* event) {
    if (toolkit::isEnterPress(*event)) {
        click();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

TTabControl::TTabControl(QWidget* parent) : QWidget(parent) {
    toolkit::adopt(this);
}

TTabItem* TTabControl::addTab(const QString& text) {
    const int index = count();
    auto* item = new TTabItem(this, text);
    item->setGeometry(index * kItemWidth, 0, kItemWidth, kItemHeight);
    auto* page = new TLayout(this);
    page->setGeometry(0, kItemHeight, width(), std::max(0, height() - kItemHeight));
    page->hide();
    FItems.push_back(item);
    FPages.push_back(page);
    connect(item, &QAbstractButton::clicked, this, [this, index] { setTabIndex(index); });
    if (FIndex < 0)
        setTabIndex(index);
    item->raise();
    return item;
}

TTabItem* TTabControl::item(int index) const {
    return index >= 0 && index < count() ? FItems[static_cast<size_t>(index)] : nullptr;
}

TLayout* TTabControl::page(int index) const {
    return index >= 0 && index < count() ? FPages[static_cast<size_t>(index)] : nullptr;
}

void TTabControl::setTabIndex(int index) {
    if (index < 0 || index >= count() || index == FIndex)
        return;
    FIndex = index;
    for (int i = 0; i < count(); ++i) {
        FPages[static_cast<size_t>(i)]->setVisible(i == index);
        FItems[static_cast<size_t>(i)]->setChecked(i == index);
    }
    update();
    emit tabChanged(index);
}

void TTabControl::paintEvent(QPaintEvent*) {
    QPainter p(this);
    // The row of items hides what lies beneath it, like the rest of the control.
    p.fillRect(QRect(0, 0, width(), kItemHeight), QColor(0x2D, 0x2D, 0x30));
    p.setRenderHint(QPainter::Antialiasing);
    QRectF body =
        QRectF(0, kItemHeight, width(), height() - kItemHeight).adjusted(0.5, 0, -0.5, -0.5);
    p.setPen(QPen(QColor(0x16, 0x16, 0x18), 1));
    p.setBrush(QColor(0x4A, 0x4A, 0x4E));
    p.drawRoundedRect(body, 3, 3);
}

void TTabControl::resizeEvent(QResizeEvent*) {
    for (TLayout* page : FPages)
        page->setGeometry(0, kItemHeight, width(), std::max(0, height() - kItemHeight));
}

void TTabControl::mousePressEvent(QMouseEvent* event) {
    event->accept();
}
