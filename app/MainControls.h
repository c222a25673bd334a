#pragma once
// Every control of the main window, owned by its Qt parent. createMainControls
// (app/window/MainLayout.cpp) makes them and is the only code that fills this struct;
// TfrmMain inherits it, so the window's methods name the controls directly.

#include <QColor>

class QTimer;
class QWidget;
class TBitmapButton;
class TCheckBox;
class TComboBox;
class TFloatAnimation;
class TFloatTrackBar;
class TImage;
class TLayout;
class TListBox;
class TRadioButton;
class TRoundRect;
class TTabControl;
class TTabItem;
class TText;
class TTextBox;
class TTextButton;

// The elapsed-time display's colour, and its colour once sound was lost.
inline const QColor kTimerColor(0xE8, 0xF4, 0xFF);
inline const QColor kTimerLostColor(0xFF, 0xA8, 0x30);

struct MainControls {
    // Top bar and panel.
    TLayout* Root = nullptr;
    TImage* imgMain = nullptr;
    TText* txtTimer = nullptr;
    TBitmapButton* btnList = nullptr;
    TBitmapButton* btnOptions = nullptr;
    TBitmapButton* btnRecord = nullptr;
    TBitmapButton* btnRecStop = nullptr;
    TBitmapButton* btnClose = nullptr;
    TBitmapButton* btnMinize = nullptr;
    TImage* imgPanel = nullptr;
    TTextButton* btnOpenFilePath = nullptr;
    TText* txtFileSize = nullptr;
    TText* txtDuration = nullptr;
    TListBox* listFiles = nullptr;
    TBitmapButton* btnPlayStop = nullptr;
    TBitmapButton* btnPlay = nullptr;
    TFloatTrackBar* tbSound = nullptr;
    TText* txtLength = nullptr;
    TText* txtSize = nullptr;
    TRoundRect* rcImage = nullptr;
    TImage* imgSound = nullptr;
    TTabControl* tcOptions = nullptr;
    TFloatAnimation* faActive = nullptr;
    TTextButton* btnClear = nullptr;
    // Timers, all stopped at start.
    QTimer* Timer = nullptr;
    QTimer* TmFlash = nullptr;
    QTimer* TimerRender = nullptr;
    QTimer* TimerPos = nullptr;
    QTimer* TimerLength = nullptr; // while a length is being counted
    // Options tabs and their pages.
    TTabItem* tabInput = nullptr;
    TTabItem* tabOutput = nullptr;
    TTabItem* tabFile = nullptr;
    TTabItem* tabShortcut = nullptr;
    TTabItem* tabAbout = nullptr;
    TLayout* lyDevice = nullptr;
    TLayout* lyOutput = nullptr;
    TLayout* lyFilename = nullptr;
    TLayout* lyShortcutkey = nullptr;
    TLayout* Layout1 = nullptr;
    // "Device" page.
    TText* txtDevice = nullptr;
    TComboBox* cmbDevice = nullptr;
    TText* txtDeviceVolume = nullptr;
    TFloatTrackBar* tbDevVolume = nullptr;
    TText* txtlowvolume = nullptr;
    TText* txtloud = nullptr;
    TText* txtVolumevalue = nullptr;
    TText* txtSkip = nullptr;
    TCheckBox* chkSkipsilence = nullptr;
    // "Output" page.
    TText* txtFormat = nullptr;
    TComboBox* cmbFormat = nullptr;
    TLayout* lyWave = nullptr;
    TLayout* lyMP3 = nullptr;
    TLayout* lyWMA = nullptr;
    TLayout* lyOGG = nullptr;
    TText* txtWavChannel = nullptr;
    TComboBox* cmbWavChannel = nullptr;
    TText* txtWavBitpersample = nullptr;
    TComboBox* cmbWavBitpersample = nullptr;
    TText* txtWavSamplerate = nullptr;
    TComboBox* cmbWavSamplerate = nullptr;
    TText* txtMp3bitrate = nullptr;
    TComboBox* cmbMp3bitrate = nullptr;
    TText* txtMp3CRC = nullptr;
    TCheckBox* chkMp3CRC = nullptr;
    TText* txtMp3VBR = nullptr;
    TCheckBox* chkMp3VBR = nullptr;
    TText* txtMp3VBRQuality = nullptr;
    TFloatTrackBar* tbMp3VBRQuality = nullptr;
    TText* txtMp3Poor = nullptr;
    TText* txtMp3Best = nullptr;
    TText* txtMp3VBRQValue = nullptr;
    TText* txtMp3Channel = nullptr;
    TComboBox* cmbMp3Channel = nullptr;
    TText* txtWMASamplerate = nullptr;
    TComboBox* cmbWMASamplerate = nullptr;
    TText* txtWMAChannel = nullptr;
    TComboBox* cmbWMAChannel = nullptr;
    TText* txtWMABitrate = nullptr;
    TComboBox* cmbWMABitrate = nullptr;
    TText* txtOGGQuality = nullptr;
    TFloatTrackBar* tbOGGQuality = nullptr;
    TText* txtOGGPoor = nullptr;
    TText* txtOGGBest = nullptr;
    TText* txtOGGQValue = nullptr;
    // "FilePath" page.
    TText* txtSaveFolder = nullptr;
    TTextBox* edtSaveFolder = nullptr;
    TTextButton* btnSavefolder = nullptr;
    TRadioButton* rdSpecial = nullptr;
    TTextBox* tbSavefile = nullptr;
    TTextButton* btnSaveFile = nullptr;
    TText* txtSamename = nullptr;
    TComboBox* cmbSamename = nullptr;
    TRadioButton* rdAutoSave = nullptr;
    TText* txtPrefix = nullptr;
    TTextBox* edtPrefix = nullptr;
    TText* txtPostfix = nullptr;
    TComboBox* cmbPostfix = nullptr;
    // "Hotkey" page.
    TText* txtStart = nullptr;
    TComboBox* cmbStart = nullptr;
    TText* txtPause = nullptr;
    TComboBox* cmbPause = nullptr;
    TText* txtStop = nullptr;
    TComboBox* cmbStop = nullptr;
    // "About" page.
    TText* Label1 = nullptr;
};

// Builds the control tree on the window, hidden where it starts hidden, with
// the four timers stopped, and sets the window's own flags, size, font and
// icon. Connects nothing.
MainControls createMainControls(QWidget& window);
