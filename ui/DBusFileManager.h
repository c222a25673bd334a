#pragma once
// Shows a file in the desktop's file manager: the freedesktop FileManager1
// ShowItems call on the session bus, made without waiting for its answer.
// When no file manager answers (an error, or no reply in time) the file's
// folder is opened with the desktop's default handler instead.

#include "ui/PlatformServices.h"

#include <QDBusConnection>
#include <QObject>
#include <QUrl>

#include <functional>

class DBusFileManager final : public QObject, public FileManagerService {
public:
    using FolderOpener = std::function<void(const QUrl& folder)>;
    static constexpr int kReplyTimeoutMs = 2000;

    // The default opener is QDesktopServices::openUrl.
    explicit DBusFileManager(QDBusConnection bus = QDBusConnection::sessionBus(),
                             FolderOpener openFolder = {}, int replyTimeoutMs = kReplyTimeoutMs);

    void showFile(const QString& path) override;

private:
    QDBusConnection bus_;
    FolderOpener openFolder_;
    int replyTimeoutMs_;
};
