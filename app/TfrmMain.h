#pragma once
// The one main window. One class; its controls are in app/MainControls.h and
// its methods live in one file per concern, each with its own section below
// naming the file. A concern that ties controls to handlers does so in its own
// Connect...Handlers, and ConnectHandlers (start-up) calls them all.

#include "app/MainControls.h"
#include "app/remote/RemoteTexts.h"
#include "audio/DiskSpace.h"
#include "audio/RecordControl.h"
#include "audio/TPlayState.h"
#include "hotkeys/HotkeyBackend.h"
#include "settings/OutputNaming.h"
#include "ui/PlatformServices.h"

#include <QStandardPaths>
#include <QWidget>
#include <atomic>
#include <map>
#include <memory>
#include <optional>

class QIcon;
class QIODevice;
class Result;
class QTimer;
class QAction;
class QMenu;
class QSystemTrayIcon;
class TBassPlayer;
class TBassRecorder;
namespace recordings {
class CatalogueStore;
}
class TBitmapButton;
class THotKeyManager;
class TComboBox;
struct TRecorderSettings;

// Flipped by every tick of TmFlash; keeps its value from one pause to the next.
extern bool FlashVisible;

class TfrmMain : public QWidget, public MainControls {
    Q_OBJECT
public:
    // Runs FormCreate before the window is first shown.
    explicit TfrmMain(PlatformServices services, QWidget* parent = nullptr);
    // Runs FormDestroy.
    ~TfrmMain() override;

    PlatformServices& services() { return FServices; }

    // ---- start-up and shutdown: app/MainStartup.cpp -----------------------------
    void FormCreate();
    void FormDestroy();
    // Every concern's Connect...Handlers, once the controls exist.
    void ConnectHandlers();

    // ---- layout: app/window/MainLayout.cpp (createMainControls) -----------------
    static constexpr int kClientWidth = 434;
    static constexpr int kClientHeight = 392;
    static constexpr int kPanelOpenHeight = 260;

    // ---- skin: app/window/MainSkin.cpp ------------------------------------------
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

    // ---- panel and window buttons: app/window/MainPanel.cpp ---------------------
    // The list and options buttons, the window buttons, the panel's animation
    // and the window shape.
    void ConnectPanelHandlers();
    void btnListClick(QObject* Sender);
    void btnOptionsClick(QObject* Sender);
    void ShowOptionsPage(int Index);
    void faActiveFinish(QObject* Sender);
    void btnMinizeClick(QObject* Sender);
    void btnCloseClick(QObject* Sender);
    bool panelShut() const;
    // Escape (app/window/MainKeyboard.cpp).
    void ShutPanelByKey();
    // Limits the window to the pixels the top bar and the panel draw, so the
    // desktop behind the transparent rest gets the clicks there.
    void updateWindowShape();

    // ---- recording controller: app/recording/MainRecording.cpp ------------------
    // The record and stop buttons and the two recording timers.
    void ConnectRecordingHandlers();
    void btnRecordClick(QObject* Sender);
    void btnRecStopClick(QObject* Sender);
    void StartRecord();
    void PauseRecord();
    void ResumeRecord();
    void StopRecord();
    // A close request from the platform (not the window's own close button).
    void FormClose(QObject* Sender);

    // ---- recording timers and buttons: app/recording/MainRecordingTimers.cpp ----
    void TimerTimer(QObject* Sender);
    void TmFlashTimer(QObject* Sender);
    void UpdateRecordButton(bool AsRecord);
    void SetListControlsEnabled(bool Value);
    // A recording that the recorder ended by itself (encoder gone, disk full,
    // input lost) is ended here too, with a warning that says why. True when
    // that happened.
    bool EndSelfEndedRecording();
    // Sound lost during the recording: the time display turns to a warning
    // colour while recording, and a warning after the stop says how much.
    void ShowSoundLost(bool lost);
    void TellSoundLost(double seconds);
    // A stop that did not end well (the recording had ended by itself, the
    // encoder or the file could not finish): a warning that says so.
    void TellStopFailure(const Result& stopped);
    // An encoder still finishing after the stop is watched from here until
    // its outcome is known; a bad one is told then.
    void WatchLateStops();
    void LateStopTimer();
    // A warning of the running recording, told once (a side of the mixed input lost).
    void TellRecordingWarning();
    // "hh:mm:ss" of a tick count; hours keep growing past 99.
    static QString ElapsedTimeText(int32_t Count);

