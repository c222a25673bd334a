// The control tree of the main window: kinds, parents, places, texts and
// hints. Children are created in drawing order, later ones on top.

#include "app/TfrmMain.h"

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
#include "ui/Toolkit.h"

#include <QGuiApplication>
#include <QIcon>
#include <QTimer>

#include <utility>

namespace {

constexpr int kComboHeight = 22;
constexpr int kTrackHeight = 15;
constexpr int kLabelGap = 6;

// A label whose size comes from its text, at the given place.
TText* label(QWidget* parent, const QString& text, int x, int y, int width = -1) {
    auto* t = new TText(parent, text, toolkit::kLabel);
    t->adjustSize();
    if (width > 0)
        t->resize(width, t->height());
    t->move(x, y);
    return t;
}

// A label standing left of the control at (controlX, y) with that height,
// its text ending a few pixels before the control.
TText* labelBefore(QWidget* parent, const QString& text, int controlX, int y, int height) {
    auto* t = new TText(parent, text, toolkit::kLabel);
    t->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    t->setGeometry(0, y, controlX - kLabelGap, height);
    return t;
}

TComboBox* combo(QWidget* parent, int x, int y, int width) {
    auto* c = new TComboBox(parent);
    c->setGeometry(x, y, width, kComboHeight);
    return c;
}

TFloatTrackBar* track(QWidget* parent, int x, int y, int width, float min, float max) {
    auto* t = new TFloatTrackBar(parent, min, max);
    t->setGeometry(x, y, width, kTrackHeight);
    return t;
}

// A picture button, named for screen readers by what it does.
TBitmapButton* bitmapButton(QWidget* parent, int x, int y, int w, int h, const QString& hint,
                            const QString& name) {
    auto* b = new TBitmapButton(parent);
    b->setGeometry(x, y, w, h);
    if (!hint.isEmpty())
        b->setToolTip(hint);
    b->setAccessibleName(name);
    return b;
}

TCheckBox* checkBox(QWidget* parent, int x, int y) {
    auto* c = new TCheckBox(parent);
    c->setGeometry(x, y, 20, 19);
    return c;
}

TTextBox* textBox(QWidget* parent, int x, int y, int width) {
    auto* t = new TTextBox(parent);
    t->setGeometry(x, y, width, kComboHeight);
    return t;
}

TTextButton* textButton(QWidget* parent, const QString& text, int x, int y, int w, int h) {
    auto* b = new TTextButton(parent, text);
    b->setGeometry(x, y, w, h);
    return b;
}

// The label is what a screen reader calls the control: a labelled-by
// relation for all, and the name as well for a check box, whose own caption
// is empty and which Qt names from that caption alone.
void labels(TText* label, QWidget* control) {
    label->setBuddy(control);
    if (qobject_cast<TCheckBox*>(control))
        control->setAccessibleName(label->text().remove(QLatin1Char(':')).trimmed());
}

// Tab goes through the controls in this order (the focus chain of the window
// as a whole, so each page's controls follow the page's tabs).
void setTabOrder(std::initializer_list<QWidget*> order) {
    QWidget* const* it = order.begin();
    for (++it; it != order.end(); ++it)
        QWidget::setTabOrder(*(it - 1), *it);
}

void describeControls(const MainControls& c) {
    // Reading order: the top bar from the left, then the recordings page
    // from the top, then the options' tabs and each page from the top.
    setTabOrder({c.btnList,
                 c.btnOptions,
                 c.btnRecord,
                 c.btnRecStop,
                 c.btnMinize,
                 c.btnClose,
                 c.listFiles,
                 c.tbSound,
                 c.btnPlayStop,
                 c.btnPlay,
                 c.btnOpenFilePath,
                 c.btnClear,
                 c.tabInput,
                 c.tabOutput,
                 c.tabFile,
                 c.tabShortcut,
                 c.tabAbout,
                 c.cmbDevice,
                 c.tbDevVolume,
                 c.chkSkipsilence,
                 c.cmbFormat,
                 c.cmbWavChannel,
                 c.cmbWavBitpersample,
                 c.cmbWavSamplerate,
                 c.cmbMp3bitrate,
                 c.chkMp3CRC,
                 c.chkMp3VBR,
                 c.tbMp3VBRQuality,
                 c.cmbMp3Channel,
                 c.cmbWMASamplerate,
                 c.cmbWMAChannel,
                 c.cmbWMABitrate,
                 c.tbOGGQuality,
                 c.edtSaveFolder,
                 c.btnSavefolder,
                 c.rdSpecial,
                 c.tbSavefile,
                 c.btnSaveFile,
                 c.cmbSamename,
                 c.rdAutoSave,
                 c.edtPrefix,
                 c.cmbPostfix,
                 c.cmbStart,
                 c.cmbPause,
                 c.cmbStop});

    const std::pair<TText*, QWidget*> pairs[] = {
        {c.txtLength, c.txtDuration},
        {c.txtSize, c.txtFileSize},
        {c.txtDevice, c.cmbDevice},
        {c.txtDeviceVolume, c.tbDevVolume},
        {c.txtSkip, c.chkSkipsilence},
        {c.txtFormat, c.cmbFormat},
        {c.txtWavChannel, c.cmbWavChannel},
        {c.txtWavBitpersample, c.cmbWavBitpersample},
        {c.txtWavSamplerate, c.cmbWavSamplerate},
        {c.txtMp3bitrate, c.cmbMp3bitrate},
        {c.txtMp3CRC, c.chkMp3CRC},
        {c.txtMp3VBR, c.chkMp3VBR},
        {c.txtMp3VBRQuality, c.tbMp3VBRQuality},
        {c.txtMp3Channel, c.cmbMp3Channel},
        {c.txtWMASamplerate, c.cmbWMASamplerate},
        {c.txtWMAChannel, c.cmbWMAChannel},
        {c.txtWMABitrate, c.cmbWMABitrate},
        {c.txtOGGQuality, c.tbOGGQuality},
        {c.txtSaveFolder, c.edtSaveFolder},
        {c.txtSamename, c.cmbSamename},
        {c.txtPrefix, c.edtPrefix},
        {c.txtPostfix, c.cmbPostfix},
        {c.txtStart, c.cmbStart},
        {c.txtPause, c.cmbPause},
        {c.txtStop, c.cmbStop},
    };
    for (const auto& [label, control] : pairs)
        labels(label, control);
    // Controls without a label of their own, named by what they hold or do.
    c.txtTimer->setAccessibleDescription(QStringLiteral("Elapsed time"));
    c.listFiles->setAccessibleName(QStringLiteral("Recordings"));
    c.tbSound->setAccessibleName(QStringLiteral("Position"));
    c.tbSavefile->setAccessibleName(c.rdSpecial->text());
    c.btnSavefolder->setAccessibleName(QStringLiteral("Choose Save Folder"));
    c.btnSaveFile->setAccessibleName(QStringLiteral("Choose File Name"));
}

QTimer* stoppedTimer(QObject* owner, int ms) {
    auto* t = new QTimer(owner);
    t->setInterval(ms);
    return t;
}

} // namespace

