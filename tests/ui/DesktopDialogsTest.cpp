// The real save-file dialog, offscreen: it picks a name and never asks about
// overwriting the file that has it.
#include "tests/support/QtFixture.h"
#include "tests/support/TempFolder.h"
#include "ui/PlatformServices.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QTimer>

class DesktopDialogs : public QtFixture {};

TEST_F(DesktopDialogs, ChoosingAnExistingFileAsksNothing) {
    TempFolder dir;
    const auto existing = dir / "take1.mp3";
    TempFolder::write(existing, "old");
    const QString path = QString::fromStdString(existing.string());

    bool asked = false;
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            asked = true;
            box->done(QMessageBox::Yes);
        } else if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
            dialog->selectFile(path);
            static_cast<QDialog*>(dialog)->accept(); // the file dialog's own accept
        }
    });
    poll.start();
    PlatformServices services = PlatformServices::desktop();
    const QString chosen = services.dialogs->chooseSaveFile(nullptr, QString(), QString());
    poll.stop();
    EXPECT_EQ(chosen, path);
    EXPECT_FALSE(asked);
    EXPECT_EQ(TempFolder::read(existing), "old");
}
