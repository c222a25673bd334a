#pragma once
// Test doubles for the platform services: message boxes and dialogs that
// answer from a script and remember what they were asked, a clock the test
// sets, a hotkey backend that records, a sleep inhibitor that counts and a
// free-space probe the test can override.

#include "audio/DiskSpace.h"
#include "tests/hotkeys/RecordingHotkeyBackend.h"
#include "ui/PlatformServices.h"

#include <QEventLoop>
#include <QStringList>
#include <QTimer>
#include <deque>
#include <functional>
#include <vector>

struct ShownMessage {
    QString caption;
    QString text;
    MessageIcon icon;
    MessageButtons buttons;
    bool modal = true; // false: shown by notify(), which does not wait
};

class FakeMessageBoxes final : public MessageBoxService {
public:
    std::vector<ShownMessage> shown;
    std::deque<MessageResult> answers; // for Yes/No questions; No when empty
    // Runs while a box is "on screen", as an event its loop would deliver.
    std::function<void()> whileShown;
    // A real box is modal and runs the event loop while it is up: with a
    // time here, every box does so for that long (timers keep ticking).
    int modalLoopMs = 0;

    MessageResult show(QWidget*, const QString& caption, const QString& text, MessageIcon icon,
                       MessageButtons buttons) override {
        const ModalScope modal;
        shown.push_back({caption, text, icon, buttons});
        if (whileShown)
            whileShown();
        if (modalLoopMs > 0) {
            QEventLoop loop;
            QTimer::singleShot(modalLoopMs, &loop, &QEventLoop::quit);
            loop.exec();
        }
        if (buttons == MessageButtons::Ok)
            return MessageResult::Ok;
        if (answers.empty())
            return MessageResult::No;
        MessageResult r = answers.front();
        answers.pop_front();
        return r;
    }
    void notify(QWidget*, const QString& caption, const QString& text, MessageIcon icon) override {
        shown.push_back({caption, text, icon, MessageButtons::Ok, false});
    }
};

class FakeDialogs final : public DialogService {
public:
    std::deque<QString> folderAnswers;
    std::deque<QString> saveAnswers;
    QStringList folderStarts;
    QStringList saveStarts;

    QStringList folderTitles;

    QString chooseFolder(QWidget*, const QString& startFolder, const QString& title) override {
        folderStarts << startFolder;
        folderTitles << title;
        return take(folderAnswers);
    }
    QString chooseSaveFile(QWidget*, const QString& startPath, const QString&) override {
        saveStarts << startPath;
        return take(saveAnswers);
    }

private:
    static QString take(std::deque<QString>& q) {
        if (q.empty())
            return {};
        QString s = q.front();
        q.pop_front();
        return s;
    }
};

class FakeFileManager final : public FileManagerService {
public:
    QStringList shownFiles;
    void showFile(const QString& path) override { shownFiles << path; }
};

class FakeClock final : public ClockService {
public:
    QDateTime time = QDateTime(QDate(2024, 1, 31), QTime(23, 59, 58));
    QDateTime now() const override { return time; }
};

class FakeSleepInhibitor final : public SleepInhibitService {
public:
    QStringList reasons; // of every inhibit()
    int releases = 0;
    bool held = false;
    void inhibit(const QString& why) override {
        reasons << why;
        held = true;
    }
    void release() override {
        ++releases;
        held = false;
    }
};

// The real file system's answer unless the test sets one.
class FakeFreeSpace final : public FreeSpaceService {
public:
    std::optional<uint64_t> answer;
    QStringList asked;
    std::optional<uint64_t> freeBytes(const QString& folder) override {
        asked << folder;
        return answer ? answer : diskspace::freeBytes(folder.toStdString());
    }
};

// Fakes owned by the services struct, with raw pointers kept for the test.
struct FakeServices {
    FakeMessageBoxes* messages = nullptr;
    FakeDialogs* dialogs = nullptr;
    FakeFileManager* fileManager = nullptr;
    FakeClock* clock = nullptr;
    FakeSleepInhibitor* sleepInhibitor = nullptr;
    FakeFreeSpace* freeSpace = nullptr;
    // Set up by the test before the window exists; the window takes it.
    RecordingHotkeyBackend* hotkeys = nullptr;

    PlatformServices make(const QString& programFolder) {
        PlatformServices s;
        auto m = std::make_unique<FakeMessageBoxes>();
        auto d = std::make_unique<FakeDialogs>();
        auto f = std::make_unique<FakeFileManager>();
        auto c = std::make_unique<FakeClock>();
        auto i = std::make_unique<FakeSleepInhibitor>();
        auto space = std::make_unique<FakeFreeSpace>();
        sleepInhibitor = i.get();
        freeSpace = space.get();
        s.sleepInhibitor = std::move(i);
        s.freeSpace = std::move(space);
        messages = m.get();
        dialogs = d.get();
        fileManager = f.get();
        clock = c.get();
        s.messages = std::move(m);
        s.dialogs = std::move(d);
        s.fileManager = std::move(f);
        s.clock = std::move(c);
        s.programFolder = programFolder.endsWith('/') ? programFolder : programFolder + '/';
        if (!nextHotkeys)
            nextHotkeys = std::make_unique<RecordingHotkeyBackend>();
        hotkeys = nextHotkeys.get();
        s.hotkeyBackend = [this]() -> std::unique_ptr<HotkeyBackend> {
            return std::move(nextHotkeys);
        };
        return s;
    }

    FakeServices() : nextHotkeys(std::make_unique<RecordingHotkeyBackend>()) {
        hotkeys = nextHotkeys.get();
    }

private:
    std::unique_ptr<RecordingHotkeyBackend> nextHotkeys;
};
