// Start-up and shutdown of the main window. The order of both is what the
// other concerns rely on: the option lists need an initialised recorder, the
// settings need filled option lists, and both XML files are written only once
// every engine has let go of the sound system.

#include "app/CodecDialogHook.h"
#include "app/TfrmMain.h"
#include "audio/TBassPlayer.h"
#include "audio/TBassRecorder.h"
#include "hotkeys/THotKeyManager.h"
#include "recordings/CatalogueStore.h"

#include <QTimer>

TfrmMain::TfrmMain(PlatformServices services, QWidget* parent)
    : QWidget(parent), MainControls(createMainControls(*this)), FServices(std::move(services)) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Tovaline"));
    ConnectHandlers();
    FormCreate();
}

// Every handler is tied before FormCreate: loading the skin runs the panel's
// shape handler and loading the settings runs the option handlers, while
// filling the option lists runs none.
void TfrmMain::ConnectHandlers() {
    ConnectPanelHandlers();
    ConnectRecordingHandlers();
    ConnectOptionHandlers();
    ConnectRecordingsListHandlers();
    ConnectPlaybackHandlers();
}

TfrmMain::~TfrmMain() {
    FormDestroy();
}

void TfrmMain::FormCreate() {
    // 1. Recordings catalogue from "recorded.xml"; an empty one when there is
    // none or it cannot be read.
    LoadRecordFiles();

    // 2. Playback engine (player), initialised with the size of imgSound.
    CreatePlayer();

    // 3. Recording engine. Its Init result is not looked at: at start-up the
    // player already holds the output device, so Init reports -2 while the
    // recording device is open and works; a recorder without any device shows
    // up later as "no valid audio device" when a recording is attempted.
    FRecUtils = std::make_unique<TBassRecorder>();
    FRecUtils->SetEncoderFolder(FServices.programFiles().encoderFolder.toStdString());
    FRecUtils->Init(this);
    InstallCodecDialogHook(this);
    WatchDeviceList();

    // 4. Hotkey manager, owned by this window, no hotkey registered yet.
    CreateHotKeyManager();

    // 5. Skin images, run-time geometry, then the option lists, whose device
    // list comes from FRecUtils->LoadDeviceName.
    LoadSkin();

    // 6. LoadConfig: "config.xml" into the settings and the option controls.
    LoadConfig();

    // 7. One list entry per catalogue path.
    FillFileList();

    // 8.
    FCurrentState = rsNormal;

    // 9. Open the lower panel on the recordings list.
    btnListClick(this);

    // A hotkey pressed during start-up must not start a recording that
    // step 8 would then forget.
    FStartupDone = true;
}

void TfrmMain::FormDestroy() {
    if (FDestroyed)
        return;
    FDestroyed = true;

    // No timer may tick from here on: a message box below (a failed write)
    // runs the event loop, and the timers would reach released engines.
    for (QTimer* timer : {Timer, TmFlash, TimerPos, TimerRender, TimerLength})
        timer->stop();

    // 1. Player: Uninit, clear the field, release.
    ReleasePlayer();

    // 2. Recorder: Uninit (which also ends a recording the close button left
    // running), clear the field, then release the object.
    RemoveCodecDialogHook();
    if (FRecUtils) {
        FRecUtils->Uninit();
        FRecUtils.reset(); // the field is empty before the recorder goes
    }

    // 3. Hotkey manager: clear its hotkeys, clear the field, release.
    ReleaseHotKeyManager();

    // 4. SaveConfig: "config.xml".
    SaveConfig();

    // 5. The catalogue to "recorded.xml", also when there is none; then
    // clear RecordFiles and release it.
    ReleaseRecordFiles();
}
