#include "ui/PlatformServices.h"

#include "audio/DiskSpace.h"
#include "hotkeys/HotkeyBackendFactory.h"
#include "ui/DBusFileManager.h"
#include "ui/SleepInhibitor.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace {

QMessageBox::Icon boxIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::Warning:
        break;
    }
    return QMessageBox::Warning;
}

class QtMessageBoxes final : public MessageBoxService {
public:
    void notify(QWidget* parent, const QString& caption, const QString& text,
                MessageIcon icon) override {
        // Owned by the parent until closed; no ModalScope, as nothing waits.
        auto* box = new QMessageBox(boxIcon(icon), caption, text, QMessageBox::Ok, parent);
        box->setTextFormat(Qt::PlainText);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setWindowModality(Qt::NonModal);
        box->show();
    }

    MessageResult show(QWidget* parent, const QString& caption, const QString& text,
                       MessageIcon icon, MessageButtons buttons) override {
        const ModalScope modal;
        QMessageBox box(parent);
        box.setWindowTitle(caption);
        // Paths are shown as named on disk: "<b>" in a folder name is text.
        box.setTextFormat(Qt::PlainText);
        box.setText(text);
        box.setIcon(boxIcon(icon));
        if (buttons == MessageButtons::YesNo) {
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            box.setDefaultButton(QMessageBox::No);
            return box.exec() == QMessageBox::Yes ? MessageResult::Yes : MessageResult::No;
        }
        box.setStandardButtons(QMessageBox::Ok);
        box.exec();
        return MessageResult::Ok;
    }
};

class QtDialogs final : public DialogService {
public:
    QString chooseFolder(QWidget* parent, const QString& startFolder,
                         const QString& title) override {
        const ModalScope modal;
        return QFileDialog::getExistingDirectory(parent, title, startFolder);
    }
    QString chooseSaveFile(QWidget* parent, const QString& startPath,
                           const QString& filter) override {
        const ModalScope modal;
        return QFileDialog::getSaveFileName(parent, QString(), startPath, filter, nullptr,
                                            QFileDialog::DontConfirmOverwrite);
    }
};

class StatFreeSpace final : public FreeSpaceService {
public:
    std::optional<uint64_t> freeBytes(const QString& folder) override {
        return diskspace::freeBytes(folder.toStdString());
    }
};

class SystemClock final : public ClockService {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

} // namespace

PlatformServices PlatformServices::desktop() {
    PlatformServices services;
    services.messages = std::make_unique<QtMessageBoxes>();
    services.dialogs = std::make_unique<QtDialogs>();
    services.fileManager = std::make_unique<DBusFileManager>();
    services.clock = std::make_unique<SystemClock>();
    services.sleepInhibitor = std::make_unique<SleepInhibitor>();
    services.freeSpace = std::make_unique<StatFreeSpace>();
    services.hotkeyBackend = [] { return makeHotkeyBackend(); };
    QString folder = QCoreApplication::applicationDirPath();
    if (!folder.endsWith('/'))
        folder += '/';
    services.programFolder = folder;
    services.files = locateProgramFiles(folder, xdgConfigHome(), xdgDataHome());
    return services;
}
