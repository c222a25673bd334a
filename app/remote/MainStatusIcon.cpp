// The status icon: while the window is in the background it shows what
// --status says, and its menu acts as the record and stop buttons. Where the
// desktop has no tray host there is none.

#include "app/TfrmMain.h"
#include "ui/TBitmapButton.h"

#include <QMenu>
#include <QPainter>
#include <QSystemTrayIcon>
#include <QTimer>

namespace {

constexpr int kIconSize = 64;
constexpr int kRefreshMs = 250;

// The program's icon with a red dot while recording and two bars while paused.
QIcon StateIcon(const QIcon& base, RemoteState state) {
    QPixmap pixmap = base.pixmap(kIconSize, kIconSize);
    if (state == RemoteState::Idle)
        return QIcon(pixmap);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF badge(kIconSize * 0.5, kIconSize * 0.5, kIconSize * 0.48, kIconSize * 0.48);
    painter.setPen(QPen(Qt::white, 3));
    painter.setBrush(state == RemoteState::Recording ? QColor(220, 30, 30) : QColor(230, 150, 0));
    painter.drawEllipse(badge);
    if (state == RemoteState::Paused) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::white);
        const qreal bar = badge.width() / 6;
        painter.drawRect(QRectF(badge.left() + 1.5 * bar, badge.top() + 1.5 * bar, bar, 3 * bar));
        painter.drawRect(QRectF(badge.left() + 3.5 * bar, badge.top() + 1.5 * bar, bar, 3 * bar));
    }
    return QIcon(pixmap);
}

} // namespace

void TfrmMain::ShowStatusIcon() {
    if (FStatusIcon || !QSystemTrayIcon::isSystemTrayAvailable())
        return;
    FStatusIcon = new QSystemTrayIcon(this);
    FStatusMenu = new QMenu(this); // a popup of its own, owned by the window
    FStatusRecordAction = FStatusMenu->addAction(QString());
    connect(FStatusRecordAction, &QAction::triggered, this, [this] { RemoteRecord(); });
    FStatusStopAction = FStatusMenu->addAction(QStringLiteral("Stop"));
    connect(FStatusStopAction, &QAction::triggered, this, [this] { RemoteStop(); });
    FStatusMenu->addSeparator();
    connect(FStatusMenu->addAction(QStringLiteral("Show Window")), &QAction::triggered, this,
            [this] {
                showNormal();
                raise();
                activateWindow();
            });
    FStatusIcon->setContextMenu(FStatusMenu);
    auto* refresh = new QTimer(this);
    connect(refresh, &QTimer::timeout, this, [this] { UpdateStatusIcon(); });
    refresh->start(kRefreshMs);
    UpdateStatusIcon();
    FStatusIcon->show();
}

void TfrmMain::UpdateStatusIcon() {
    if (!FStatusIcon)
        return;
    const RemoteState state = CurrentRemoteState();
    const QString status = QString::fromStdString(RemoteStatusLine(state, RemoteElapsed()));
    if (status == FStatusIcon->toolTip())
        return;
    if (!FStatusShown || *FStatusShown != state) {
        FStatusIcon->setIcon(StateIcon(ProgramIcon(), state));
        FStatusRecordAction->setText(QString::fromStdString(RecordActionText(state)));
        FStatusStopAction->setEnabled(state != RemoteState::Idle);
        FStatusShown = state;
    }
    FStatusIcon->setToolTip(status);
}
