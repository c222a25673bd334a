#pragma once
// Serves the audio layer's codec dialog with our "Sound Format" dialog, so a
// WAV recording asks the user for its codec while the layer stays free of
// widgets.

class QWidget;

// The dialog opens over parent. Replaces any hook installed before.
void InstallCodecDialogHook(QWidget* parent);
// Leaves the layer without a dialog; called before parent goes away.
void RemoveCodecDialogHook();
