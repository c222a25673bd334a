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

TBitmapButton* bitmapButton(QWidget* parent, int x, int y, int w, int h, const QString& hint) {
    auto* b = new TBitmapButton(parent);
    b->setGeometry(x, y, w, h);
    if (!hint.isEmpty())
        b->setToolTip(hint);
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

QTimer* stoppedTimer(QObject* owner, int ms) {
    auto* t = new QTimer(owner);
    t->setInterval(ms);
    return t;
}

} // namespace

void TfrmMain::createControls() {
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);
    setFixedSize(kClientWidth, kClientHeight);
    setFont(toolkit::font(11));
    const QIcon icon = ProgramIcon();
    setWindowIcon(icon);
    QGuiApplication::setWindowIcon(icon);

    Root = new TLayout(this);
    Root->setObjectName(QStringLiteral("Root"));
    Root->setGeometry(0, 0, kClientWidth, kClientHeight);

    // Top bar. Its image takes no presses, so they reach the window and move it.
    imgMain = new TImage(Root);
    imgMain->setGeometry(7, 9, 392, 90);
    imgMain->setHitTest(false);
    txtTimer = new TText(imgMain, QStringLiteral("00:00:00"), QColor(0xE8, 0xF4, 0xFF), 16, true);
    txtTimer->setGeometry(125, 45, 79, 21);
    txtTimer->setAlignment(Qt::AlignCenter);
    btnList = bitmapButton(imgMain, 26, 45, 43, 19, QStringLiteral("File List"));
    btnOptions = bitmapButton(imgMain, 69, 45, 43, 19, QStringLiteral("Options"));
    btnRecord = bitmapButton(imgMain, 226, 30, 45, 45, QStringLiteral("Record"));
    btnRecStop = bitmapButton(imgMain, 291, 32, 40, 40, QStringLiteral("Stop"));
    btnClose = bitmapButton(imgMain, 371, 6, 13, 15, {});
    btnMinize = bitmapButton(imgMain, 355, 6, 13, 15, {});

    // Lower panel; its image takes presses, so it is no handle for moving.
    imgPanel = new TImage(Root);
    imgPanel->setGeometry(7, 97, 391, 0);
    btnOpenFilePath = textButton(imgPanel, QStringLiteral("Browse File..."), 59, 216, 88, 17);
    txtFileSize = new TText(imgPanel, QStringLiteral("0"), Qt::white);
    txtFileSize->setGeometry(290, 155, 50, 16);
    txtDuration = new TText(imgPanel, QStringLiteral("00:00:00"), Qt::white);
    txtDuration->setGeometry(290, 132, 50, 18);
    listFiles = new TListBox(imgPanel);
    listFiles->setGeometry(20, 20, 187, 193);
    btnPlayStop = bitmapButton(imgPanel, 247, 194, 43, 19, {});
    btnPlay = bitmapButton(imgPanel, 290, 194, 43, 19, {});
    tbSound = track(imgPanel, 221, 173, 140, 0, 100);
    txtLength = new TText(imgPanel, QStringLiteral("Duration:"), Qt::white);
    txtLength->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    txtLength->setGeometry(221, 131, 57, 19);
    // "Size:" sits at (24, 20) of the "Duration:" text, below that text's own
    // 19 pixels; a Qt child would be clipped away there, so it is placed on the
    // panel at the same spot.
    txtSize = new TText(imgPanel, QStringLiteral("Size:"), Qt::white);
    txtSize->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    txtSize->setGeometry(221 + 24, 131 + 20, 34, 21);
    rcImage = new TRoundRect(imgPanel, QColor(0x23, 0x21, 0x21), 3);
    rcImage->setGeometry(256, 46, 70, 67);
    imgSound = new TImage(rcImage, TImage::WrapMode::Fit);
    imgSound->setGeometry(7, 7, 55, 53);

    tcOptions = new TTabControl(imgPanel);
    tcOptions->setGeometry(17, 17, 356, 227);
    tabInput = tcOptions->addTab(QStringLiteral("Device"));
    tabOutput = tcOptions->addTab(QStringLiteral("Output"));
    tabFile = tcOptions->addTab(QStringLiteral("FilePath"));
    tabShortcut = tcOptions->addTab(QStringLiteral("Hotkey"));
    tabAbout = tcOptions->addTab(QStringLiteral("About"));
    lyDevice = tcOptions->page(0);
    lyOutput = tcOptions->page(1);
    lyFilename = tcOptions->page(2);
    lyShortcutkey = tcOptions->page(3);
    Layout1 = tcOptions->page(4);
    tcOptions->hide();

    faActive = new TFloatAnimation(imgPanel, TFloatAnimation::Property::Height);
    faActive->setDuration(0.18);
    btnClear = textButton(imgPanel, QStringLiteral("Clear"), 149, 216, 58, 17);

    Timer = stoppedTimer(this, 1000);
    TmFlash = stoppedTimer(this, 1000);
    TimerRender = stoppedTimer(this, 33);
    TimerPos = stoppedTimer(this, 500);

    // "Device" page.
    txtDevice = label(lyDevice, QStringLiteral("Device :"), 42, 20);
    cmbDevice = combo(lyDevice, 101, 19, 227);
    txtDeviceVolume = label(lyDevice, QStringLiteral("Volume:"), 36, 45);
    tbDevVolume = track(lyDevice, 101, 51, 227, 0, 10);
    txtlowvolume = label(lyDevice, QStringLiteral("(low:0)"), 95, 66);
    txtloud = label(lyDevice, QStringLiteral("(loud:10)"), 270, 67);
    txtVolumevalue = label(lyDevice, QStringLiteral("()"), 43, 66, 40);
    chkSkipsilence = checkBox(lyDevice, 97, 103);
    chkSkipsilence->hide();
    txtSkip = label(lyDevice, QStringLiteral("Skip Silence :"), 13, 99);
    txtSkip->hide();

    // "Output" page: the format and one parameter panel per format.
    txtFormat = label(lyOutput, QStringLiteral("Format :"), 40, 20);
    cmbFormat = combo(lyOutput, 96, 19, 217);
    lyWave = new TLayout(lyOutput);
    lyMP3 = new TLayout(lyOutput);
    lyWMA = new TLayout(lyOutput);
    lyOGG = new TLayout(lyOutput);

    txtWavChannel = labelBefore(lyWave, QStringLiteral("Channel:"), 86, 10, kComboHeight);
    cmbWavChannel = combo(lyWave, 86, 10, 219);
    txtWavBitpersample =
        labelBefore(lyWave, QStringLiteral("Bit Per Sample:"), 86, 40, kComboHeight);
    cmbWavBitpersample = combo(lyWave, 86, 40, 217);
    txtWavSamplerate = labelBefore(lyWave, QStringLiteral("SimpleRate:"), 86, 70, kComboHeight);
    cmbWavSamplerate = combo(lyWave, 86, 70, 217);

    txtMp3bitrate = labelBefore(lyMP3, QStringLiteral("BitRate:"), 88, 8, kComboHeight);
    cmbMp3bitrate = combo(lyMP3, 88, 8, 217);
    txtMp3CRC = labelBefore(lyMP3, QStringLiteral("Use CRC:"), 88, 33, 19);
    chkMp3CRC = checkBox(lyMP3, 88, 33);
    txtMp3VBR = labelBefore(lyMP3, QStringLiteral("Use VBR:"), 88, 55, 19);
    chkMp3VBR = checkBox(lyMP3, 88, 55);
    txtMp3VBRQuality = labelBefore(lyMP3, QStringLiteral("VBR Quality:"), 88, 75, kTrackHeight);
    tbMp3VBRQuality = track(lyMP3, 88, 75, 217, 0, 9);
    txtMp3Poor = label(lyMP3, QStringLiteral("(0:poor)"), 85, 89);
    txtMp3Best = label(lyMP3, QStringLiteral("(9:best)"), 257, 85);
    txtMp3VBRQValue = label(lyMP3, QStringLiteral("()"), 27, 90, 40);
    txtMp3Channel = labelBefore(lyMP3, QStringLiteral("Channel:"), 88, 118, kComboHeight);
    cmbMp3Channel = combo(lyMP3, 88, 118, 217);

    txtWMASamplerate = labelBefore(lyWMA, QStringLiteral("SampleRate:"), 85, 23, kComboHeight);
    cmbWMASamplerate = combo(lyWMA, 85, 23, 222);
    txtWMAChannel = labelBefore(lyWMA, QStringLiteral("Channel:"), 85, 50, kComboHeight);
    cmbWMAChannel = combo(lyWMA, 85, 50, 222);
    txtWMABitrate = labelBefore(lyWMA, QStringLiteral("BitRate:"), 85, 79, kComboHeight);
    cmbWMABitrate = combo(lyWMA, 85, 79, 222);

    txtOGGQuality = labelBefore(lyOGG, QStringLiteral("Quality:"), 85, 13, kTrackHeight);
    tbOGGQuality = track(lyOGG, 85, 13, 218, 1, 9);
    txtOGGPoor = label(lyOGG, QStringLiteral("(1:poor)"), 85, 30);
    txtOGGBest = label(lyOGG, QStringLiteral("(9:best)"), 253, 28);
    txtOGGQValue = label(lyOGG, QStringLiteral("()"), 25, 28, 40);

    for (TLayout* ly : {lyWave, lyMP3, lyWMA, lyOGG})
        ly->setGeometry(16, 52, 323, 148);

    // "FilePath" page.
    txtSaveFolder = labelBefore(lyFilename, QStringLiteral("Save Folder:"), 94, 13, kComboHeight);
    edtSaveFolder = textBox(lyFilename, 94, 13, 219);
    btnSavefolder = textButton(lyFilename, QStringLiteral("..."), 315, 13, 29, 22);
    rdSpecial = new TRadioButton(lyFilename, QStringLiteral("Special Filename"));
    rdSpecial->setGeometry(22, 43, 120, 19);
    tbSavefile = textBox(lyFilename, 43, 66, 270);
    btnSaveFile = textButton(lyFilename, QStringLiteral("..."), 315, 66, 29, 22);
    txtSamename = labelBefore(lyFilename, QStringLiteral("On Same name:"), 113, 91, kComboHeight);
    cmbSamename = combo(lyFilename, 113, 91, 200);
    rdAutoSave = new TRadioButton(lyFilename, QStringLiteral("Auto nominate"));
    rdAutoSave->setGeometry(19, 121, 120, 19);
    txtPrefix = labelBefore(lyFilename, QStringLiteral("Prefix:"), 94, 146, kComboHeight);
    edtPrefix = textBox(lyFilename, 94, 146, 219);
    txtPostfix = labelBefore(lyFilename, QStringLiteral("Postfix:"), 94, 172, kComboHeight);
    cmbPostfix = combo(lyFilename, 94, 172, 219);

    // "Hotkey" page.
    txtStart = labelBefore(lyShortcutkey, QStringLiteral("Start:"), 93, 28, kComboHeight);
    cmbStart = combo(lyShortcutkey, 93, 28, 202);
    txtPause = labelBefore(lyShortcutkey, QStringLiteral("Pause:"), 93, 55, kComboHeight);
    cmbPause = combo(lyShortcutkey, 93, 55, 202);
    txtStop = labelBefore(lyShortcutkey, QStringLiteral("Stop:"), 93, 83, kComboHeight);
    cmbStop = combo(lyShortcutkey, 93, 83, 202);

    // "About" page.
    Label1 = new TText(Layout1, QStringLiteral("Tovaline 2.0"), toolkit::kLabel, 17, true);
    Label1->adjustSize();
    Label1->move(15, 23);

    connect(btnList, &QAbstractButton::clicked, this, [this] { btnListClick(btnList); });
    connect(btnOptions, &QAbstractButton::clicked, this, [this] { btnOptionsClick(btnOptions); });
    connect(btnMinize, &QAbstractButton::clicked, this, [this] { btnMinizeClick(btnMinize); });
    connect(btnClose, &QAbstractButton::clicked, this, [this] { btnCloseClick(btnClose); });
    for (TImage* shaped : {imgMain, imgPanel})
        connect(shaped, &TImage::geometryChanged, this, &TfrmMain::updateWindowShape);
    connect(faActive, &TFloatAnimation::finished, this, [this] { faActiveFinish(faActive); });
}
