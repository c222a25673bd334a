// The main window's control tree, skin and panel, offscreen.
#include "app/TfrmMain.h"
#include "tests/support/FakePlatformServices.h"
#include "tests/support/WindowFixture.h"
#include "ui/TBitmapButton.h"
#include "ui/TCheckBox.h"
#include "ui/TComboBox.h"
#include "ui/TFloatAnimation.h"
#include "ui/TFloatTrackBar.h"
#include "ui/TImage.h"
#include "ui/TLayout.h"
#include "ui/TListBox.h"
#include "ui/TRoundRect.h"
#include "ui/TTabControl.h"
#include "ui/TText.h"
#include "ui/TTextBox.h"
#include "ui/TTextButton.h"

#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

class MainWindow : public WindowFixture {
protected:
    void SetUp() override {
        ASSERT_FALSE(dir.path().empty());
        w = makeWindow();
    }
    void waitForPanel() {
        ASSERT_TRUE(QTest::qWaitFor([&] { return !w->faActive->isRunning(); }, 2000));
    }
    // Where a control lies in the window.
    static QRect inWindow(QWidget* c) {
        return QRect(c->mapTo(c->window(), QPoint(0, 0)), c->size());
    }

    std::unique_ptr<TfrmMain> w;
};

TEST_F(MainWindow, TopBarAndPanelControlsSitWhereTheLayoutPutsThem) {
    waitForPanel();
    EXPECT_EQ(w->size(), QSize(434, 392));
    EXPECT_TRUE(w->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(w->testAttribute(Qt::WA_TranslucentBackground));

    struct Expect {
        QWidget* control;
        QWidget* parent;
        QRect geometry;
    };
    const std::vector<Expect> table = {
        {w->imgMain, w->Root, {7, 9, 392, 90}},
        {w->txtTimer, w->imgMain, {125, 45, 79, 21}},
        {w->btnList, w->imgMain, {26, 45, 43, 19}},
        {w->btnOptions, w->imgMain, {69, 45, 43, 19}},
        {w->btnRecord, w->imgMain, {226, 30, 45, 45}},
        {w->btnRecStop, w->imgMain, {291, 32, 40, 40}},
        {w->btnClose, w->imgMain, {371, 6, 13, 15}},
        {w->btnMinize, w->imgMain, {355, 6, 13, 15}},
        {w->imgPanel, w->Root, {7, 97, 391, 260}},
        {w->btnOpenFilePath, w->imgPanel, {59, 216, 88, 17}},
        {w->txtFileSize, w->imgPanel, {290, 155, 50, 16}},
        {w->txtDuration, w->imgPanel, {290, 132, 50, 18}},
        {w->listFiles, w->imgPanel, {20, 20, 187, 193}},
        {w->btnPlayStop, w->imgPanel, {247, 194, 43, 19}},
        {w->btnPlay, w->imgPanel, {290, 194, 43, 19}},
        {w->tbSound, w->imgPanel, {221, 173, 140, 15}},
        {w->txtLength, w->imgPanel, {221, 131, 57, 19}},
        {w->rcImage, w->imgPanel, {256, 46, 70, 67}},
        {w->imgSound, w->rcImage, {7, 7, 55, 53}},
        {w->tcOptions, w->imgPanel, {17, 17, 356, 227}},
        {w->btnClear, w->imgPanel, {149, 216, 58, 17}},
        {w->cmbDevice, w->lyDevice, {101, 19, 227, 22}},
        {w->tbDevVolume, w->lyDevice, {101, 51, 227, 15}},
        {w->cmbFormat, w->lyOutput, {96, 19, 217, 22}},
        {w->lyWave, w->lyOutput, {16, 52, 323, 148}},
        {w->lyMP3, w->lyOutput, {16, 52, 323, 148}},
        {w->lyWMA, w->lyOutput, {16, 52, 323, 148}},
        {w->lyOGG, w->lyOutput, {16, 52, 323, 148}},
        {w->cmbWavChannel, w->lyWave, {86, 10, 219, 22}},
        {w->cmbWavSamplerate, w->lyWave, {86, 70, 217, 22}},
        {w->tbMp3VBRQuality, w->lyMP3, {88, 75, 217, 15}},
        {w->cmbMp3Channel, w->lyMP3, {88, 118, 217, 22}},
        {w->cmbWMABitrate, w->lyWMA, {85, 79, 222, 22}},
        {w->tbOGGQuality, w->lyOGG, {85, 13, 218, 15}},
        {w->edtSaveFolder, w->lyFilename, {94, 13, 219, 22}},
        {w->btnSavefolder, w->lyFilename, {315, 13, 29, 22}},
        {w->rdSpecial, w->lyFilename, {22, 43, 120, 19}},
        {w->tbSavefile, w->lyFilename, {43, 66, 270, 22}},
        {w->cmbSamename, w->lyFilename, {113, 91, 200, 22}},
        {w->rdAutoSave, w->lyFilename, {19, 121, 120, 19}},
        {w->cmbPostfix, w->lyFilename, {94, 172, 219, 22}},
        {w->cmbStop, w->lyShortcutkey, {93, 83, 202, 22}},
    };
    for (const Expect& e : table) {
        SCOPED_TRACE(e.geometry.x() * 1000 + e.geometry.y());
        ASSERT_NE(e.control, nullptr);
        EXPECT_EQ(e.control->parentWidget(), e.parent);
        EXPECT_EQ(e.control->geometry(), e.geometry);
    }
    // "Size:" keeps its place below "Duration:" although Qt would clip it there.
    EXPECT_EQ(inWindow(w->txtSize), QRect(7 + 221 + 24, 97 + 131 + 20, 34, 21));
}

TEST_F(MainWindow, TextsHintsAndTabsAreThoseOfTheProgram) {
    EXPECT_EQ(w->txtTimer->text(), "00:00:00");
    EXPECT_EQ(w->txtTimer->font().pixelSize(), 16);
    EXPECT_TRUE(w->txtTimer->font().bold());
    EXPECT_EQ(w->btnList->toolTip(), "File List");
    EXPECT_EQ(w->btnOptions->toolTip(), "Options");
    EXPECT_EQ(w->btnRecord->toolTip(), "Record");
    EXPECT_EQ(w->btnRecStop->toolTip(), "Stop");
    EXPECT_TRUE(w->btnClose->toolTip().isEmpty());
    EXPECT_EQ(w->btnOpenFilePath->text(), "Browse File...");
    EXPECT_EQ(w->btnClear->text(), "Clear");
    EXPECT_EQ(w->txtLength->text(), "Duration:");
    EXPECT_EQ(w->txtSize->text(), "Size:");
    EXPECT_EQ(w->txtFileSize->text(), "0");
    EXPECT_EQ(w->Label1->text(), "Tovaline 2.0");
    EXPECT_EQ(w->tbSound->minimum(), 0.0f);
    EXPECT_EQ(w->tbSound->maximum(), 100.0f);
    EXPECT_EQ(w->tbDevVolume->maximum(), 10.0f);
    EXPECT_EQ(w->cmbDevice->itemHeight(), 19);
    // Shown on the "Device" page: the recording reads the setting.
    EXPECT_FALSE(w->chkSkipsilence->isHidden());
    EXPECT_FALSE(w->txtSkip->isHidden());
    EXPECT_EQ(w->chkSkipsilence->parentWidget(), w->lyDevice);
    EXPECT_EQ(w->chkSkipsilence->pos(), QPoint(97, 103));
    EXPECT_EQ(w->txtSkip->pos(), QPoint(13, 99));
    EXPECT_EQ(w->txtSkip->text(), "Skip Silence :");

    const QStringList names = {"Device", "Output", "FilePath", "Hotkey", "About"};
    ASSERT_EQ(w->tcOptions->count(), 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(w->tcOptions->item(i)->text(), names[i]);
        EXPECT_EQ(w->tcOptions->item(i)->geometry(), QRect(i * 70, 0, 70, 20));
        EXPECT_EQ(w->tcOptions->page(i)->geometry(), QRect(0, 20, 356, 207));
    }
    EXPECT_EQ(w->tcOptions->page(0), w->lyDevice);
    EXPECT_EQ(w->tcOptions->page(4), w->Layout1);
    EXPECT_EQ(w->tcOptions->tabIndex(), 0);
    for (QTimer* t : {w->Timer, w->TmFlash, w->TimerRender, w->TimerPos})
        EXPECT_FALSE(t->isActive());
    EXPECT_EQ(w->TimerRender->interval(), 33);
    EXPECT_EQ(w->TimerPos->interval(), 500);
}

TEST_F(MainWindow, ClearLiesAboveTheOptionsWhichLieAboveTheRecordingsPage) {
    w->show();
    waitForPanel();
    w->btnOptionsClick(nullptr); // options over the recordings page
    w->btnClear->show();         // both visible: which one is hit?
    QPoint clearCentre = w->btnClear->geometry().center();
    EXPECT_EQ(w->imgPanel->childAt(clearCentre), w->btnClear);
    QPoint listPoint = w->listFiles->geometry().center();
    QWidget* atList = w->imgPanel->childAt(listPoint);
    ASSERT_NE(atList, nullptr);
    EXPECT_TRUE(w->tcOptions->isAncestorOf(atList) || atList == w->tcOptions);
    // With the options hidden the recordings page shows, "Size:" included.
    w->btnListClick(nullptr);
    EXPECT_EQ(w->imgPanel->childAt(w->txtSize->geometry().center()), w->txtSize);
}

TEST_F(MainWindow, StartsShutAndOpensOnTheRecordingsPage) {
    EXPECT_TRUE(w->faActive->isRunning());
    EXPECT_TRUE(w->tcOptions->isHidden());
    EXPECT_FALSE(w->btnClear->isHidden());
    waitForPanel();
    EXPECT_EQ(w->imgPanel->height(), 260);
    EXPECT_EQ(w->imgPanel->pos(), QPoint(7, 97));
}

TEST_F(MainWindow, ListTwiceFromShutOpensThenShuts) {
    waitForPanel();
    w->btnListClick(nullptr); // open on the recordings page: shut it
    waitForPanel();
    ASSERT_TRUE(w->panelShut());

    w->btnListClick(nullptr);
    EXPECT_TRUE(w->faActive->isRunning());
    waitForPanel();
    EXPECT_EQ(w->imgPanel->height(), 260);
    EXPECT_TRUE(w->tcOptions->isHidden());
    w->btnListClick(nullptr);
    EXPECT_TRUE(w->faActive->isRunning());
    waitForPanel();
    EXPECT_EQ(w->imgPanel->height(), 0);
    EXPECT_TRUE(w->tcOptions->isHidden()) << "shutting keeps the page";
}

TEST_F(MainWindow, EachButtonSwitchesToItsPageWhenTheOtherShows) {
    waitForPanel();
    w->btnOptionsClick(nullptr);
    EXPECT_FALSE(w->faActive->isRunning());
    EXPECT_FALSE(w->tcOptions->isHidden());
    EXPECT_TRUE(w->btnClear->isHidden());
    EXPECT_EQ(w->imgPanel->height(), 260);

    w->btnListClick(nullptr);
    EXPECT_FALSE(w->faActive->isRunning());
    EXPECT_TRUE(w->tcOptions->isHidden());
    EXPECT_FALSE(w->btnClear->isHidden());

    w->btnOptionsClick(nullptr);
    w->btnOptionsClick(nullptr); // its own page shows: shut
    EXPECT_TRUE(w->faActive->isRunning());
    waitForPanel();
    EXPECT_TRUE(w->panelShut());
    EXPECT_FALSE(w->tcOptions->isHidden()) << "shutting keeps the page";

    w->btnOptionsClick(nullptr); // shut: open on the options
    EXPECT_TRUE(w->faActive->isRunning());
    EXPECT_FALSE(w->tcOptions->isHidden());
    waitForPanel();
    EXPECT_EQ(w->imgPanel->height(), 260);
}

TEST_F(MainWindow, ListWhileTheOptionsAreStillOpeningSwitchesAndTheOpeningGoesOn) {
    waitForPanel();
    w->btnOptionsClick(nullptr);
    w->btnOptionsClick(nullptr);
    waitForPanel();
    w->btnOptionsClick(nullptr); // opening on the options
    ASSERT_TRUE(QTest::qWaitFor([&] { return w->imgPanel->height() > 0; }, 1000));
    ASSERT_TRUE(w->faActive->isRunning());
    w->btnListClick(nullptr);
    EXPECT_TRUE(w->tcOptions->isHidden());
    EXPECT_FALSE(w->btnClear->isHidden());
    EXPECT_TRUE(w->faActive->isRunning());
    EXPECT_EQ(w->faActive->stopValue(), 260.0f);
    waitForPanel();
    EXPECT_EQ(w->imgPanel->height(), 260);
}

TEST_F(MainWindow, OptionsTwiceDuringAnOpeningShowsThenStartsClosingFromTheTop) {
    // The start-up opening is running on the recordings page.
    ASSERT_TRUE(QTest::qWaitFor([&] { return w->imgPanel->height() > 0; }, 1000));
    ASSERT_TRUE(w->faActive->isRunning());
    w->btnOptionsClick(nullptr);
    EXPECT_FALSE(w->tcOptions->isHidden());
    EXPECT_TRUE(w->btnClear->isHidden());
    EXPECT_TRUE(w->faActive->isRunning());
    EXPECT_EQ(w->faActive->stopValue(), 260.0f);

    const int before = w->imgPanel->height();
    ASSERT_LT(before, 260);
    w->btnOptionsClick(nullptr);
    EXPECT_EQ(w->imgPanel->height(), 260) << "closing begins at its start value";
    EXPECT_EQ(w->faActive->stopValue(), 0.0f);
    waitForPanel();
    EXPECT_TRUE(w->panelShut());
}

TEST_F(MainWindow, ShowOptionsPageOpensOrSwitchesAndSelectsTheTab) {
    waitForPanel();
    w->btnListClick(nullptr);
    waitForPanel();
    ASSERT_TRUE(w->panelShut());

    w->ShowOptionsPage(2); // shut: opens on FilePath
    EXPECT_TRUE(w->faActive->isRunning());
    EXPECT_FALSE(w->tcOptions->isHidden());
    EXPECT_TRUE(w->btnClear->isHidden());
    EXPECT_EQ(w->tcOptions->tabIndex(), 2);
    EXPECT_FALSE(w->lyFilename->isHidden());
    waitForPanel();

    w->ShowOptionsPage(4); // options open: select only
    EXPECT_FALSE(w->faActive->isRunning());
    EXPECT_EQ(w->tcOptions->tabIndex(), 4);

    w->btnListClick(nullptr);
    w->ShowOptionsPage(1); // recordings open: switch without animation
    EXPECT_FALSE(w->faActive->isRunning());
    EXPECT_FALSE(w->tcOptions->isHidden());
    EXPECT_EQ(w->tcOptions->tabIndex(), 1);
    EXPECT_EQ(w->imgPanel->height(), 260);
}

TEST_F(MainWindow, TheAnimationRunsLinearlyForAboutAFifthOfASecond) {
    waitForPanel();
    w->btnListClick(nullptr);
    waitForPanel();
    QElapsedTimer clock;
    clock.start();
    w->btnListClick(nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return clock.elapsed() >= 90; }, 1000));
    const int mid = w->imgPanel->height();
    const qint64 at = clock.elapsed();
    waitForPanel();
    const qint64 total = clock.elapsed();
    EXPECT_GE(total, 170);
    EXPECT_LT(total, 600);
    // Linear: the height follows elapsed time (with a tick of slack either side).
    EXPECT_NEAR(mid, 260.0 * at / 180.0, 260.0 * 40 / 180.0);
}

