// The whole window without a mouse, and as a screen reader sees it: the
// offscreen window on the virtual sound system, recording a tone to MP3.

#include "app/TfrmMain.h"
#include "audio/TBassPlayer.h"
#include "tests/support/TakeWindowFixture.h"
#include "ui/TBitmapButton.h"
#include "ui/TCheckBox.h"
#include "ui/TComboBox.h"
#include "ui/TFloatTrackBar.h"
#include "ui/TImage.h"
#include "ui/TListBox.h"
#include "ui/TTabControl.h"
#include "ui/TText.h"
#include "ui/TTextBox.h"
#include "ui/TTextButton.h"

#include <QAccessible>
#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

#include <vector>

namespace {

QAccessibleInterface* of(QObject* o) {
    return QAccessible::queryAccessibleInterface(o);
}

QString nameOf(QObject* o) {
    return of(o)->text(QAccessible::Name);
}

class KeyboardAccess : public TakeWindowFixture {
protected:
    void SetUp() override {
        openWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    }
    // A key as the user presses it: to whatever has the focus.
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* target = QApplication::focusWidget();
        QTest::keyClick(target ? target : w.get(), key, modifiers);
    }
    QWidget* focus() const { return QApplication::focusWidget(); }
    // Where Tab (or Shift+Tab) goes, n times from here.
    std::vector<QWidget*> tabs(int n, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        std::vector<QWidget*> seen;
        for (int i = 0; i < n; ++i) {
            press(Qt::Key_Tab, modifiers);
            seen.push_back(focus());
        }
        return seen;
    }
};

} // namespace

TEST_F(KeyboardAccess, RecordPauseStopChooseAndPlayWithTheKeyboardAlone) {
    // The window starts with the list button in focus; the record button
    // is two presses away.
    EXPECT_EQ(focus(), w->btnList);
    EXPECT_EQ(tabs(2).back(), w->btnRecord);
    press(Qt::Key_Space);
    EXPECT_EQ(w->FCurrentState, rsRecording);
    EXPECT_EQ(nameOf(w->btnRecord), "Pause");
    press(Qt::Key_Space);
    EXPECT_EQ(w->FCurrentState, rsRecordPause);
    EXPECT_EQ(nameOf(w->btnRecord), "Record");
    press(Qt::Key_Return);
    EXPECT_EQ(w->FCurrentState, rsRecording);
    press(Qt::Key_Tab);
    ASSERT_EQ(focus(), w->btnRecStop);
    press(Qt::Key_Space);
    EXPECT_EQ(w->FCurrentState, rsRecordStoped);
    ASSERT_EQ(Entries(w->listFiles), QStringList{"take.mp3"});

    // Reading order through the rest of the top bar and the recordings page,
    // round to the start; Shift+Tab walks it back.
    const std::vector<QWidget*> order = {w->btnMinize,       w->btnClose,    w->listFiles,
                                         w->tbSound,         w->btnPlayStop, w->btnPlay,
                                         w->btnOpenFilePath, w->btnClear,    w->btnList,
                                         w->btnOptions,      w->btnRecord,   w->btnRecStop};
    EXPECT_EQ(tabs(12), order);
    std::vector<QWidget*> back(order.rbegin() + 1, order.rend());
    back.push_back(w->btnRecStop);
    EXPECT_EQ(tabs(12, Qt::ShiftModifier), back);

    // Space chooses the current recording (an arrow key another), Enter plays
    // it; Space on the play button pauses.
    tabs(3);
    ASSERT_EQ(focus(), w->listFiles);
    press(Qt::Key_Space);
    EXPECT_EQ(w->listFiles->selectedRow(), 0);
    EXPECT_EQ(w->txtDuration->text(), "00:00:00") << "a recording shorter than a second";
    press(Qt::Key_Return);
    EXPECT_EQ(w->FPlayState, psPlaying);
    EXPECT_EQ(nameOf(w->btnPlay), "Pause");
    tabs(3);
    ASSERT_EQ(focus(), w->btnPlay);
    press(Qt::Key_Space);
    EXPECT_EQ(w->FPlayState, psPause);
    EXPECT_EQ(nameOf(w->btnPlay), "Play");

    // Escape shuts the panel and keeps the focus on the list button; Tab then
    // stays in the top bar.
    press(Qt::Key_Escape);
    waitForPanel();
    EXPECT_TRUE(w->panelShut());
    EXPECT_EQ(focus(), w->btnList);
    EXPECT_EQ(tabs(6).back(), w->btnList);
}

