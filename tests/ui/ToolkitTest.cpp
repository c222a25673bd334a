// The control kinds of the window, offscreen: what they report and when.
#include "tests/support/QtFixture.h"
#include "ui/PlatformServices.h"
#include "ui/TBitmapButton.h"
#include "ui/TComboBox.h"
#include "ui/TFloatAnimation.h"
#include "ui/TFloatTrackBar.h"
#include "ui/TImage.h"
#include "ui/TTabControl.h"
#include "ui/TTextBox.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QBuffer>
#include <QLabel>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <gtest/gtest.h>

namespace {

class Toolkit : public QtFixture {
protected:
    QWidget host;
};

QByteArray png(QSize size, QColor colour) {
    QImage img(size, QImage::Format_ARGB32);
    img.fill(colour);
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, "PNG");
    return bytes;
}

TEST_F(Toolkit, TrackBarReportsWhileDraggedAndWhenSetByTheProgram) {
    TFloatTrackBar bar(&host, 0, 10);
    bar.setGeometry(0, 0, 109, 15); // 100 pixels of travel
    QSignalSpy spy(&bar, &TFloatTrackBar::changed);

    bar.setValue(7.8f);
    ASSERT_EQ(spy.count(), 1);
    EXPECT_FLOAT_EQ(spy.last().at(0).toFloat(), 7.8f);
    bar.setValue(7.8f);
    EXPECT_EQ(spy.count(), 1) << "no change, no report";
    bar.setValue(25);
    EXPECT_EQ(bar.value(), 10.0f);
    bar.setValue(-3);
    EXPECT_EQ(bar.value(), 0.0f);
    bar.setValue(std::nanf(""));
    EXPECT_EQ(bar.value(), 0.0f);
    spy.clear();

    QTest::mousePress(&bar, Qt::LeftButton, {}, QPoint(4 + 20, 7));
    EXPECT_TRUE(bar.isTracking());
    QTest::mouseMove(&bar, QPoint(4 + 35, 7));
    QTest::mouseMove(&bar, QPoint(4 + 63, 7));
    QTest::mouseRelease(&bar, Qt::LeftButton, {}, QPoint(4 + 63, 7));
    EXPECT_FALSE(bar.isTracking());
    ASSERT_EQ(spy.count(), 3) << "one report per position on the way";
    EXPECT_NEAR(spy.at(0).at(0).toFloat(), 2.0f, 0.11f);
    EXPECT_NEAR(spy.at(1).at(0).toFloat(), 3.5f, 0.11f);
    EXPECT_NEAR(spy.at(2).at(0).toFloat(), 6.3f, 0.11f);

    // Past the ends the value stays at the range's limits.
    EXPECT_EQ(bar.valueAt(-50), 0.0f);
    EXPECT_EQ(bar.valueAt(500), 10.0f);
}

TEST_F(Toolkit, TrackBarRangeKeepsTheValueInside) {
    TFloatTrackBar bar(&host, 0, 100);
    bar.setValue(80);
    QSignalSpy spy(&bar, &TFloatTrackBar::changed);
    bar.setRange(1, 9);
    EXPECT_EQ(bar.value(), 9.0f);
    EXPECT_EQ(spy.count(), 1);
    bar.setRange(5, 2); // upside down: an empty range at its minimum
    EXPECT_EQ(bar.minimum(), 5.0f);
    EXPECT_EQ(bar.maximum(), 5.0f);
    EXPECT_EQ(bar.value(), 5.0f);
    EXPECT_EQ(bar.valueAt(30), 5.0f);
}