MainControls createMainControls(QWidget& window) {
    MainControls c;
    window.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    window.setAttribute(Qt::WA_TranslucentBackground);
    window.setFixedSize(TfrmMain::kClientWidth, TfrmMain::kClientHeight);
    window.setFont(toolkit::font(11));
    const QIcon icon = TfrmMain::ProgramIcon();
    window.setWindowIcon(icon);
    QGuiApplication::setWindowIcon(icon);

    c.Root = new TLayout(&window);
    c.Root->setObjectName(QStringLiteral("Root"));
    c.Root->setGeometry(0, 0, TfrmMain::kClientWidth, TfrmMain::kClientHeight);

    // Top bar. Its image takes no presses, so they reach the window and move it.
    c.imgMain = new TImage(c.Root);
    c.imgMain->setGeometry(7, 9, 392, 90);
    c.imgMain->setHitTest(false);
    c.txtTimer = new TText(c.imgMain, QStringLiteral("00:00:00"), kTimerColor, 16, true);
    c.txtTimer->setGeometry(125, 45, 79, 21);
    c.txtTimer->setAlignment(Qt::AlignCenter);
    c.btnList = bitmapButton(c.imgMain, 26, 45, 43, 19, QStringLiteral("File List"),
                             QStringLiteral("File List"));
    c.btnOptions = bitmapButton(c.imgMain, 69, 45, 43, 19, QStringLiteral("Options"),
                                QStringLiteral("Options"));
    c.btnRecord = bitmapButton(c.imgMain, 226, 30, 45, 45, QStringLiteral("Record"),
                               QStringLiteral("Record"));
    c.btnRecStop =
        bitmapButton(c.imgMain, 291, 32, 40, 40, QStringLiteral("Stop"), QStringLiteral("Stop"));
    c.btnClose = bitmapButton(c.imgMain, 371, 6, 13, 15, {}, QStringLiteral("Close"));
    c.btnMinize = bitmapButton(c.imgMain, 355, 6, 13, 15, {}, QStringLiteral("Minimize"));

    // Lower panel; its image takes presses, so it is no handle for moving.
    c.imgPanel = new TImage(c.Root);
    c.imgPanel->setGeometry(7, 97, 391, 0);
    c.btnOpenFilePath = textButton(c.imgPanel, QStringLiteral("Browse File..."), 59, 216, 88, 17);
    c.txtFileSize = new TText(c.imgPanel, QStringLiteral("0"), Qt::white);
    c.txtFileSize->setGeometry(290, 155, 50, 16);
    c.txtDuration = new TText(c.imgPanel, QStringLiteral("00:00:00"), Qt::white);
    c.txtDuration->setGeometry(290, 132, 50, 18);
    c.listFiles = new TListBox(c.imgPanel);
    c.listFiles->setGeometry(20, 20, 187, 193);
    c.btnPlayStop = bitmapButton(c.imgPanel, 247, 194, 43, 19, {}, QStringLiteral("Stop"));
    c.btnPlay = bitmapButton(c.imgPanel, 290, 194, 43, 19, {}, QStringLiteral("Play"));
    c.tbSound = track(c.imgPanel, 221, 173, 140, 0, 100);
    c.txtLength = new TText(c.imgPanel, QStringLiteral("Duration:"), Qt::white);
    c.txtLength->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    c.txtLength->setGeometry(221, 131, 57, 19);
    // "Size:" sits at (24, 20) of the "Duration:" text, below that text's own
    // 19 pixels; a Qt child would be clipped away there, so it is placed on the
    // panel at the same spot.
    c.txtSize = new TText(c.imgPanel, QStringLiteral("Size:"), Qt::white);
    c.txtSize->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    c.txtSize->setGeometry(221 + 24, 131 + 20, 34, 21);
    c.rcImage = new TRoundRect(c.imgPanel, QColor(0x23, 0x21, 0x21), 3);
    c.rcImage->setGeometry(256, 46, 70, 67);
    c.imgSound = new TImage(c.rcImage, TImage::WrapMode::Fit);
    c.imgSound->setGeometry(7, 7, 55, 53);

    c.tcOptions = new TTabControl(c.imgPanel);
    c.tcOptions->setGeometry(17, 17, 356, 227);
    c.tabInput = c.tcOptions->addTab(QStringLiteral("Device"));
    c.tabOutput = c.tcOptions->addTab(QStringLiteral("Output"));
    c.tabFile = c.tcOptions->addTab(QStringLiteral("FilePath"));
    c.tabShortcut = c.tcOptions->addTab(QStringLiteral("Hotkey"));
    c.tabAbout = c.tcOptions->addTab(QStringLiteral("About"));
    c.lyDevice = c.tcOptions->page(0);
    c.lyOutput = c.tcOptions->page(1);
    c.lyFilename = c.tcOptions->page(2);
    c.lyShortcutkey = c.tcOptions->page(3);
    c.Layout1 = c.tcOptions->page(4);
    c.tcOptions->hide();

    c.faActive = new TFloatAnimation(c.imgPanel, TFloatAnimation::Property::Height);
    c.faActive->setDuration(0.18);
    c.btnClear = textButton(c.imgPanel, QStringLiteral("Clear"), 149, 216, 58, 17);

    c.Timer = stoppedTimer(&window, 1000);
    c.TmFlash = stoppedTimer(&window, 1000);
    c.TimerRender = stoppedTimer(&window, 33);
    c.TimerPos = stoppedTimer(&window, 500);
    c.TimerLength = stoppedTimer(&window, 50);

    // "Device" page.
    c.txtDevice = label(c.lyDevice, QStringLiteral("Device :"), 42, 20);
    c.cmbDevice = combo(c.lyDevice, 101, 19, 227);
    c.txtDeviceVolume = label(c.lyDevice, QStringLiteral("Volume:"), 36, 45);
    c.tbDevVolume = track(c.lyDevice, 101, 51, 227, 0, 10);
    c.txtlowvolume = label(c.lyDevice, QStringLiteral("(low:0)"), 95, 66);
    c.txtloud = label(c.lyDevice, QStringLiteral("(loud:10)"), 270, 67);
    c.txtVolumevalue = label(c.lyDevice, QStringLiteral("()"), 43, 66, 40);
    c.chkSkipsilence = checkBox(c.lyDevice, 97, 103);
    c.txtSkip = label(c.lyDevice, QStringLiteral("Skip Silence :"), 13, 99);

    // "Output" page: the format and one parameter panel per format.
    c.txtFormat = label(c.lyOutput, QStringLiteral("Format :"), 40, 20);
    c.cmbFormat = combo(c.lyOutput, 96, 19, 217);
    c.lyWave = new TLayout(c.lyOutput);
    c.lyMP3 = new TLayout(c.lyOutput);
    c.lyWMA = new TLayout(c.lyOutput);
    c.lyOGG = new TLayout(c.lyOutput);

    c.txtWavChannel = labelBefore(c.lyWave, QStringLiteral("Channel:"), 86, 10, kComboHeight);
    c.cmbWavChannel = combo(c.lyWave, 86, 10, 219);
    c.txtWavBitpersample =
        labelBefore(c.lyWave, QStringLiteral("Bit Per Sample:"), 86, 40, kComboHeight);
    c.cmbWavBitpersample = combo(c.lyWave, 86, 40, 217);
    c.txtWavSamplerate = labelBefore(c.lyWave, QStringLiteral("SimpleRate:"), 86, 70, kComboHeight);
    c.cmbWavSamplerate = combo(c.lyWave, 86, 70, 217);

    c.txtMp3bitrate = labelBefore(c.lyMP3, QStringLiteral("BitRate:"), 88, 8, kComboHeight);
    c.cmbMp3bitrate = combo(c.lyMP3, 88, 8, 217);
    c.txtMp3CRC = labelBefore(c.lyMP3, QStringLiteral("Use CRC:"), 88, 33, 19);
    c.chkMp3CRC = checkBox(c.lyMP3, 88, 33);
    c.txtMp3VBR = labelBefore(c.lyMP3, QStringLiteral("Use VBR:"), 88, 55, 19);
    c.chkMp3VBR = checkBox(c.lyMP3, 88, 55);
    c.txtMp3VBRQuality = labelBefore(c.lyMP3, QStringLiteral("VBR Quality:"), 88, 75, kTrackHeight);
    c.tbMp3VBRQuality = track(c.lyMP3, 88, 75, 217, 0, 9);
    c.txtMp3Poor = label(c.lyMP3, QStringLiteral("(0:poor)"), 85, 89);
    c.txtMp3Best = label(c.lyMP3, QStringLiteral("(9:best)"), 257, 85);
    c.txtMp3VBRQValue = label(c.lyMP3, QStringLiteral("()"), 27, 90, 40);
    c.txtMp3Channel = labelBefore(c.lyMP3, QStringLiteral("Channel:"), 88, 118, kComboHeight);
    c.cmbMp3Channel = combo(c.lyMP3, 88, 118, 217);

    c.txtWMASamplerate = labelBefore(c.lyWMA, QStringLiteral("SampleRate:"), 85, 23, kComboHeight);
    c.cmbWMASamplerate = combo(c.lyWMA, 85, 23, 222);
    c.txtWMAChannel = labelBefore(c.lyWMA, QStringLiteral("Channel:"), 85, 50, kComboHeight);
    c.cmbWMAChannel = combo(c.lyWMA, 85, 50, 222);
    c.txtWMABitrate = labelBefore(c.lyWMA, QStringLiteral("BitRate:"), 85, 79, kComboHeight);
    c.cmbWMABitrate = combo(c.lyWMA, 85, 79, 222);

    c.txtOGGQuality = labelBefore(c.lyOGG, QStringLiteral("Quality:"), 85, 13, kTrackHeight);
    c.tbOGGQuality = track(c.lyOGG, 85, 13, 218, 1, 9);
    c.txtOGGPoor = label(c.lyOGG, QStringLiteral("(1:poor)"), 85, 30);
    c.txtOGGBest = label(c.lyOGG, QStringLiteral("(9:best)"), 253, 28);
    c.txtOGGQValue = label(c.lyOGG, QStringLiteral("()"), 25, 28, 40);

    for (TLayout* ly : {c.lyWave, c.lyMP3, c.lyWMA, c.lyOGG})
        ly->setGeometry(16, 52, 323, 148);

    // "FilePath" page.
    c.txtSaveFolder =
        labelBefore(c.lyFilename, QStringLiteral("Save Folder:"), 94, 13, kComboHeight);
    c.edtSaveFolder = textBox(c.lyFilename, 94, 13, 219);
    c.btnSavefolder = textButton(c.lyFilename, QStringLiteral("..."), 315, 13, 29, 22);
    c.rdSpecial = new TRadioButton(c.lyFilename, QStringLiteral("Special Filename"));
    c.rdSpecial->setGeometry(22, 43, 120, 19);
    c.tbSavefile = textBox(c.lyFilename, 43, 66, 270);
    c.btnSaveFile = textButton(c.lyFilename, QStringLiteral("..."), 315, 66, 29, 22);
    c.txtSamename =
        labelBefore(c.lyFilename, QStringLiteral("On Same name:"), 113, 91, kComboHeight);
    c.cmbSamename = combo(c.lyFilename, 113, 91, 200);
    c.rdAutoSave = new TRadioButton(c.lyFilename, QStringLiteral("Auto nominate"));
    c.rdAutoSave->setGeometry(19, 121, 120, 19);
    c.txtPrefix = labelBefore(c.lyFilename, QStringLiteral("Prefix:"), 94, 146, kComboHeight);
    c.edtPrefix = textBox(c.lyFilename, 94, 146, 219);
    c.txtPostfix = labelBefore(c.lyFilename, QStringLiteral("Postfix:"), 94, 172, kComboHeight);
    c.cmbPostfix = combo(c.lyFilename, 94, 172, 219);

    // "Hotkey" page.
    c.txtStart = labelBefore(c.lyShortcutkey, QStringLiteral("Start:"), 93, 28, kComboHeight);
    c.cmbStart = combo(c.lyShortcutkey, 93, 28, 202);
    c.txtPause = labelBefore(c.lyShortcutkey, QStringLiteral("Pause:"), 93, 55, kComboHeight);
    c.cmbPause = combo(c.lyShortcutkey, 93, 55, 202);
    c.txtStop = labelBefore(c.lyShortcutkey, QStringLiteral("Stop:"), 93, 83, kComboHeight);
    c.cmbStop = combo(c.lyShortcutkey, 93, 83, 202);

    // "About" page.
    c.Label1 = new TText(c.Layout1, QStringLiteral("Tovaline 2.0"), toolkit::kLabel, 17, true);
    c.Label1->adjustSize();
    c.Label1->move(15, 23);
    describeControls(c);
    return c;
}
