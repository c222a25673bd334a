#pragma once
// The one main window. One class; its methods live in one file per concern:
//   app/MainStartup.cpp        start-up and shutdown
//   app/Main*.cpp              layout, skin, panel, recording controller, naming
//   settings/MainOptions*.cpp  options pages
//   recordings/MainRecordings*.cpp  recordings page
//   hotkeys/MainHotkeys.cpp    hotkeys
// Each concern adds its members in its own section below.

#include "ui/PlatformServices.h"

#include <QStandardPaths>
#include <QWidget>
#include <memory>

class QIcon;
class QIODevice;
class QTimer;
class TBassRecorder;
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

enum TCurrentAppState {
    rsNormal,
    rsRecording,
    rsRecordPause,
    rsRecordStoped,
    rsPlayFile,
    rsPausePlay,
    rsStopPlay
};

// Flipped by every tick of TmFlash; keeps its value from one pause to the next.
extern bool FlashVisible;

class TfrmMain : public QWidget {
    Q_OBJECT
public:
    // Runs FormCreate before the window is first shown.
    explicit TfrmMain(PlatformServices services, QWidget* parent = nullptr);
    // Runs FormDestroy.
    ~TfrmMain() override;

    PlatformServices& services() { return FServices; }

    // ---- start-up and shutdown ------------------------------------------
    void FormCreate();
    void FormDestroy();

    // ---- layout, skin and panel -----------------------------------------
    // app/MainLayout.cpp, app/MainSkin.cpp, app/MainPanel.cpp
    static constexpr int kClientWidth = 434;
    static constexpr int kClientHeight = 392;
    static constexpr int kPanelOpenHeight = 260;

    // Builds every control of the window and the options pages, hidden where
    // they start hidden, with the four timers stopped. The constructor calls
    // it before FormCreate; it connects only the panel's own handlers.
    void createControls();
    // Skin images into the controls, then the run-time geometry.
    void LoadSkin();
    // The embedded skin image of that name (letter case ignored), opened for
    // reading; null when there is none.
    static std::unique_ptr<QIODevice> LoadResourceStream(const QString& Name);
    // Loads "normal" as the normal and hot image and "click" as the down image;
    // a missing image leaves that look as it was.
    static void LoadButtonSkin(TBitmapButton* button, const QString& normal, const QString& click);
    // The program's icon in 64, 48, 32, 24 and 16 pixels.
    static QIcon ProgramIcon();
    void btnListClick(QObject* Sender);
    void btnOptionsClick(QObject* Sender);
    void ShowOptionsPage(int Index);
    void faActiveFinish(QObject* Sender);
    void btnMinizeClick(QObject* Sender);
    void btnCloseClick(QObject* Sender);
    bool panelShut() const;
    // Limits the window to the pixels the top bar and the panel draw, so the
    // desktop behind the transparent rest gets the clicks there.
    void updateWindowShape();

    // Controls, owned by their Qt parents. Top bar and panel:
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

    // ---- recording controller -------------------------------------------
    // app/MainRecording.cpp, app/MainRecordingTimers.cpp
    // Ties the record and stop buttons and the two recording timers to their
    // handlers; the constructor calls it once the controls exist.
    void ConnectRecordingHandlers();
    void btnRecordClick(QObject* Sender);
    void btnRecStopClick(QObject* Sender);
    void StartRecord();
    void PauseRecord();
    void ResumeRecord();
    void StopRecord();
    void TimerTimer(QObject* Sender);
    void TmFlashTimer(QObject* Sender);
    void UpdateRecordButton(bool AsRecord);
    void SetListControlsEnabled(bool Value);
    // A close request from the platform (not the window's own close button).
    void FormClose(QObject* Sender);
    // A recording that the recorder ended by itself (encoder gone, disk full,
    // input lost) is ended here too, with a warning that says why. True when
    // that happened.
    bool EndSelfEndedRecording();
    // "hh:mm:ss" of a tick count; hours keep growing past 99.
    static QString ElapsedTimeText(int32_t Count);

