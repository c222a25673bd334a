#pragma once
// The recording engine: captures 44100 Hz 16-bit stereo from one input of the
// default recording device and writes it as WAV (through a codec the user
// picks), MP3 (lame), Ogg Vorbis (oggenc2) or WMA. Runs on the UI thread; only
// its record callback runs on the audio layer's capture thread.
//
// One recorder per process: the callback reads process-wide state.

#include "audio/RecordCommands.h"
#include "audio/RecordOutFormat.h"
#include "audio/lib/AudioLib.h"
#include "base/Result.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class TBassRecorder {
public:
    TBassRecorder();
    ~TBassRecorder();
    TBassRecorder(const TBassRecorder&) = delete;
    TBassRecorder& operator=(const TBassRecorder&) = delete;

    std::string GetLastErrorMessage() const;
    // False with error -2 when the output device is already open (the player
    // opens it first); the recording device is open by then and recording works.
    bool Init(void* h);
    void Uninit();
    int32_t GetAudioDeviceCount();
    void GetWMAbitrates(std::vector<int32_t>& list, int32_t samplerate, int32_t channel);
    void LoadDeviceName(std::vector<std::string>& list);
    // The sound system's names of the same inputs, in the same order: what
    // finds a chosen input again when the list has changed.
    void LoadDeviceIds(std::vector<std::string>& list);
    // Lists the inputs afresh; LoadDeviceName and LoadDeviceIds then give the
    // new list. A running recording keeps its input.
    void RefreshDevices();
    // `changed` runs on the audio layer's thread when inputs come or go;
    // an empty function (and Uninit) ends the calls.
    void SetDevicesChanged(std::function<void()> changed);
    // 0 on success, -1000 on failure (the recorder is then idle). A file
    // that an earlier recording's encoder is still finishing is not started
    // over; recordings of other files start at once.
    int32_t Start(TRecordOutFormat outformat, const std::string& outfile);
    void Pause();
    void Resume();
    // Ends the recording and returns within a second, whatever the encoder
    // does. A failure says, in words for the user, what became of the file:
    // why the recording had already ended by itself, or that the encoder or
    // the file could not finish (what was written is kept either way). An
    // encoder still finishing when Stop returns gives a success here and its
    // outcome through TakeLateStopResult once it is known.
    Result Stop();
    // True while a stopped recording's encoder is still finishing its file.
    bool StopPending() const;
    // The outcomes of such stops, one per stop, in the order they became
    // known; nothing while none is new.
    std::optional<Result> TakeLateStopResult();
    void SetRecordDevice(int32_t idx, int32_t volume);
    void SetWaveParameter(int8_t channel, int8_t bitPerSample, int32_t Samplerate);
    void SetMP3Parameter(int32_t bitrate, bool enCRC, bool enVBR, int8_t channel,
                         uint8_t vbrQuality);
    void SetWMAParameter(int32_t sampleRate, int32_t channel, int32_t bitrate);
    void SetOGGParameter(int32_t quality);
    // Read by the next Start: long quiet stretches are left out of its file.
    void SetSkipSilence(bool skip) { FSkipSilence = skip; }

    // True once the current recording has stopped without Stop: the encoder
    // quit, a write failed, the input vanished. Cheap enough to poll each second.
    bool RecordingEndedByItself() const;
    // Why, in words for the user; empty while the recording is fine.
    std::string RecordingEndReason() const;
    // Sound of the current recording that never reached its file (a busy
    // machine, a slow disk); 0 without a recording.
    double LostSeconds() const;
    // What the user must hear of while the recording goes on (a side of the
    // mixed input that went away), in words; each only once per recording,
    // empty when there is nothing new.
    std::string TakeRecordingWarning();

    // Where lame and oggenc2 are looked for, with a trailing '/'; the
    // executable's folder unless set (an installed copy keeps them apart).
    void SetEncoderFolder(const std::string& folder);
    const std::string& EncoderFolder() const { return FEncoderFolder; }

    // Read-only views of the state, for the window and for tests.
    audiolib::Handle RecChannel() const { return FRecChannel; }
    int32_t ErrCode() const { return FErrCode; }
    TRecordOutFormat OutFormat() const { return FOutformat; }
    const std::vector<uint8_t>& AcmWaveFormat() const { return FAcmWAVEFormat; }
    const std::string& LameCommandLine() const { return FLameCommandLine; }
    const std::string& OggCommandLine() const { return FOggCommandLine; }
    int32_t WmaSamplerate() const { return FWmaSamplerate; }
    int32_t WmaChannel() const { return FWmaChannel; }
    int32_t WmaBitrate() const { return FWmaBitrate; }
    // The name the last successful Start wrote to.
    const std::string& OutFile() const { return FOutFile; }

private:
    struct StopLog;
    struct FinishWatch;
    bool StartEncoder(const std::string& name);
    bool StartEncoderProgram(const reccmd::EncoderInvocation& run);
    void FailStart();

    audiolib::Handle FRecChannel = 0;
    uint32_t FLostPartsTold = 0;
    int32_t FErrCode = 0;
    TRecordOutFormat FOutformat = rofWAVE;
    std::vector<uint8_t> FAcmWAVEFormat; // empty: no block yet
    std::string FLameCommandLine;
    std::string FOggCommandLine;
    int32_t FWmaSamplerate = 0;
    int32_t FWmaChannel = 0;
    int32_t FWmaBitrate = 0;
    std::string FEncoderFolder;
    std::function<void()> FDevicesChanged;
    std::string FOutFile;
    // Shared with the audio layer's finish notifies, which may come from its
    // thread after a Stop, or after the recorder is gone.
    std::shared_ptr<StopLog> FStops;
    std::shared_ptr<FinishWatch> FWatch; // the current recording's
    bool FSkipSilence = false;
};