TEST_F(MainWindow, SkinImagesAreLoadedWithTheirSizes) {
    EXPECT_EQ(w->imgMain->bitmap().size(), QSize(391, 92));
    EXPECT_EQ(w->imgPanel->bitmap().size(), QSize(391, 256));
    EXPECT_EQ(w->imgSound->bitmap().size(), QSize(256, 256));
    using Look = TBitmapButton::Look;
    struct Btn {
        TBitmapButton* b;
        QSize size;
    };
    for (auto [b, size] :
         {Btn{w->btnList, {43, 19}}, Btn{w->btnOptions, {43, 19}}, Btn{w->btnRecord, {45, 45}},
          Btn{w->btnRecStop, {40, 40}}, Btn{w->btnClose, {13, 15}}, Btn{w->btnMinize, {13, 15}},
          Btn{w->btnPlayStop, {43, 19}}, Btn{w->btnPlay, {43, 19}}}) {
        for (Look l : {Look::Normal, Look::Hot, Look::Down})
            EXPECT_EQ(b->image(l).size(), size);
        EXPECT_EQ(b->image(Look::Normal), b->image(Look::Hot));
        EXPECT_NE(b->image(Look::Normal), b->image(Look::Down));
    }
}

TEST(SkinResources, AreFoundWithoutRegardToCaseAndMissingOnesGiveNothing) {
    for (const char* name : {"recnormal", "RecNormal", "RECNORMAL", "panelBG", "spauseclick"}) {
        auto s = TfrmMain::LoadResourceStream(QString::fromLatin1(name));
        ASSERT_NE(s, nullptr) << name;
        EXPECT_TRUE(s->isReadable());
        EXPECT_FALSE(s->isWritable());
        EXPECT_TRUE(s->read(8).startsWith("\x89PNG"));
    }
    EXPECT_EQ(TfrmMain::LoadResourceStream("nosuchimage"), nullptr);
    EXPECT_EQ(TfrmMain::LoadResourceStream(""), nullptr);
    EXPECT_EQ(TfrmMain::LoadResourceStream("recnormal.png"), nullptr);
    EXPECT_EQ(TfrmMain::LoadResourceStream("recnorma"), nullptr);
}

