// The path of a new recording: the naming table at a fixed moment, with and
// without a trailing delimiter on the folder, and the numbered free name.

#include "settings/OutputNaming.h"

#include <gtest/gtest.h>

#include <set>

using namespace naming;

namespace {

const QDateTime kMoment(QDate(2024, 1, 31), QTime(23, 59, 58));

struct Row {
    const char* what;
    NamingMode mode;
    const char* specialPath;
    const char* prefix;
    TPostfix postfix;
    const char* expected; // name after "/rec/", or "" for no path
};

const Row kTable[] = {
    {"auto, prefix, date+time", NamingMode::Auto, "", "notitle", TPostfix::DateTime,
     "notitle_20240131235958.mp3"},
    {"auto, no prefix", NamingMode::Auto, "", "", TPostfix::DateTime, "20240131235958.mp3"},
    {"auto, prefix, time", NamingMode::Auto, "", "notitle", TPostfix::Time, "notitle_235958.mp3"},
    {"special", NamingMode::Special, "interview", "notitle", TPostfix::DateTime, "interview.mp3"},
    {"special with extension", NamingMode::Special, "interview.mp3", "notitle", TPostfix::DateTime,
     "interview.mp3.mp3"},
    {"special, empty name", NamingMode::Special, "", "notitle", TPostfix::DateTime, ""},
    {"neither button", NamingMode::None, "interview", "notitle", TPostfix::DateTime, ""},
};

} // namespace

TEST(OutputNaming, TableAtTheLastSecondsOfJanuary) {
    for (const QString& folder : {QStringLiteral("/rec"), QStringLiteral("/rec/")}) {
        for (const Row& r : kTable) {
            NamingInputs in;
            in.saveFolder = folder;
            in.mode = r.mode;
            in.specialPath = QString::fromUtf8(r.specialPath);
            in.prefix = QString::fromUtf8(r.prefix);
            in.postfix = r.postfix;
            in.ext = OutputFileExt(rofMP3);
            const QString expected =
                *r.expected ? QStringLiteral("/rec/") + QString::fromUtf8(r.expected) : QString();
            EXPECT_EQ(BuildOutputFileName(in, kMoment), expected)
                << r.what << " in " << folder.toStdString();

            in.saveFolder.clear();
            EXPECT_EQ(BuildOutputFileName(in, kMoment), QString()) << r.what << ", no folder";
        }
    }
}

TEST(OutputNaming, StampIsZeroPaddedAndNothingIsReplaced) {
    NamingInputs in;
    in.saveFolder = QStringLiteral("/my rec:\\");
    in.mode = NamingMode::Auto;
    in.prefix = QStringLiteral("a/b?");
    in.ext = OutputFileExt(rofOGG);
    EXPECT_EQ(BuildOutputFileName(in, QDateTime(QDate(987, 2, 3), QTime(4, 5, 6))),
              QStringLiteral("/my rec:\\/a/b?_09870203040506.ogg"));
}

TEST(OutputNaming, ExtensionIsEmptyOutsideTheFormats) {
    for (TRecordOutFormat f : {rofWAVE, rofMP3, rofWMA, rofOGG})
        EXPECT_EQ(OutputFileExt(f).size(), 4) << int(f);
    EXPECT_EQ(OutputFileExt(static_cast<TRecordOutFormat>(4)), "");
    EXPECT_EQ(OutputFileExt(static_cast<TRecordOutFormat>(255)), "");
}

TEST(OutputNaming, UniqueNameSkipsTakenNumbers) {
    std::set<QString> taken = {"/rec/notitle_235958.mp3", "/rec/notitle_235958_1.mp3"};
    QStringList asked;
    auto exists = [&](const QString& p) {
        asked << p;
        return taken.count(p) > 0;
    };
    EXPECT_EQ(MakeUniqueFileName("/rec/notitle_235958.mp3", exists), "/rec/notitle_235958_2.mp3");
    EXPECT_EQ(asked, QStringList({"/rec/notitle_235958_1.mp3", "/rec/notitle_235958_2.mp3"}));

    taken = {};
    for (int n = 1; n <= 11; ++n)
        taken.insert(QStringLiteral("/rec/a_%1.wav").arg(n));
    EXPECT_EQ(MakeUniqueFileName("/rec/a.wav", exists), "/rec/a_12.wav");
    // The stem drops four characters whatever they are; the extension is
    // taken from the last dot.
    EXPECT_EQ(MakeUniqueFileName("/rec/x.tar.gz", exists), "/rec/x.ta_1.gz");
    EXPECT_EQ(MakeUniqueFileName("/rec/ab", exists), "/rec/_1");
    EXPECT_EQ(MakeUniqueFileName("noslash.mp3", exists), "noslash_1.mp3");
}

// A generated name must never replace an existing recording, whatever the
// "On Same name:" list (disabled in that mode) still holds.
TEST(OutputNaming, OnlyTheSpecialNameFollowsTheSameNameChoice) {
    for (TSameNameAction a :
         {TSameNameAction::Overwrite, TSameNameAction::Prompt, TSameNameAction::NewName})
        EXPECT_EQ(WhenFileExists(NamingMode::Auto, a), ExistingFileAction::TakeFreeName);
    EXPECT_EQ(WhenFileExists(NamingMode::Special, TSameNameAction::Overwrite),
              ExistingFileAction::Overwrite);
    EXPECT_EQ(WhenFileExists(NamingMode::Special, TSameNameAction::Prompt),
              ExistingFileAction::AskFirst);
    EXPECT_EQ(WhenFileExists(NamingMode::Special, TSameNameAction::NewName),
              ExistingFileAction::TakeFreeName);
}
