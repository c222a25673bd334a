#pragma once
// The remote control as the session bus sees it. Every method hands the press
// to the window's event loop and returns at once: a start that opens a modal
// dialog must not hold the caller.

#include <QDBusAbstractAdaptor>

class TfrmMain;

class RemoteControlAdaptor final : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.tovaline.Tovaline")
    Q_PROPERTY(QString State READ state)
    Q_PROPERTY(uint Elapsed READ elapsed)
public:
    explicit RemoteControlAdaptor(TfrmMain* window);

    // "idle", "recording" or "paused".
    QString state() const;
    // Seconds recorded, as the window counts them; frozen while paused.
    uint elapsed() const;

public slots:
    // As a click of the record button: start, pause or resume.
    void Record();
    // As a click of the stop button.
    void Stop();
    // Starts (or resumes) a recording that the stop button ends after that
    // many seconds.
    void RecordFor(uint seconds);

private:
    TfrmMain* window_;
};
