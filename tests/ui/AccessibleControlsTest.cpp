// The hand-drawn controls as a screen reader and a keyboard see them,
// offscreen: roles, names, values and what the keys do.
#include "tests/support/QtFixture.h"
#include "ui/PlatformServices.h"
#include "ui/TBitmapButton.h"
#include "ui/TFloatTrackBar.h"
#include "ui/TTabControl.h"
#include "ui/TText.h"
#include "ui/Toolkit.h"

#include <QAccessible>
#include <QApplication>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

class AccessibleControls : public QtFixture {
protected:
    void showHost() {
        host.resize(300, 200);
        host.show();
        host.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&host));
    }
    QWidget host;
};

QAccessibleInterface* of(QObject* o) {
    return QAccessible::queryAccessibleInterface(o);
}

TEST_F(AccessibleControls, TrackBarIsASliderNamedByItsLabelWithValueRangeAndStep) {
    auto* label = new TText(&host, "Volume:", Qt::white);
    auto* bar = new TFloatTrackBar(&host, 0, 10);
    label->setBuddy(bar);
    bar->setValue(3);
    QAccessibleInterface* iface = of(bar);
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(iface->role(), QAccessible::Slider);
    EXPECT_EQ(iface->text(QAccessible::Name), "Volume:");
    const auto rel = iface->relations(QAccessible::Label);
    ASSERT_EQ(rel.size(), 1);
    EXPECT_EQ(rel.front().first->object(), label);

    QAccessibleValueInterface* value = iface->valueInterface();
    ASSERT_NE(value, nullptr);
    EXPECT_DOUBLE_EQ(value->currentValue().toDouble(), 3.0);
    EXPECT_DOUBLE_EQ(value->minimumValue().toDouble(), 0.0);
    EXPECT_DOUBLE_EQ(value->maximumValue().toDouble(), 10.0);
    EXPECT_DOUBLE_EQ(value->minimumStepSize().toDouble(), 1.0);
    EXPECT_EQ(iface->text(QAccessible::Value), "3");

    // Set by a screen reader: the program hears it as a user's move; never
    // past the range, and not while the bar is disabled.
    QSignalSpy changed(bar, &TFloatTrackBar::changed);
    value->setCurrentValue(7.5);
    EXPECT_EQ(bar->value(), 7.5f);
    EXPECT_EQ(changed.count(), 1);
    value->setCurrentValue(40.0);
    EXPECT_EQ(bar->value(), 10.0f);
    bar->setEnabled(false);
    value->setCurrentValue(2.0);
    EXPECT_EQ(bar->value(), 10.0f);
}

TEST_F(AccessibleControls, TabsArePageTabsMarkedSelectedAndPressSelects) {
    auto* tabs = new TTabControl(&host);
    tabs->setGeometry(0, 0, 280, 150);
    for (const char* name : {"Device", "Output", "About"})
        tabs->addTab(QString::fromUtf8(name));
    ASSERT_NE(of(tabs), nullptr);
    EXPECT_EQ(of(tabs)->role(), QAccessible::PageTabList);
    QAccessibleInterface* output = of(tabs->item(1));
    EXPECT_EQ(output->role(), QAccessible::PageTab);
    EXPECT_EQ(output->text(QAccessible::Name), "Output");
    EXPECT_TRUE(of(tabs->item(0))->state().selected);
    EXPECT_FALSE(output->state().selected);

    ASSERT_TRUE(output->actionInterface());
    output->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(tabs->tabIndex(), 1);
    EXPECT_TRUE(output->state().selected);
    EXPECT_FALSE(of(tabs->item(0))->state().selected);
}

TEST_F(AccessibleControls, BitmapButtonIsReachedByTabPressedBySpaceOrEnterAndRingedOnlyThen) {
    QImage face(20, 20, QImage::Format_ARGB32_Premultiplied);
    face.fill(QColor(0x50, 0x50, 0x50));
    auto* first = new TBitmapButton(&host);
    auto* button = new TBitmapButton(&host);
    for (TBitmapButton* b : {first, button}) {
        b->setImage(TBitmapButton::Look::Normal, face);
        b->resize(20, 20);
    }
    button->move(30, 0);
    button->setAccessibleName("Record");
    QSignalSpy clicks(button, &QAbstractButton::clicked);
    showHost();
    EXPECT_EQ(of(button)->role(), QAccessible::Button);
    EXPECT_EQ(of(button)->text(QAccessible::Name), "Record");

    // A click gives no focus; the focus that the window gave on showing, not
    // the keyboard, shows no ring.
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_FALSE(button->hasFocus());
    first->setFocus(Qt::ActiveWindowFocusReason);
    EXPECT_EQ(first->grab().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied), face);

    QTest::keyClick(first, Qt::Key_Tab);
    ASSERT_TRUE(button->hasFocus());
    const QImage ringed =
        button->grab().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    EXPECT_EQ(ringed.pixelColor(0, 10), toolkit::kAccent) << "the ring lies on the outline";
    EXPECT_EQ(ringed.pixelColor(10, 10), face.pixelColor(10, 10)) << "and leaves the face";

    QTest::keyClick(button, Qt::Key_Space);
    QTest::keyClick(button, Qt::Key_Return);
    QTest::keyClick(button, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(clicks.count(), 4);
}

TEST_F(AccessibleControls, MessageBoxIsAnAlertThatEscapeAnswers) {
    QAccessible::Role role = QAccessible::NoRole;
    QTimer::singleShot(0, [&] {
        QWidget* box = QApplication::activeModalWidget();
        ASSERT_NE(box, nullptr);
        role = of(box)->role();
        QTest::keyClick(box, Qt::Key_Escape);
    });
    PlatformServices services = PlatformServices::desktop();
    EXPECT_EQ(services.messages->show(nullptr, "Notice", "Overwrite?", MessageIcon::Question,
                                      MessageButtons::YesNo),
              MessageResult::No);
    EXPECT_EQ(role, QAccessible::AlertMessage);
}

} // namespace
