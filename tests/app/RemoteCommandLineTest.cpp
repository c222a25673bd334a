// The remote-control verbs as the command line reads them and the status
// line as --status prints it, without a running copy.
#include "app/ProgramOptions.h"
#include "app/remote/RemoteTexts.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

struct Parsed {
    CommandLine line;
    std::string out;
    std::string err;
};

Parsed Parse(const QStringList& args) {
    std::ostringstream out, err;
    Parsed p{ParseCommandLine(QStringList{"tovaline"} + args, out, err), {}, {}};
    p.out = out.str();
    p.err = err.str();
    return p;
}

} // namespace

TEST(RecordDuration, AcceptsUnitsAndClockFormsAndNothingElse) {
    EXPECT_EQ(ParseRecordDuration("90s"), 90u);
    EXPECT_EQ(ParseRecordDuration("45m"), 45u * 60);
    EXPECT_EQ(ParseRecordDuration("1h30m"), 90u * 60);
    EXPECT_EQ(ParseRecordDuration("2h5m10s"), 2u * 3600 + 5 * 60 + 10);
    EXPECT_EQ(ParseRecordDuration("01:30:00"), 90u * 60);
    EXPECT_EQ(ParseRecordDuration("100:00:05"), 100u * 3600 + 5);

    for (const char* bad :
         {"", "90", "s", "1h30", "30m1h", "1m1m", "1x", "-5s", "1.5h", "0s", "00:00:00", "1:30",
          "1:60:00", "1:5:00", "1:30:00:00", "01:30:0x", " 90s", "90s "})
        EXPECT_FALSE(ParseRecordDuration(bad).has_value()) << '"' << bad << '"';
    // A timer could not count that far.
    EXPECT_EQ(ParseRecordDuration("596h"), 596u * 3600);
    EXPECT_FALSE(ParseRecordDuration("597h").has_value());
    EXPECT_FALSE(ParseRecordDuration("99999999999999999999s").has_value());
}

TEST(RemoteStatusLine, IsOneLowercaseLineWithHoursOfAtLeastTwoDigits) {
    EXPECT_EQ(RemoteStatusLine(RemoteState::Idle, 75), "idle");
    EXPECT_EQ(RemoteStatusLine(RemoteState::Recording, 0), "recording 00:00:00");
    EXPECT_EQ(RemoteStatusLine(RemoteState::Paused, 3 * 3600 + 25 * 60 + 7), "paused 03:25:07");
    EXPECT_EQ(RemoteStatusLine(RemoteState::Recording, 123 * 3600 + 59), "recording 123:00:59");
}

TEST(RemoteCommandLine, ReadsVerbsAndRefusesWrongUsesBeforeAnyWindow) {
    EXPECT_EQ(Parse({}).line.request.verb, RemoteVerb::None);
    EXPECT_FALSE(Parse({}).line.exitCode);
    EXPECT_EQ(Parse({"--stop"}).line.request.verb, RemoteVerb::Stop);
    EXPECT_EQ(Parse({"--status"}).line.request.verb, RemoteVerb::Status);

    const Parsed timed = Parse({"--record", "--for", "1h30m"});
    EXPECT_FALSE(timed.line.exitCode);
    EXPECT_EQ(timed.line.request.verb, RemoteVerb::Record);
    EXPECT_EQ(timed.line.request.recordFor, 5400u);
    EXPECT_EQ(Parse({"--for=90s", "--record"}).line.request.recordFor, 90u);
    EXPECT_FALSE(Parse({"--record"}).line.request.recordFor);

    // The toolkit's own options are no error, and take no verb's place.
    const Parsed toolkit = Parse({"-platform", "offscreen", "--record"});
    EXPECT_FALSE(toolkit.line.exitCode);
    EXPECT_EQ(toolkit.line.request.verb, RemoteVerb::Record);

    for (const QStringList& wrong :
         {QStringList{"--record", "--for", "soon"}, QStringList{"--record", "--for"},
          QStringList{"--stop", "--for", "5s"}, QStringList{"--record", "--stop"}}) {
        const Parsed p = Parse(wrong);
        EXPECT_EQ(p.line.exitCode, 1) << wrong.join(' ').toStdString();
        EXPECT_EQ(p.line.request.verb, RemoteVerb::None);
        EXPECT_TRUE(p.out.empty());
        EXPECT_EQ(p.err.rfind("tovaline: ", 0), 0u) << p.err;
    }

    // Information first, whatever else the line holds.
    const Parsed help = Parse({"--record", "--for", "soon", "--help"});
    EXPECT_EQ(help.line.exitCode, 0);
    EXPECT_NE(help.out.find("--record"), std::string::npos);
}
