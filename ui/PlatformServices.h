#pragma once
// The platform services the main window reaches through one struct, so tests
// can answer dialogs, read the clock they set and see what was shown.

#include "ui/ProgramFiles.h"

#include <QDateTime>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class QWidget;
class HotkeyBackend;

enum class MessageIcon { Information, Question, Warning };
enum class MessageButtons { Ok, YesNo };
enum class MessageResult { Ok, Yes, No };

class MessageBoxService {
public:
    virtual ~MessageBoxService() = default;
    // Modal; caption is "Notice" or "Warning".
    virtual MessageResult show(QWidget* parent, const QString& caption, const QString& text,
                               MessageIcon icon, MessageButtons buttons) = 0;
    // Not modal, with an OK button: returns at once and the box stays up
    // while the program goes on (a recording keeps running).
    virtual void notify(QWidget* parent, const QString& caption, const QString& text,
                        MessageIcon icon) = 0;
};

class DialogService {
public:
    virtual ~DialogService() = default;
    // Empty when the user cancels. The title stands above the folder tree.
    virtual QString chooseFolder(QWidget* parent, const QString& startFolder,
                                 const QString& title) = 0;
    // Picks a name only: an existing file is no reason to ask about
    // overwriting, since whoever writes it later decides that.
    virtual QString chooseSaveFile(QWidget* parent, const QString& startPath,
                                   const QString& filter) = 0;
};

class FileManagerService {
public:
    virtual ~FileManagerService() = default;
    // Shows the file selected in the user's file manager.
    virtual void showFile(const QString& path) = 0;
};

class ClockService {
public:
    virtual ~ClockService() = default;
    virtual QDateTime now() const = 0;
};

// Open while the program shows a modal box or dialog of its own, whatever
// draws it: a native dialog is no Qt modal widget, and a test's box is none
// at all. UI thread only.
class ModalScope {
public:
    ModalScope() { ++depth_; }
    ~ModalScope() { --depth_; }
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;
    static bool anyOpen() { return depth_ > 0; }

private:
    static inline int depth_ = 0;
};

class SleepInhibitService {
public:
    virtual ~SleepInhibitService() = default;
    // Asks the system not to sleep or idle until release(), saying why. Never
    // waits and never fails the caller: where no service takes the request,
    // the computer may sleep as before.
    virtual void inhibit(const QString& why) = 0;
    virtual void release() = 0;
};

class FreeSpaceService {
public:
    virtual ~FreeSpaceService() = default;
    // Bytes that may still be written on the file system holding `folder`;
    // nothing when it cannot be asked.
    virtual std::optional<uint64_t> freeBytes(const QString& folder) = 0;
};

struct PlatformServices {
    std::unique_ptr<MessageBoxService> messages;
    std::unique_ptr<DialogService> dialogs;
    std::unique_ptr<FileManagerService> fileManager;
    std::unique_ptr<ClockService> clock;
    // Either may be null: no inhibiting, no watching of the disk.
    std::unique_ptr<SleepInhibitService> sleepInhibitor;
    std::unique_ptr<FreeSpaceService> freeSpace;
    QString programFolder; // with a trailing '/'
    // Called once the application exists; empty: a session without hotkeys.
    std::function<std::unique_ptr<HotkeyBackend>()> hotkeyBackend;
    // Where this copy keeps its files; unset means all of them in the program
    // folder, as a portable copy does.
    std::optional<ProgramFiles> files;

    ProgramFiles programFiles() const {
        return files ? *files : ProgramFiles::portable(programFolder);
    }

    // The real services of this desktop, with the executable's folder and the
    // places that this copy, installed or portable, keeps its files in.
    static PlatformServices desktop();
};
