// Moving the borderless window by dragging, on a real X server: the pointer
// is driven with xdotool so the presses come through X like a user's.
#include "app/TfrmMain.h"
#include "tests/support/FakePlatformServices.h"
#include "tests/support/WindowFixture.h"
#include "ui/TFloatAnimation.h"
#include "ui/TImage.h"
#include "ui/TText.h"

#include <QApplication>
#include <QGuiApplication>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class WindowMove : public WindowFixture {
protected:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            GTEST_SKIP() << "needs an X server";
        ASSERT_FALSE(dir.path().empty());
        w = makeWindow();
        w->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
        ASSERT_TRUE(QTest::qWaitFor([&] { return !w->faActive->isRunning(); }, 2000));
        settle();
    }

    // Round trips to the X server until everything it has for us was handled:
    // events a step causes (a move, then its configure) come one trip later.
    static void settle() {
        for (int trip = 0; trip < 3; ++trip) {
            QGuiApplication::sync();
            QCoreApplication::processEvents();
        }
    }

    // Presses at a point of the window, drags by (dx, dy) and releases;
    // returns how far the window moved.
    QPoint drag(QPoint inWindow, int dx, int dy) {
        const QPoint start = w->pos();
        const QPoint g = w->mapToGlobal(inWindow);
        auto xy = [](int x, int y) { return QStringList{QString::number(x), QString::number(y)}; };
        QStringList args = QStringList{"mousemove"} + xy(g.x(), g.y());
        args << "sleep"
             << "0.1"
             << "mousedown"
             << "1"
             << "sleep"
             << "0.1";
        for (int step = 1; step <= 4; ++step)
            args += QStringList{"mousemove"} + xy(g.x() + dx * step / 4, g.y() + dy * step / 4) +
                    QStringList{"sleep", "0.05"};
        args << "mouseup"
             << "1";
        QProcess xdotool;
        xdotool.start("xdotool", args);
        EXPECT_TRUE(xdotool.waitForStarted(5000));
        // Our event loop must run while xdotool plays the gesture.
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return xdotool.state() == QProcess::NotRunning; }, 10000));
        EXPECT_EQ(xdotool.exitCode(), 0) << xdotool.readAllStandardError().toStdString();
        settle();
        return w->pos() - start;
    }

    std::unique_ptr<TfrmMain> w;
};

TEST_F(WindowMove, DraggingTheTopBarMovesTheWindowWithThePointer) {
    // Beside the time display, on the bar itself.
    EXPECT_EQ(drag(QPoint(107, 34), 40, 30), QPoint(40, 30));
    EXPECT_EQ(drag(QPoint(157, 88), -25, 10), QPoint(-25, 10));
}

TEST_F(WindowMove, PressesOnTheTimeDisplayThePanelOrNothingDoNotMoveIt) {
    const QPoint timer = w->txtTimer->mapTo(w.get(), w->txtTimer->rect().center());
    EXPECT_EQ(drag(timer, 40, 30), QPoint(0, 0));
    const QPoint panel = w->imgPanel->mapTo(w.get(), QPoint(215, 240));
    EXPECT_EQ(drag(panel, 40, 30), QPoint(0, 0));
    EXPECT_EQ(drag(QPoint(2, 2), 40, 30), QPoint(0, 0)) << "a transparent corner is no handle";
}

TEST_F(WindowMove, TheWindowIsCentredWhenFirstShown) {
    const QRect area = w->screen()->availableGeometry();
    EXPECT_LE(std::abs(w->geometry().center().x() - area.center().x()), 1);
    EXPECT_LE(std::abs(w->geometry().center().y() - area.center().y()), 1);
    // What the X server shows, for a look at the shaped edges.
    QPixmap shot = w->screen()->grabWindow(0, w->x() - 10, w->y() - 10, 454, 412);
    shot.save(QCoreApplication::applicationDirPath() + "/window-x11.png");
}

} // namespace
