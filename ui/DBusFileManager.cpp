#include "ui/DBusFileManager.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDesktopServices>
#include <QFileInfo>

DBusFileManager::DBusFileManager(QDBusConnection bus, FolderOpener openFolder, int replyTimeoutMs)
    : bus_(std::move(bus)), openFolder_(std::move(openFolder)), replyTimeoutMs_(replyTimeoutMs) {
    if (!openFolder_)
        openFolder_ = [](const QUrl& folder) { QDesktopServices::openUrl(folder); };
}

void DBusFileManager::showFile(const QString& path) {
    const QFileInfo file(path);
    const QUrl folder = QUrl::fromLocalFile(file.absolutePath());
    if (!bus_.isConnected()) {
        openFolder_(folder);
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall("org.freedesktop.FileManager1",
                                                       "/org/freedesktop/FileManager1",
                                                       "org.freedesktop.FileManager1", "ShowItems");
    // A file manager takes the URI as a URI: blanks, '#', '%' and letters
    // beyond ASCII must arrive percent-encoded or it cannot find the file.
    call << QStringList{QUrl::fromLocalFile(file.absoluteFilePath()).toString(QUrl::FullyEncoded)}
         << QString();
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call, replyTimeoutMs_), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, folder](QDBusPendingCallWatcher* w) {
                if (w->isError())
                    openFolder_(folder);
                w->deleteLater();
            });
}