TEST_F(MainWindow, AMissingImageLeavesTheButtonAsItWas) {
    using Look = TBitmapButton::Look;
    const QImage pause = w->btnRecord->image(Look::Normal);
    TfrmMain::LoadButtonSkin(w->btnRecord, "pausenormal", "no-such-click");
    EXPECT_NE(w->btnRecord->image(Look::Normal), pause);
    EXPECT_EQ(w->btnRecord->image(Look::Normal), w->btnRecord->image(Look::Hot));
    auto rec = TfrmMain::LoadResourceStream("recclick");
    QImage recClick = QImage::fromData(rec->readAll());
    EXPECT_EQ(w->btnRecord->image(Look::Down),
              recClick.convertToFormat(QImage::Format_ARGB32_Premultiplied));
}

TEST_F(MainWindow, CornersAreTransparentAndTheBarsAreOpaque) {
    w->show();
    waitForPanel();
    QImage shot = w->grab().toImage();
    ASSERT_EQ(shot.size(), QSize(434, 392));
    for (QPoint corner : {QPoint(0, 0), QPoint(433, 0), QPoint(0, 391), QPoint(433, 391),
                          QPoint(8, 10), QPoint(420, 380)})
        EXPECT_EQ(shot.pixelColor(corner).alpha(), 0) << corner.x() << "," << corner.y();
    for (QPoint bar : {QPoint(30, 20), QPoint(200, 30), QPoint(390, 60), QPoint(217, 88)})
        EXPECT_EQ(shot.pixelColor(bar).alpha(), 255) << bar.x() << "," << bar.y();
    // The open panel is opaque too, and the shut one lets the desktop through.
    EXPECT_EQ(shot.pixelColor(200, 300).alpha(), 255);
    w->btnListClick(nullptr);
    waitForPanel();
    shot = w->grab().toImage();
    EXPECT_EQ(shot.pixelColor(200, 300).alpha(), 0);
}

