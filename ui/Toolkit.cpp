#include "ui/Toolkit.h"

#include "ui/AccessibleControls.h"

#include <QKeyEvent>
#include <QPalette>
#include <QStyle>
#include <QStyleFactory>
#include <QWidget>
#include <memory>

namespace toolkit {

QFont font(int pixelSize, bool bold) {
    QFont f;
    f.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans Condensed"),
                   QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    f.setHintingPreference(QFont::PreferFullHinting);
    return f;
}

namespace {

QStyle* sharedStyle() {
    // One style for the process; the desktop's own theme would clash with the skin.
    static std::unique_ptr<QStyle> style(QStyleFactory::create(QStringLiteral("Fusion")));
    return style.get();
}

QPalette darkPalette() {
    QPalette p;
    p.setColor(QPalette::Window, QColor(0x3A, 0x3A, 0x3C));
    p.setColor(QPalette::WindowText, kLabel);
    p.setColor(QPalette::Base, QColor(0x26, 0x26, 0x28));
    p.setColor(QPalette::AlternateBase, QColor(0x30, 0x30, 0x32));
    p.setColor(QPalette::Text, QColor(0xEE, 0xEE, 0xEE));
    p.setColor(QPalette::Button, QColor(0x48, 0x48, 0x4B));
    p.setColor(QPalette::ButtonText, QColor(0xF0, 0xF0, 0xF0));
    p.setColor(QPalette::Highlight, QColor(0x3D, 0x7A, 0xB8));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::ToolTipBase, QColor(0xFF, 0xFF, 0xE1));
    p.setColor(QPalette::ToolTipText, Qt::black);
    p.setColor(QPalette::Light, QColor(0x60, 0x60, 0x64));
    p.setColor(QPalette::Mid, QColor(0x30, 0x30, 0x32));
    p.setColor(QPalette::Dark, QColor(0x1E, 0x1E, 0x20));
    p.setColor(QPalette::Disabled, QPalette::Text, QColor(0x80, 0x80, 0x80));
    p.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x80, 0x80, 0x80));
    p.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x90, 0x90, 0x90));
    return p;
}

} // namespace

void adopt(QWidget* w) {
    accessible::installControls();
    if (QStyle* s = sharedStyle())
        w->setStyle(s);
    w->setPalette(darkPalette());
    w->setFont(font(11));
}

bool isEnterPress(const QKeyEvent& event) {
    return (event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter) && !event.isAutoRepeat();
}

bool showsFocusMark(const QWidget* w) {
    return w->hasFocus() && w->window()->testAttribute(Qt::WA_KeyboardFocusChange);
}

} // namespace toolkit
