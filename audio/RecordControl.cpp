#include "audio/RecordControl.h"

RecordButtonAction RecordButtonActionFor(TCurrentAppState state) {
    switch (state) {
    case rsNormal:
    case rsRecordStoped:
        return RecordButtonAction::Start;
    case rsRecording:
        return RecordButtonAction::Pause;
    case rsRecordPause:
        return RecordButtonAction::Resume;
    case rsPlayFile:
    case rsPausePlay:
    case rsStopPlay:
        break;
    }
    return RecordButtonAction::None;
}

bool RecordingInProgress(TCurrentAppState state) {
    return state == rsRecording || state == rsRecordPause;
}