    // ---- disk space while recording: app/recording/MainDiskSpace.cpp -----------
    // One reading of the recording's file system: a notice when it is short of
    // room, the recording stopped when it has none. True when it stopped.
    bool CheckDiskSpace();
    diskspace::Watch FDiskWatch;

    // ---- output naming: app/recording/MainNaming.cpp (rules in settings/OutputNaming.h) ---
    QString GetOutputFileExt() const;
    // The naming mode of the two radio buttons as they stand.
    naming::NamingMode CheckedNamingMode() const;
    // Empty when the settings give no path.
    QString BuildOutputFileName() const;
    static QString MakeUniqueFileName(const QString& Path);

    // ---- options lists and panels: app/options/MainOptionLists.cpp --------------
    void FillOptionLists();
    // Inputs come and go while the window is open: the device list follows,
    // keeping the chosen input by its server name.
    void WatchDeviceList();
    void RefreshDeviceList();
    void ShowFormatLayout(const QString& name);
    void UpdateNamingControls();
    void FillWmaBitrates(int32_t rate, int32_t channels);

    // ---- option handlers: app/options/MainOptionHandlers.cpp --------------------
    // Every option control; tied before the lists are filled, so loading the
    // settings runs the handlers.
    void ConnectOptionHandlers();
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
    void rdSpecialChange(QObject* Sender);
    void rdAutoSaveChange(QObject* Sender);
    void tbSavefileChange(QObject* Sender);
    void cmbSamenameChange(QObject* Sender);
    void edtPrefixChange(QObject* Sender);
    void cmbPostfixChange(QObject* Sender);

    // ---- option dialogs: app/options/MainOptionDialogs.cpp ----------------------
    bool BrowseForFolder(QString& Path, const QString& Title);
    // Path is left as it was when the folder does not exist.
    void GetSpecialFolderPath(QStandardPaths::StandardLocation Folder, QString& Path);
    void btnSavefolderClick(QObject* Sender);
    void btnSaveFileClick(QObject* Sender);

    // ---- config.xml: app/options/MainConfig.cpp ---------------------------------
    void LoadConfig();
    void SaveConfig();
    // Beside the executable for a portable copy, in the user's XDG config
    // folder for an installed one.
    QString ConfigPath() const;

    // ---- recordings page: app/recordings/MainRecordingsList.cpp -----------------
    // The list and the catalogue behind it; "Clear" empties both.
    void ConnectRecordingsListHandlers();
    QString RecordFilesPath() const;
    // What follows the last '/': the text of a list entry.
    static QString FileNamePart(const QString& Path);
    // Start-up: the catalogue from recorded.xml, an empty one when there is
    // none or it cannot be read (the file is then kept as recorded.xml.bad).
    void LoadRecordFiles();
    // Writes the catalogue now, merged with what another copy of the program
    // wrote meanwhile, and shows the merged list; false when the file could
    // not be replaced.
    bool SaveRecordFiles();
    // Shutdown: writes the catalogue, warning when that fails, and lets it go.
    void ReleaseRecordFiles();
    void FillFileList();
    // Appends to the catalogue and the list together, and writes the file.
    void AddRecordedFile(const QString& Path);
    void btnClearClick(QObject* Sender);
    // The catalogue path of the selected entry; empty when none is selected.
    QString GetSelectedFile() const;
    // Shows the selected (or else the first) recording in the file manager.
    void btnOpenFilePathClick(QObject* Sender);
    std::unique_ptr<recordings::CatalogueStore> FCatalogue;

    // ---- playback: app/playback/MainPlayback.cpp --------------------------------
    // The player and its panel: list clicks, play/pause, stop, the position
    // bar, the size and duration texts and the two playback timers.
    void ConnectPlaybackHandlers();
    // Start-up: the player, drawing its spectrum at imgSound's size.
    void CreatePlayer();
    // Shutdown: Uninit, clear the field, release.
    void ReleasePlayer();
    void listFilesClick(QObject* Sender);
    void listFilesDblClick(QObject* Sender);
    bool OpenPlayFile(const QString& Path);
    void PlayOrPause();
    void StopPlayback();
    void UpdatePlayButton(bool showPlay);
    void btnPlayClick(QObject* Sender);
    void btnPlayStopClick(QObject* Sender);
    void tbSoundChange(QObject* Sender);
    // The user let go of the position bar's thumb.
    void tbSoundRelease(QObject* Sender);
    void TimerPosTimer(QObject* Sender);
    void TimerRenderTimer(QObject* Sender);
    // A length counted after the open: the duration and the bar once known.
    void TimerLengthTimer(QObject* Sender);
    void ShowPlayLength();
    std::unique_ptr<TBassPlayer> FPlayer;
    TPlayState FPlayState = psNormal;