TEST_F(MainWindow, CloseEndsTheLoopWithoutClosingTheWindowAndMinimiseMinimises) {
    w->show();
    bool closeRequested = false;
    struct CloseWatch : QObject {
        bool* seen;
        explicit CloseWatch(bool* s) : seen(s) {}
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::Close)
                *seen = true;
            return false;
        }
    } watch(&closeRequested);
    w->installEventFilter(&watch);
    QTimer::singleShot(0, w->btnClose, [&] { w->btnClose->click(); });
    QTimer failsafe;
    failsafe.setSingleShot(true);
    QObject::connect(&failsafe, &QTimer::timeout, [] { QCoreApplication::exit(7); });
    failsafe.start(3000);
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_FALSE(closeRequested) << "the close button is no platform close request";
    EXPECT_TRUE(w->isVisible());
    w->removeEventFilter(&watch);

    w->btnMinize->click();
    EXPECT_TRUE(w->isMinimized());
}

TEST_F(MainWindow, OnlyTheDrawnPartsOfTheWindowTakeTheDesktopsPlace) {
    w->show();
    waitForPanel();
    const QRegion open = w->mask();
    EXPECT_TRUE(open.contains(QPoint(200, 40)));  // top bar
    EXPECT_TRUE(open.contains(QPoint(200, 300))); // open panel
    EXPECT_FALSE(open.contains(QPoint(2, 2)));
    EXPECT_FALSE(open.contains(QPoint(7, 9))) << "the bar's rounded corner";
    EXPECT_FALSE(open.contains(QPoint(420, 200)));
    EXPECT_FALSE(open.contains(QPoint(200, 360))) << "below the panel image";

    w->btnListClick(nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return w->imgPanel->height() < 150; }, 1000));
    EXPECT_FALSE(w->mask().contains(QPoint(200, 300))) << "follows the closing panel";
    waitForPanel();
    EXPECT_TRUE(w->mask().contains(QPoint(200, 40)));
    EXPECT_FALSE(w->mask().contains(QPoint(200, 120)));
}

