#pragma once
// The one main window. One class; its methods live in one file per concern:
//   app/MainStartup.cpp        start-up and shutdown
//   app/Main*.cpp              layout, skin, panel, recording controller, naming
//   settings/MainOptions*.cpp  options pages
//   recordings/MainRecordings*.cpp  recordings page
//   hotkeys/MainHotkeys.cpp    hotkeys
// Each concern adds its members in its own section below.

#include "ui/PlatformServices.h"

#include <QWidget>
#include <memory>

class TBassRecorder;

enum TCurrentAppState {
    rsNormal,
    rsRecording,
    rsRecordPause,
    rsRecordStoped,
    rsPlayFile,
    rsPausePlay,
    rsStopPlay
};

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

    // ---- recording controller -------------------------------------------

    // ---- output naming ----------------------------------------------------

    // ---- options pages ------------------------------------------------------

    // ---- recordings page ------------------------------------------------------

    // ---- hotkeys ----------------------------------------------------------------

    // ---- fields, in the order of ownership ------------------------------------
    std::unique_ptr<TBassRecorder> FRecUtils;
    TCurrentAppState FCurrentState = rsNormal;
    int32_t FElapsedTimeCount = 0;
    float FOldPosValue = 0.0f;

protected:
    // ---- Qt events --------------------------------------------------------------

private:
    PlatformServices FServices;
    bool FDestroyed = false;
};