    // ---- output naming ----------------------------------------------------
    // app/MainNaming.cpp; the rules are in app/OutputNaming.h.
    QString GetOutputFileExt() const;
    // Empty when the settings give no path.
    QString BuildOutputFileName() const;
    static QString MakeUniqueFileName(const QString& Path);

    // ---- options pages ------------------------------------------------------
    // settings/MainOptionLists.cpp, MainOptionHandlers.cpp, MainOptionDialogs.cpp,
    // MainHotkeyLists.cpp, MainConfig.cpp
    // Ties every option control to its change handler; before the lists are
    // filled, so loading the settings runs the handlers.
    void ConnectOptionHandlers();
    void FillOptionLists();
    void ShowFormatLayout(const QString& name);
    void UpdateNamingControls();
    void FillWmaBitrates(int32_t rate, int32_t channels);
    bool BrowseForFolder(QString& Path, const QString& Title);
    // Path is left as it was when the folder does not exist.
    void GetSpecialFolderPath(QStandardPaths::StandardLocation Folder, QString& Path);
    void LoadConfig();
    void SaveConfig();
    void cmbDeviceChange(QObject* Sender);
    void tbDevVolumeChange(QObject* Sender);
    void chkSkipsilenceChange(QObject* Sender);
    void cmbFormatChange(QObject* Sender);
    void cmbWavChannelChange(QObject* Sender);
    void cmbWavBitpersampleChange(QObject* Sender);
    void cmbWavSamplerateChange(QObject* Sender);
    void cmbMp3bitrateChange(QObject* Sender);
    void chkMp3CRCChange(QObject* Sender);
    void chkMp3VBRChange(QObject* Sender);
    void tbMp3VBRQualityChange(QObject* Sender);
    void cmbMp3ChannelChange(QObject* Sender);
    void cmbWMASamplerateChange(QObject* Sender);
    void cmbWMAChannelChange(QObject* Sender);
    void cmbWMABitrateChange(QObject* Sender);
    void tbOGGQualityChange(QObject* Sender);
    void edtSaveFolderChange(QObject* Sender);
    void btnSavefolderClick(QObject* Sender);
    void rdSpecialChange(QObject* Sender);
    void rdAutoSaveChange(QObject* Sender);
    void tbSavefileChange(QObject* Sender);
    void btnSaveFileClick(QObject* Sender);
    void cmbSamenameChange(QObject* Sender);
    void edtPrefixChange(QObject* Sender);
    void cmbPostfixChange(QObject* Sender);
    // Shared by cmbStart, cmbPause and cmbStop.
    void cmbStartChange(QObject* Sender);
    // The setting a hotkey list shows; null for any other control.
    QString* hotKeySettingOf(QObject* list);

    // ---- recordings page ------------------------------------------------------
    // recordings/MainRecordingsList.cpp: the list and the catalogue behind it.
    QString RecordFilesPath() const;
    // What follows the last '/': the text of a list entry.
    static QString FileNamePart(const QString& Path);
    // Start-up: the catalogue from recorded.xml, an empty one when there is
    // none or it cannot be read (the file is then kept as recorded.xml.bad).
    void LoadRecordFiles();
    // Writes the catalogue now; false when the file could not be replaced.
    bool SaveRecordFiles();
    // Shutdown: writes the catalogue, warning when that fails, and lets it go.
    void ReleaseRecordFiles();
    void FillFileList();
    // Appends to the catalogue and the list together, and writes the file.
    void AddRecordedFile(const QString& Path);
    void btnClearClick(QObject* Sender);

    // ---- hotkeys ----------------------------------------------------------------

    // ---- fields, in the order of ownership ------------------------------------
    std::unique_ptr<TBassRecorder> FRecUtils;
    TCurrentAppState FCurrentState = rsNormal;
    int32_t FElapsedTimeCount = 0;
    float FOldPosValue = 0.0f;

protected:
    // ---- Qt events --------------------------------------------------------------
    // Window moving (app/MainPanel.cpp): a press that no control took.
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    // Runs FormClose.
    void closeEvent(QCloseEvent* event) override;

private:
    PlatformServices FServices;
    bool FDestroyed = false;
    // Window moving by hand, where the window manager cannot do it.
    bool FDragging = false;
    QPoint FDragOffset;
    bool FCentred = false;
};
