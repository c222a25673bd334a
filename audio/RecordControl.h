#pragma once
// The recording's state as the window keeps it, and what the record and stop
// buttons (and the hotkeys and the remote control, which stand for them) do
// in each state.

enum TCurrentAppState {
    rsNormal,
    rsRecording,
    rsRecordPause,
    rsRecordStoped,
    rsPlayFile,
    rsPausePlay,
    rsStopPlay
};

enum class RecordButtonAction { None, Start, Pause, Resume };

// Idle or stopped: start; recording: pause; paused: resume. The playback
// values of the state are never entered and do nothing.
RecordButtonAction RecordButtonActionFor(TCurrentAppState state);

// A recording runs or is paused: what the stop button, a close and a
// recording that ended by itself act on.
bool RecordingInProgress(TCurrentAppState state);