    // ---- remote control: app/remote/MainRemote.cpp -----------------------------
    // Serves the remote control on the session bus, unless another copy does.
    void ServeRemoteControl();
    // A press from outside the window (hotkey, remote control, status icon)
    // counts once start-up is done and while no modal box or dialog of the
    // program is open, as a click could happen only then.
    bool OutsidePressAllowed() const;
    void RemoteRecord();
    void RemoteStop();
    // Starts or resumes a recording that stops by itself after Seconds.
    void RecordFor(std::uint32_t Seconds);
    RemoteState CurrentRemoteState() const;
    std::uint32_t RemoteElapsed() const;
    // Ends a timed recording; any stop disarms it.
    QTimer* FTimedStop = nullptr;

    // ---- status icon: app/remote/MainStatusIcon.cpp ----------------------------
    // Shown where the desktop has a tray host: the --status words as tooltip,
    // the state on the icon, and a menu with the record, stop and show actions.
    void ShowStatusIcon();
    void UpdateStatusIcon();
    QSystemTrayIcon* FStatusIcon = nullptr;
    QMenu* FStatusMenu = nullptr;
    QAction* FStatusRecordAction = nullptr;
    QAction* FStatusStopAction = nullptr;
    std::optional<RemoteState> FStatusShown;

    // ---- hotkeys: app/hotkeys/MainHotkeys.cpp -----------------------------------
    // The manager on the backend of the platform services, bound to this window.
    void CreateHotKeyManager();
    // Its hotkeys released, the field cleared, then the manager.
    void ReleaseHotKeyManager();
    // Acts as the record or the stop button; ignored until start-up is done
    // and while a modal box or dialog of the program is open.
    void HotKeyPressed(std::uint32_t HotKey, HotKeyId Index);
    // The system took back a combination it had first accepted.
    void HotKeyRefused(std::uint32_t HotKey, HotkeyRegistration Reason);
    std::unique_ptr<THotKeyManager> FHotkeyMgr;

    // ---- hotkey lists: app/hotkeys/MainHotkeyLists.cpp --------------------------
    // Shared by cmbStart, cmbPause and cmbStop.
    void cmbStartChange(QObject* Sender);
    bool ApplyHotKey(const QString& Text);
    // The setting a hotkey list shows; null for any other control.
    QString* hotKeySettingOf(QObject* list);
    QString TRecorderSettings::*hotKeyFieldOf(QObject* list) const;
    // "None" on the list because its combination could not be had.
    void FallBackToNone(TComboBox* list);
    bool HotKeyHeldByAnAction(std::uint32_t value);
    // What config.xml is to hold: the combinations it held for the actions
    // the user has not chosen anew since, also where they fell back to "None".
    TRecorderSettings WithStoredHotKeys(TRecorderSettings settings);
    std::map<TComboBox*, QString> FStoredHotKeys;
    bool FHotKeyFallback = false;
    // "Notice": why the combination named by Text cannot be had.
    void ShowHotKeyFailure(const QString& Text, HotkeyRegistration Reason);

    // ---- fields, in the order of ownership --------------------------------------
    std::unique_ptr<TBassRecorder> FRecUtils;
    TCurrentAppState FCurrentState = rsNormal;
    int32_t FElapsedTimeCount = 0;
    QTimer* FLateStopTimer = nullptr; // made on the first late stop
    float FOldPosValue = 0.0f;

protected:
    // ---- Qt events --------------------------------------------------------------
    // Window moving and first showing (app/window/MainPanel.cpp): a press that no
    // control took.
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    // Tab skips what the shut panel or the options page hides
    // (app/window/MainKeyboard.cpp).
    bool focusNextPrevChild(bool next) override;
    // Runs FormClose (app/recording/MainRecording.cpp).
    void closeEvent(QCloseEvent* event) override;

private:
    PlatformServices FServices;
    bool FDestroyed = false;
    // FormCreate has run to its end: hotkey presses act from then on.
    bool FStartupDone = false;
    std::atomic<bool> FDeviceRefreshPending{false};
    // Window moving by hand, where the window manager cannot do it.
    bool FDragging = false;
    QPoint FDragOffset;
    bool FCentred = false;
};
