#include "app/remote/RemoteClient.h"

#include "app/remote/RemoteNames.h"
#include "app/remote/RemoteTexts.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>

namespace {

// A copy that owns the name but does not answer in this time is stuck; a
// second copy would not help.
constexpr int kReplyTimeoutMs = 1500;
const QString kConnectionName = QStringLiteral("tovaline-remote-client");

enum class Reach { Answered, NoCopy, NoAnswer };

struct Reply {
    Reach reach = Reach::NoCopy;
    QList<QVariant> arguments;
};

Reply Call(QDBusConnection& bus, const QString& interface, const QString& method,
           const QList<QVariant>& arguments = {}) {
    QDBusMessage call =
        QDBusMessage::createMethodCall(kRemoteService, kRemotePath, interface, method);
    call.setArguments(arguments);
    const QDBusMessage reply = bus.call(call, QDBus::Block, kReplyTimeoutMs);
    if (reply.type() == QDBusMessage::ReplyMessage)
        return {Reach::Answered, reply.arguments()};
    const QString error = reply.errorName();
    if (error == QLatin1String("org.freedesktop.DBus.Error.ServiceUnknown") ||
        error == QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner") ||
        error == QLatin1String("org.freedesktop.DBus.Error.Disconnected"))
        return {Reach::NoCopy, {}};
    return {Reach::NoAnswer, {}};
}

std::optional<int> Send(QDBusConnection& bus, const ProgramRequest& request, std::ostream& out,
                        std::ostream& err) {
    Reply reply;
    switch (request.verb) {
    case RemoteVerb::Record:
        reply = request.recordFor ? Call(bus, kRemoteInterface, QStringLiteral("RecordFor"),
                                         {QVariant::fromValue(uint(*request.recordFor))})
                                  : Call(bus, kRemoteInterface, QStringLiteral("Record"));
        break;
    case RemoteVerb::Stop:
        reply = Call(bus, kRemoteInterface, QStringLiteral("Stop"));
        break;
    case RemoteVerb::Status:
        reply = Call(bus, QStringLiteral("org.freedesktop.DBus.Properties"),
                     QStringLiteral("GetAll"), {kRemoteInterface});
        break;
    case RemoteVerb::None:
        return std::nullopt;
    }
    if (reply.reach == Reach::NoCopy) {
        if (request.verb == RemoteVerb::Record)
            return std::nullopt;
        err << "tovaline: no running copy of Tovaline to ask.\n";
        return 1;
    }
    if (reply.reach == Reach::NoAnswer) {
        err << "tovaline: the running copy of Tovaline did not answer.\n";
        return 1;
    }
    if (request.verb == RemoteVerb::Status) {
        const QVariantMap properties = qdbus_cast<QVariantMap>(reply.arguments.value(0));
        const QString word = properties.value(QStringLiteral("State")).toString();
        const RemoteState state = word == QLatin1String("recording") ? RemoteState::Recording
                                  : word == QLatin1String("paused")  ? RemoteState::Paused
                                                                     : RemoteState::Idle;
        out << RemoteStatusLine(state, properties.value(QStringLiteral("Elapsed")).toUInt())
            << "\n";
    }
    return 0;
}

} // namespace

std::optional<int> SendRemoteVerb(const ProgramRequest& request, std::ostream& out,
                                  std::ostream& err) {
    std::optional<int> result;
    {
        // A connection of its own, gone before the program (if it starts)
        // makes the session bus connection it serves on.
        QDBusConnection bus =
            QDBusConnection::connectToBus(QDBusConnection::SessionBus, kConnectionName);
        if (bus.isConnected()) {
            result = Send(bus, request, out, err);
        } else if (request.verb != RemoteVerb::Record) {
            err << "tovaline: no running copy of Tovaline to ask (no session bus).\n";
            result = 1;
        }
    }
    QDBusConnection::disconnectFromBus(kConnectionName);
    return result;
}