TEST_F(KeyboardAccess, OptionsPageTabsAreOneStopAndItsControlsFollowInReadingOrder) {
    tabs(1);
    ASSERT_EQ(focus(), w->btnOptions);
    press(Qt::Key_Space);
    ASSERT_FALSE(w->tcOptions->isHidden());
    // The list page lies beneath: Tab goes from the top bar to the tabs.
    EXPECT_EQ(tabs(5).back(), w->tabInput);
    EXPECT_EQ(tabs(2), (std::vector<QWidget*>{w->cmbDevice, w->tbDevVolume}));
    press(Qt::Key_Tab, Qt::ShiftModifier);
    press(Qt::Key_Tab, Qt::ShiftModifier);
    ASSERT_EQ(focus(), w->tabInput);
    press(Qt::Key_Right);
    press(Qt::Key_Right);
    EXPECT_EQ(w->tcOptions->tabIndex(), 2);
    EXPECT_EQ(tabs(1).back(), w->edtSaveFolder);

    // Escape from inside a combo box on the Output page shuts the panel.
    press(Qt::Key_Tab, Qt::ShiftModifier);
    press(Qt::Key_Left);
    EXPECT_EQ(w->tcOptions->tabIndex(), 1);
    press(Qt::Key_Tab);
    ASSERT_EQ(focus(), w->cmbFormat);
    press(Qt::Key_Escape);
    waitForPanel();
    EXPECT_TRUE(w->panelShut());
    EXPECT_EQ(focus(), w->btnOptions);
}

TEST_F(KeyboardAccess, EveryControlHasARoleAndANameAScreenReaderReads) {
    struct Expect {
        QWidget* control;
        QAccessible::Role role;
        const char* name;
    };
    ASSERT_TRUE(w->tcOptions->isHidden()) << "the recordings page shows, the options not";
    const std::vector<Expect> table = {
        {w->btnList, QAccessible::Button, "File List"},
        {w->btnRecord, QAccessible::Button, "Record"},
        {w->btnRecStop, QAccessible::Button, "Stop"},
        {w->btnClose, QAccessible::Button, "Close"},
        {w->btnPlay, QAccessible::Button, "Play"},
        {w->btnPlayStop, QAccessible::Button, "Stop"},
        {w->txtTimer, QAccessible::StaticText, "00:00:00"},
        {w->tbSound, QAccessible::Slider, "Position"},
        {w->tbDevVolume, QAccessible::Slider, "Volume:"},
        {w->tcOptions, QAccessible::PageTabList, ""},
        {w->tabInput, QAccessible::PageTab, "Device"},
        {w->chkMp3CRC, QAccessible::CheckBox, "Use CRC"},
        {w->edtSaveFolder, QAccessible::EditableText, "Save Folder:"},
        {w->listFiles, QAccessible::List, "Recordings"},
    };
    for (const Expect& e : table) {
        QAccessibleInterface* iface = of(e.control);
        ASSERT_NE(iface, nullptr) << e.name;
        EXPECT_EQ(iface->role(), e.role) << e.name;
        EXPECT_EQ(iface->text(QAccessible::Name), QString::fromUtf8(e.name));
        // Where it lies on the screen is where the layout put it.
        if (e.control->isVisible()) {
            EXPECT_EQ(iface->rect(), QRect(e.control->mapToGlobal(QPoint(0, 0)), e.control->size()))
                << e.name;
        }
    }
    // A combo box is named by its current entry; its label is the relation.
    for (auto [label, combo] : {std::pair<TText*, TComboBox*>{w->txtDevice, w->cmbDevice},
                                {w->txtFormat, w->cmbFormat},
                                {w->txtStop, w->cmbStop}}) {
        const auto labelled = of(combo)->relations(QAccessible::Label);
        ASSERT_EQ(labelled.size(), 1) << label->text().toStdString();
        EXPECT_EQ(labelled.front().first->object(), label);
        EXPECT_EQ(of(combo)->text(QAccessible::Value), combo->currentText());
    }
    EXPECT_EQ(of(w->tbDevVolume)->valueInterface()->currentValue().toDouble(),
              w->tbDevVolume->value());
}
