#include "app/ProgramOptions.h"

#include "app/remote/RemoteTexts.h"

#include <QCommandLineParser>

#include <string_view>

namespace {

constexpr std::string_view kUsage =
    "Usage: tovaline [OPTION]\n"
    "A small sound recorder: records a sound input to WAV, MP3, WMA or Ogg Vorbis.\n"
    "\n"
    "  -h, --help            show this help and exit\n"
    "      --version         show the version and exit\n"
    "      --record          press the record button of the running copy: start,\n"
    "                        pause or resume; starts the program, recording at once,\n"
    "                        when none is running\n"
    "      --for DURATION    with --record: stop after DURATION (90s, 45m, 1h30m,\n"
    "                        01:30:00)\n"
    "      --stop            press the stop button of the running copy\n"
    "      --status          print the running copy's state: idle, or\n"
    "                        recording HH:MM:SS, or paused HH:MM:SS\n"
    "\n"
    "A portable copy keeps config.xml and recorded.xml beside the executable;\n"
    "an installed copy keeps them in $XDG_CONFIG_HOME/tovaline and\n"
    "$XDG_DATA_HOME/tovaline.\n";

CommandLine Fail(std::ostream& err, const QString& message) {
    err << "tovaline: " << message.toStdString() << "\n"
        << "Try 'tovaline --help' for more information.\n";
    return {1, {}};
}

} // namespace

CommandLine ParseCommandLine(const QStringList& args, std::ostream& out, std::ostream& err) {
    QCommandLineParser parser;
    // -platform and the toolkit's other one-dash options stay whole words.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringLiteral("version"));
    const QCommandLineOption record(QStringLiteral("record"));
    const QCommandLineOption stop(QStringLiteral("stop"));
    const QCommandLineOption status(QStringLiteral("status"));
    const QCommandLineOption duration(QStringLiteral("for"), QString(), QStringLiteral("DURATION"));
    parser.addOptions({help, version, record, stop, status, duration});
    // Unknown options belong to the toolkit, so a failed parse is no error
    // by itself; what this program knows is read all the same.
    parser.parse(args);

    // The first informational option answers.
    for (const QString& name : parser.optionNames()) {
        if (name == QLatin1String("h") || name == QLatin1String("help")) {
            out << kUsage;
            return {0, {}};
        }
        if (name == QLatin1String("version")) {
            out << "Tovaline " TOVALINE_VERSION "\n";
            return {0, {}};
        }
    }
    if (parser.errorText().contains(QLatin1String("--for")))
        return Fail(err, QStringLiteral("--for needs a duration, such as 90s or 1h30m."));

    const int verbs =
        int(parser.isSet(record)) + int(parser.isSet(stop)) + int(parser.isSet(status));
    if (verbs > 1)
        return Fail(err, QStringLiteral("--record, --stop and --status go one at a time."));

    ProgramRequest request;
    if (parser.isSet(record))
        request.verb = RemoteVerb::Record;
    else if (parser.isSet(stop))
        request.verb = RemoteVerb::Stop;
    else if (parser.isSet(status))
        request.verb = RemoteVerb::Status;

    if (parser.isSet(duration)) {
        if (request.verb != RemoteVerb::Record)
            return Fail(err, QStringLiteral("--for goes with --record."));
        const QString text = parser.value(duration);
        request.recordFor = ParseRecordDuration(text.toStdString());
        if (!request.recordFor)
            return Fail(err, QStringLiteral("'%1' is no duration: use a form such as 90s, 45m, "
                                            "1h30m or 01:30:00.")
                                 .arg(text));
    }
    return {std::nullopt, request};
}