TEST_F(Toolkit, TextBoxReportsOnlyEditsAndOnlyOnEnterOrLeaving) {
    TTextBox box(&host);
    QSignalSpy spy(&box, &TTextBox::changed);
    QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);

    box.setText("/home/user/Music");
    QApplication::sendEvent(&box, &in);
    QTest::keyClick(&box, Qt::Key_Return);
    QApplication::sendEvent(&box, &out);
    EXPECT_EQ(spy.count(), 0) << "text set by the program is no edit";

    QApplication::sendEvent(&box, &in);
    QTest::keyClick(&box, Qt::Key_End);
    QTest::keyClicks(&box, "/x");
    EXPECT_EQ(spy.count(), 0) << "typing alone reports nothing";
    QTest::keyClick(&box, Qt::Key_Return);
    EXPECT_EQ(spy.count(), 1);
    EXPECT_EQ(box.text(), "/home/user/Music/x");
    QTest::keyClick(&box, Qt::Key_Enter);
    QApplication::sendEvent(&box, &out);
    EXPECT_EQ(spy.count(), 1) << "nothing edited since the last report";

    QApplication::sendEvent(&box, &in);
    QTest::keyClick(&box, Qt::Key_Backspace);
    QApplication::sendEvent(&box, &out);
    EXPECT_EQ(spy.count(), 2) << "leaving after an edit reports";
}

TEST_F(Toolkit, BitmapButtonShowsDownWhilePressedAndNeverStaysPressed) {
    TBitmapButton b(&host);
    b.resize(43, 19);
    using Look = TBitmapButton::Look;
    QBuffer normal, down, junk;
    normal.setData(png({43, 19}, Qt::gray));
    down.setData(png({43, 19}, Qt::black));
    junk.setData("not an image");
    ASSERT_TRUE(b.loadImage(Look::Normal, normal));
    ASSERT_TRUE(b.loadImage(Look::Down, down));
    const QImage kept = b.image(Look::Down);
    EXPECT_FALSE(b.loadImage(Look::Down, junk));
    EXPECT_EQ(b.image(Look::Down), kept) << "a failed load keeps the image";

    QSignalSpy clicked(&b, &QAbstractButton::clicked);
    EXPECT_EQ(b.currentLook(), Look::Normal);
    QTest::mousePress(&b, Qt::LeftButton);
    EXPECT_EQ(b.currentLook(), Look::Down);
    QTest::mouseRelease(&b, Qt::LeftButton);
    EXPECT_EQ(b.currentLook(), Look::Normal);
    EXPECT_FALSE(b.isChecked());
    EXPECT_EQ(clicked.count(), 1);
}

TEST_F(Toolkit, FloatAnimationStartsAtItsStartValueAndReportsTheEndOnce) {
    QWidget target(&host);
    target.setGeometry(7, 97, 391, 120);
    TFloatAnimation anim(&target, TFloatAnimation::Property::Height);
    anim.setDuration(0.05);
    anim.setStartValue(260);
    anim.setStopValue(0);
    QSignalSpy finished(&anim, &TFloatAnimation::finished);

    anim.start();
    EXPECT_EQ(target.height(), 260) << "begins at the start value, not the current height";
    EXPECT_TRUE(anim.isRunning());
    ASSERT_TRUE(QTest::qWaitFor([&] { return finished.count() == 1; }, 2000));
    EXPECT_EQ(target.height(), 0);
    EXPECT_EQ(target.pos(), QPoint(7, 97));
    QTest::qWait(60);
    EXPECT_EQ(finished.count(), 1);

    anim.start();
    anim.stop();
    QTest::qWait(100);
    EXPECT_EQ(finished.count(), 1) << "a stopped run reports no end";
    EXPECT_FALSE(anim.isRunning());
}

TEST_F(Toolkit, TabControlShowsOnePageAtATime) {
    TTabControl tc(&host);
    tc.setGeometry(17, 17, 356, 227);
    QSignalSpy changed(&tc, &TTabControl::tabChanged);
    for (const char* t : {"Device", "Output", "FilePath"})
        tc.addTab(QString::fromLatin1(t));
    EXPECT_EQ(tc.tabIndex(), 0);
    EXPECT_FALSE(tc.page(0)->isHidden());
    EXPECT_TRUE(tc.page(1)->isHidden());

    QTest::mouseClick(tc.item(2), Qt::LeftButton);
    EXPECT_EQ(tc.tabIndex(), 2);
    EXPECT_TRUE(tc.page(0)->isHidden());
    EXPECT_FALSE(tc.page(2)->isHidden());
    EXPECT_TRUE(tc.item(2)->isChecked());
    EXPECT_FALSE(tc.item(0)->isChecked());

    tc.setTabIndex(7);
    tc.setTabIndex(-1);
    EXPECT_EQ(tc.tabIndex(), 2) << "no such tab: nothing changes";
    EXPECT_EQ(tc.page(7), nullptr);
    ASSERT_EQ(changed.count(), 2); // the first selection and the click
    EXPECT_EQ(changed.last().at(0).toInt(), 2);
}

