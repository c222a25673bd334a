#pragma once
// A tab control: a row of tab items, each showing one page. Items are 70 x 20
// side by side from the left; every page lies at (0, 20) and fills the rest.

#include "ui/TLayout.h"

#include <QAbstractButton>
#include <vector>

class TTabItem : public QAbstractButton {
    Q_OBJECT
public:
    TTabItem(QWidget* parent, const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

class TTabControl : public QWidget {
    Q_OBJECT
public:
    static constexpr int kItemWidth = 70;
    static constexpr int kItemHeight = 20;

    explicit TTabControl(QWidget* parent);

    // Adds an item and its page; the first one added is selected.
    TTabItem* addTab(const QString& text);

    int count() const { return static_cast<int>(FItems.size()); }
    TTabItem* item(int index) const;
    TLayout* page(int index) const;

    int tabIndex() const { return FIndex; }
    // An index outside the items is ignored.
    void setTabIndex(int index);

signals:
    void tabChanged(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    std::vector<TTabItem*> FItems;
    std::vector<TLayout*> FPages;
    int FIndex = -1;
};
