// "Show in file manager" against a private session bus: a stand-in file
// manager that answers ShowItems, one that never answers, and none at all.
#include "tests/support/QtFixture.h"
#include "tests/support/TempFolder.h"
#include "ui/DBusFileManager.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QProcess>

namespace {

// Records the items it is asked to show; silent ones never reply.
class StandInFileManager final : public QDBusVirtualObject {
public:
    explicit StandInFileManager(bool answers) : answers_(answers) {}
    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        if (message.member() != "ShowItems")
            return false;
        shown = message.arguments().value(0).toStringList();
        if (answers_)
            connection.send(message.createReply());
        else
            message.setDelayedReply(true);
        return true;
    }
    QStringList shown;

private:
    bool answers_;
};

class FileManagerTest : public QtFixture {
protected:
    void SetUp() override {
        bus.setProgram("dbus-daemon");
        bus.setArguments({"--session", "--nofork", "--print-address=1",
                          "--address=unix:path=" + QString::fromStdString((dir / "bus").string())});
        bus.start();
        ASSERT_TRUE(bus.waitForReadyRead(5000));
        address = QString::fromUtf8(bus.readLine()).trimmed();
        ASSERT_FALSE(address.isEmpty());
        TempFolder::write(dir / "take one.mp3", "x");
        file = QString::fromStdString((dir / "take one.mp3").string());
    }
    void TearDown() override {
        QDBusConnection::disconnectFromBus("server");
        QDBusConnection::disconnectFromBus("caller");
        bus.kill();
        bus.waitForFinished();
    }

    // Serves the stand-in on one connection; the caller gets its own, as a
    // process cannot call itself through one connection.
    void serve(StandInFileManager& manager) {
        QDBusConnection server = QDBusConnection::connectToBus(address, "server");
        ASSERT_TRUE(server.registerService("org.freedesktop.FileManager1"));
        ASSERT_TRUE(server.registerVirtualObject("/org/freedesktop/FileManager1", &manager));
    }

    template <typename Done> void spinUntil(Done done, int ms) {
        const QDeadlineTimer deadline(ms);
        while (!done() && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }

    TempFolder dir;
    QProcess bus;
    QString address;
    QString file;
    QList<QUrl> opened;
};

TEST_F(FileManagerTest, AnAnsweringFileManagerIsAskedForTheEncodedFileUri) {
    StandInFileManager manager(true);
    serve(manager);
    DBusFileManager service(QDBusConnection::connectToBus(address, "caller"),
                            [&](const QUrl& u) { opened << u; });
    TempFolder::write(dir / "caf\u00e9 #1 100%.wav", "x");
    const QString folderUri = QUrl::fromLocalFile(QString::fromStdString(dir.path().string()))
                                  .toString(QUrl::FullyEncoded);
    for (const auto& [name, encoded] :
         {std::pair{QStringLiteral("take one.mp3"), QStringLiteral("/take%20one.mp3")},
          std::pair{QStringLiteral("caf\u00e9 #1 100%.wav"),
                    QStringLiteral("/caf%C3%A9%20%231%20100%25.wav")}}) {
        manager.shown.clear();
        service.showFile(QString::fromStdString(dir.path().string()) + '/' + name);
        spinUntil([&] { return !manager.shown.isEmpty(); }, 3000);
        EXPECT_EQ(manager.shown.join(u'|').toStdString(), (folderUri + encoded).toStdString());
        EXPECT_TRUE(manager.shown.value(0).startsWith("file:///"));
        EXPECT_EQ(QUrl(manager.shown.value(0)).toLocalFile(),
                  QString::fromStdString(dir.path().string()) + '/' + name)
            << "the file manager decodes it back to the file";
    }
    spinUntil([] { return false; }, 200);
    EXPECT_TRUE(opened.isEmpty());
}

TEST_F(FileManagerTest, NoFileManagerOrNoReplyOpensTheFolderWithoutBlocking) {
    const QUrl folder = QUrl::fromLocalFile(QString::fromStdString(dir.path().string()));
    {
        DBusFileManager service(QDBusConnection::connectToBus(address, "caller"),
                                [&](const QUrl& u) { opened << u; });
        QElapsedTimer call;
        call.start();
        service.showFile(file);
        EXPECT_LT(call.elapsed(), 100);
        spinUntil([&] { return !opened.isEmpty(); }, 3000);
        EXPECT_EQ(opened, QList<QUrl>{folder});
        QDBusConnection::disconnectFromBus("caller");
    }
    opened.clear();
    StandInFileManager silent(false);
    serve(silent);
    DBusFileManager service(
        QDBusConnection::connectToBus(address, "caller"), [&](const QUrl& u) { opened << u; }, 300);
    service.showFile(file);
    EXPECT_TRUE(opened.isEmpty());
    spinUntil([&] { return !opened.isEmpty(); }, 3000);
    EXPECT_FALSE(silent.shown.isEmpty());
    EXPECT_EQ(opened, QList<QUrl>{folder});
}

} // namespace
