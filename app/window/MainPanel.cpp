// The lower panel that slides open and shut, the page it shows, and the
// window's own buttons and moving.

#include "app/TfrmMain.h"

#include "ui/TBitmapButton.h"
#include "ui/TFloatAnimation.h"
#include "ui/TImage.h"
#include "ui/TLayout.h"
#include "ui/TTabControl.h"
#include "ui/TTextButton.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QShortcut>
#include <QWindow>

namespace {

void animatePanel(TFloatAnimation* anim, float from, float to) {
    anim->setStartValue(from);
    anim->setStopValue(to);
    anim->start();
}

} // namespace

void TfrmMain::ConnectPanelHandlers() {
    connect(btnList, &QAbstractButton::clicked, this, [this] { btnListClick(btnList); });
    connect(btnOptions, &QAbstractButton::clicked, this, [this] { btnOptionsClick(btnOptions); });
    connect(btnMinize, &QAbstractButton::clicked, this, [this] { btnMinizeClick(btnMinize); });
    connect(btnClose, &QAbstractButton::clicked, this, [this] { btnCloseClick(btnClose); });
    for (TImage* shaped : {imgMain, imgPanel})
        connect(shaped, &TImage::geometryChanged, this, &TfrmMain::updateWindowShape);
    connect(faActive, &TFloatAnimation::finished, this, [this] { faActiveFinish(faActive); });
    // A shortcut rather than a key press: a combo box takes the Escape it is
    // sent, and a shortcut of the window comes first. A message box is a window
    // of its own and keeps its Escape.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &TfrmMain::ShutPanelByKey);
}

// Open counts from the first pixel, also while an animation runs.
bool TfrmMain::panelShut() const {
    return imgPanel->height() == 0;
}

void TfrmMain::btnListClick(QObject*) {
    if (panelShut()) {
        tcOptions->hide();
        btnClear->show();
        animatePanel(faActive, 0, kPanelOpenHeight);
    } else if (tcOptions->isHidden()) {
        animatePanel(faActive, kPanelOpenHeight, 0);
    } else {
        tcOptions->hide();
        btnClear->show();
    }
}

void TfrmMain::btnOptionsClick(QObject*) {
    if (panelShut()) {
        tcOptions->show();
        btnClear->hide();
        animatePanel(faActive, 0, kPanelOpenHeight);
    } else if (tcOptions->isHidden()) {
        tcOptions->show();
        btnClear->hide();
    } else {
        animatePanel(faActive, kPanelOpenHeight, 0);
    }
}

void TfrmMain::ShowOptionsPage(int Index) {
    const bool shut = panelShut();
    tcOptions->show();
    btnClear->hide();
    if (shut)
        animatePanel(faActive, 0, kPanelOpenHeight);
    tcOptions->setTabIndex(Index);
}

void TfrmMain::updateWindowShape() {
    QRegion shape = imgMain->drawnRegion().translated(imgMain->pos());
    if (imgPanel->height() > 0)
        shape += imgPanel->drawnRegion().translated(imgPanel->pos());
    setMask(shape);
}

void TfrmMain::faActiveFinish(QObject*) {
    imgPanel->update();
}

void TfrmMain::btnMinizeClick(QObject*) {
    showMinimized();
}

// Leaves the loop at once: quit() would first offer every window a close,
// and the close button is not a platform close request.
void TfrmMain::btnCloseClick(QObject*) {
    QCoreApplication::exit(0);
}

void TfrmMain::showEvent(QShowEvent* event) {
    if (!FCentred) {
        FCentred = true;
        if (QScreen* s = screen()) {
            QRect area = s->availableGeometry();
            move(area.center() - QPoint(width() / 2, height() / 2));
        }
    }
    updateWindowShape();
    QWidget::showEvent(event);
}

// Only presses that no control took arrive here. A press on the bare root
// (nothing drawn there) does not move the window either.
void TfrmMain::mousePressEvent(QMouseEvent* event) {
    QWidget* hit = childAt(event->position().toPoint());
    if (event->button() != Qt::LeftButton || hit == nullptr || hit == Root) {
        event->ignore();
        return;
    }
    event->accept();
    if (QWindow* w = windowHandle(); w && w->startSystemMove())
        return;
    // No window manager that moves windows for us (a bare X server): follow
    // the pointer ourselves.
    FDragging = true;
    FDragOffset = event->globalPosition().toPoint() - pos();
}

void TfrmMain::mouseMoveEvent(QMouseEvent* event) {
    if (FDragging)
        move(event->globalPosition().toPoint() - FDragOffset);
}

void TfrmMain::mouseReleaseEvent(QMouseEvent* event) {
    if (FDragging && event->button() == Qt::LeftButton)
        FDragging = false;
}