TEST_F(Toolkit, FittedImageKeepsItsProportionsAndAFailedLoadKeepsThePicture) {
    TImage img(&host, TImage::WrapMode::Fit);
    img.resize(55, 53);
    QBuffer wide;
    wide.setData(png({110, 53}, Qt::red)); // twice as wide as high
    ASSERT_TRUE(img.loadFromStream(wide));
    QImage shot(img.size(), QImage::Format_ARGB32);
    shot.fill(Qt::transparent);
    img.render(&shot, QPoint(), QRegion(), QWidget::DrawChildren);
    EXPECT_EQ(shot.pixelColor(27, 26), QColor(Qt::red));
    EXPECT_EQ(shot.pixelColor(0, 26), QColor(Qt::red)) << "fills the width";
    EXPECT_EQ(shot.pixelColor(27, 2).alpha(), 0) << "letterboxed above";
    EXPECT_EQ(shot.pixelColor(27, 50).alpha(), 0) << "letterboxed below";

    QBuffer junk;
    junk.setData("GIF89a broken");
    EXPECT_FALSE(img.loadFromStream(junk));
    EXPECT_EQ(img.bitmap().size(), QSize(110, 53));
}

TEST_F(Toolkit, ComboListDropsBelowWithRowsNineteenPixelsHigh) {
    host.resize(400, 300);
    TComboBox c(&host);
    c.setGeometry(96, 19, 217, 22);
    c.addItems({"WAVE", "MP3", "WMA", "OGG"});
    c.setCurrentIndex(2);
    EXPECT_EQ(c.itemHeight(), 19);
    EXPECT_FALSE(c.isEditable());
    host.show();
    c.showPopup();
    QAbstractItemView* list = c.view();
    ASSERT_TRUE(QTest::qWaitFor([&] { return list->isVisible(); }, 1000));
    const QRect row0 = list->visualRect(c.model()->index(0, 0));
    const QRect row1 = list->visualRect(c.model()->index(1, 0));
    EXPECT_EQ(row0.height(), 19);
    EXPECT_EQ(row1.top() - row0.top(), 19);
    // The first entry lies below the control, not over it at the chosen entry.
    const int listTop = list->mapToGlobal(row0.topLeft()).y();
    const int comboBottom = c.mapToGlobal(QPoint(0, c.height())).y();
    EXPECT_GE(listTop, comboBottom - 1);
    c.hidePopup();
}

} // namespace

TEST_F(Toolkit, MessageBoxesShowMarkupAsTheTextItIs) {
    const QString text = QStringLiteral("File \"/rec/<b>bold</b> &lt;x&gt;.mp3\" already exists.");
    QString shown;
    Qt::TextFormat format = Qt::AutoText;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        for (QLabel* label : box->findChildren<QLabel*>())
            if (label->text().contains("exists")) {
                shown = label->text();
                format = label->textFormat();
            }
        box->accept();
    });
    PlatformServices services = PlatformServices::desktop();
    services.messages->show(nullptr, "Notice", text, MessageIcon::Question, MessageButtons::YesNo);
    EXPECT_EQ(shown, text);
    EXPECT_EQ(format, Qt::PlainText);
}

TEST_F(Toolkit, TextBoxDropsControlCharactersAsTheyArrive) {
    TTextBox box(&host);
    box.setFocus();
    box.insert(QStringLiteral("/rec/a\x01\tb\nc"));
    EXPECT_EQ(box.text(), QStringLiteral("/rec/abc"));
    box.setCursorPosition(1);
    box.insert(QString(QChar(0xFFFF)) + QStringLiteral("x"));
    EXPECT_EQ(box.text(), QStringLiteral("/xrec/abc"));
    EXPECT_EQ(box.cursorPosition(), 2);
}