// Writes the window as the user sees it, over a plain desktop, for a look.
bool writeScreenshot(QWidget* window, const QString& name) {
    QImage shot = window->grab().toImage();
    QImage desk(shot.size() + QSize(40, 40), QImage::Format_ARGB32);
    QPainter p(&desk);
    QLinearGradient g(0, 0, 0, desk.height());
    g.setColorAt(0, QColor(0x3B, 0x6E, 0xA5));
    g.setColorAt(1, QColor(0x7A, 0xA6, 0xD0));
    p.fillRect(desk.rect(), g);
    p.drawImage(QPoint(20, 20), shot);
    p.end();
    return desk.save(QDir(QCoreApplication::applicationDirPath()).filePath(name));
}

// Entries for lists the options code has not filled, so the shots show text.
void fillIfEmpty(TComboBox* c, const QStringList& entries, const QString& pick) {
    if (c->count() > 0)
        return;
    c->addItems(entries);
    c->setCurrentIndex(c->findText(pick));
}

TEST_F(MainWindow, ScreenshotsOfTheRecordingsAndOutputPages) {
    w->show();
    waitForPanel();
    if (w->listFiles->count() == 0)
        w->listFiles->addItems(
            {"2026-12-09 07-41-10.mp3", "interview take 2.wav", "rehearsal.ogg"});
    EXPECT_TRUE(writeScreenshot(w.get(), "window-recordings.png"));
    w->listFiles->setCurrentRow(1);
    const std::vector<QWidget*> locked = {w->listFiles, w->btnClear, w->btnPlayStop, w->btnPlay,
                                          w->tbSound};
    for (QWidget* c : locked)
        c->setEnabled(false);
    EXPECT_TRUE(writeScreenshot(w.get(), "window-recordings-locked.png"));
    for (QWidget* c : locked)
        c->setEnabled(true);

    w->ShowOptionsPage(1);
    fillIfEmpty(w->cmbFormat, {"WAVE", "MP3", "WMA", "OGG"}, "WAVE");
    fillIfEmpty(w->cmbWavChannel, {"Mono", "Stereo"}, "Stereo");
    fillIfEmpty(w->cmbWavBitpersample, {"8 bit", "16 bit"}, "16 bit");
    fillIfEmpty(w->cmbWavSamplerate, {"22050 Hz", "44100 Hz"}, "44100 Hz");
    const std::vector<TLayout*> panels = {w->lyWave, w->lyMP3, w->lyWMA, w->lyOGG};
    auto showOnly = [&](TLayout* shown) {
        for (TLayout* ly : panels)
            ly->setVisible(ly == shown);
    };
    showOnly(w->lyWave);
    EXPECT_TRUE(writeScreenshot(w.get(), "window-options-output.png"));
    showOnly(w->lyMP3);
    EXPECT_TRUE(writeScreenshot(w.get(), "window-options-mp3.png"));
    showOnly(w->lyOGG);
    EXPECT_TRUE(writeScreenshot(w.get(), "window-options-ogg.png"));
    for (int i : {0, 2, 3, 4}) {
        w->ShowOptionsPage(i);
        EXPECT_TRUE(writeScreenshot(w.get(), QStringLiteral("window-options-%1.png").arg(i)));
    }
}

} // namespace
