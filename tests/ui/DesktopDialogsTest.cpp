// The real save-file dialog, offscreen: it only picks a name; whether an
// existing file may be replaced is decided when a recording starts.
#include "tests/support/QtFixture.h"
#include "ui/PlatformServices.h"

#include <QFileDialog>
#include <QTimer>

class DesktopDialogs : public QtFixture {};

TEST_F(DesktopDialogs, TheSaveDialogNeverAsksAboutOverwriting) {
    // Driving the dialog's own accept races its file-system model on a busy
    // machine; the option it was opened with is what decides the question.
    bool seen = false;
    bool confirms = true;
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            seen = true;
            confirms = !dialog->testOption(QFileDialog::DontConfirmOverwrite);
            dialog->reject();
        }
    });
    poll.start();
    PlatformServices services = PlatformServices::desktop();
    const QString chosen = services.dialogs->chooseSaveFile(nullptr, QString(), QString());
    poll.stop();
    ASSERT_TRUE(seen) << "no dialog showed";
    EXPECT_FALSE(confirms);
    EXPECT_TRUE(chosen.isEmpty()) << "a cancelled dialog chose nothing";
}
