#include "audio/TBassRecorder.h"

#include "audio/DiskSpace.h"
#include "audio/RecordCommands.h"
#include "audio/WaveFormatBlock.h"

#include <algorithm>
#include <climits>
#include <deque>
#include <mutex>
#include <unistd.h>

namespace {

// Every format's encoder hangs on the channel, which feeds it from its writer
// thread; the callback only decides whether capture goes on.
bool RecordProc(audiolib::Handle handle, const void*, uint32_t, void*) {
    return audiolib::encodeIsActive(handle) != 0;
}

// What the user calls the program or library that writes a format.
std::string EncoderName(TRecordOutFormat format) {
    switch (format) {
    case rofMP3:
        return "the MP3 encoder (lame)";
    case rofOGG:
        return "the Ogg Vorbis encoder (oggenc2)";
    case rofWMA:
        return "the WMA encoder";
    case rofWAVE:
        break;
    }
    return "the WAV encoder";
}

Result StopResultOf(TRecordOutFormat format, audiolib::FinishOutcome outcome) {
    switch (outcome) {
    case audiolib::FinishOutcome::Complete:
        break;
    case audiolib::FinishOutcome::EncoderUnfinished:
        return Result::failure(Fault::Unavailable,
                               "The recording was stopped, but " + EncoderName(format) +
                                   " did not complete the file. What was recorded is kept in "
                                   "the file; its end may be missing.");
    case audiolib::FinishOutcome::FileIncomplete:
        return Result::failure(Fault::Io,
                               "The recording was stopped, but its file could not be completed. "
                               "What was recorded is kept in the file; its end may be missing. "
                               "The disk may be full.");
    }
    return Result::success();
}

std::string executableFolder() {
    char path[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", path, sizeof(path) - 1);
    if (n <= 0)
        return "./";
    std::string s(path, static_cast<size_t>(n));
    size_t slash = s.rfind('/');
    return slash == std::string::npos ? std::string("./") : s.substr(0, slash + 1);
}

} // namespace

// Stops whose encoders went on finishing after Stop returned.
struct TBassRecorder::StopLog {
    std::mutex mutex;
    std::vector<std::string> finishingFiles;
    std::deque<Result> late;
};

// One recording's side of its finish notify; guarded by the log's mutex.
struct TBassRecorder::FinishWatch {
    std::shared_ptr<StopLog> log;
    TRecordOutFormat format = rofWAVE;
    std::string file;
    std::optional<audiolib::FinishOutcome> outcome;
    bool late = false; // Stop returned before the outcome came
    bool told = false; // Stop already reported why the recording ended

    void finished(audiolib::FinishOutcome result) {
        std::lock_guard lock(log->mutex);
        outcome = result;
        if (!late)
            return;
        auto& files = log->finishingFiles;
        if (auto it = std::find(files.begin(), files.end(), file); it != files.end())
            files.erase(it);
        if (!told)
            log->late.push_back(StopResultOf(format, result));
    }
};

TBassRecorder::TBassRecorder()
    : FEncoderFolder(executableFolder()), FStops(std::make_shared<StopLog>()) {}

TBassRecorder::~TBassRecorder() = default;

void TBassRecorder::SetEncoderFolder(const std::string& folder) {
    FEncoderFolder = folder;
    if (FEncoderFolder.empty() || FEncoderFolder.back() != '/')
        FEncoderFolder += '/';
}

std::string TBassRecorder::GetLastErrorMessage() const {
    return reccmd::errorMessage(FErrCode);
}

bool TBassRecorder::Init(void* h) {
    if ((audiolib::version() >> 16) != audiolib::kInterfaceVersion) {
        FErrCode = reccmd::kErrInit;
        return false;
    }
    if (!audiolib::recordInit(-1)) {
        FErrCode = reccmd::kErrInit;
        return false;
    }
    if (!audiolib::init(-1, 44100, 0, h)) {
        FErrCode = reccmd::kErrInit;
        return false;
    }
    FAcmWAVEFormat.clear();
    FRecChannel = 0;
    return true;
}

void TBassRecorder::Uninit() {
    SetDevicesChanged({});
    // A recording still running when the window closes is ended as Stop
    // would; whoever wanted its outcome has asked Stop already. recordFree
    // waits for encoders still finishing.
    static_cast<void>(Stop());
    FAcmWAVEFormat.clear();
    audiolib::recordFree();
    audiolib::free();
}

int32_t TBassRecorder::GetAudioDeviceCount() {
    int32_t n = 0;
    while (audiolib::recordGetInputName(n) != nullptr)
        ++n;
    return n;
}

void TBassRecorder::LoadDeviceName(std::vector<std::string>& list) {
    for (int n = 0;; ++n) {
        const char* name = audiolib::recordGetInputName(n);
        if (name == nullptr)
            break;
        list.emplace_back(name);
    }
}

void TBassRecorder::LoadDeviceIds(std::vector<std::string>& list) {
    for (int n = 0;; ++n) {
        const char* id = audiolib::recordGetInputId(n);
        if (id == nullptr)
            break;
        list.emplace_back(id);
    }
}

void TBassRecorder::RefreshDevices() {
    audiolib::recordRefreshInputs();
}

void TBassRecorder::SetDevicesChanged(std::function<void()> changed) {
    // Off first, so the layer's thread is out of the old function before it
    // is replaced.
    audiolib::recordSetInputsChanged(nullptr, nullptr);
    FDevicesChanged = std::move(changed);
    if (FDevicesChanged)
        audiolib::recordSetInputsChanged(
            [](void* self) { static_cast<TBassRecorder*>(self)->FDevicesChanged(); }, this);
}

void TBassRecorder::GetWMAbitrates(std::vector<int32_t>& list, int32_t samplerate,
                                   int32_t channel) {
    const uint32_t* rates = audiolib::wmaEncodeGetRates(static_cast<uint32_t>(samplerate),
                                                        static_cast<uint32_t>(channel), 0);
    if (rates == nullptr)
        return;
    for (const uint32_t* r = rates; *r != 0; ++r)
        list.push_back(static_cast<int32_t>(*r / 1000u));
}

void TBassRecorder::SetRecordDevice(int32_t idx, int32_t volume) {
    int32_t n = 0;
    while (audiolib::recordGetInputName(n) != nullptr) {
        audiolib::recordSetInput(n, audiolib::kInputOff, -1.0f);
        ++n;
    }
    if (n > 0 && idx >= 0 && idx < n) {
        audiolib::recordSetInput(idx, audiolib::kInputOn, -1.0f);
        audiolib::recordSetInput(idx, 0, static_cast<float>(volume) / 10.0f);
    }
}

void TBassRecorder::SetWaveParameter(int8_t channel, int8_t bitPerSample, int32_t Samplerate) {
    uint32_t size = audiolib::encodeGetCodecFormat(0, nullptr, 0, nullptr, 0);
    FAcmWAVEFormat.clear();
    // The dialog may write a longer codec record into the block later, so it
    // gets the size of the largest one; never less than the head itself.
    if (size < audiolib::kWaveFormatHeadSize)
        size = audiolib::kWaveFormatHeadSize;
    FAcmWAVEFormat.assign(size, 0);
    // The signed arguments are reinterpreted as the unsigned fields they fill.
    audiolib::writeWaveFormat(
        audiolib::pcmWaveFormat(static_cast<uint16_t>(static_cast<uint8_t>(channel)),
                                static_cast<uint16_t>(static_cast<uint8_t>(bitPerSample)),
                                static_cast<uint32_t>(Samplerate)),
        FAcmWAVEFormat.data(), FAcmWAVEFormat.size());
}

void TBassRecorder::SetMP3Parameter(int32_t bitrate, bool, bool enVBR, int8_t channel,
                                    uint8_t vbrQuality) {
    // lame has no switch for a CRC in its frames that we want to depend on,
    // so enCRC does not change the line.
    FLameCommandLine = reccmd::lameOptions(bitrate, enVBR, channel, vbrQuality);
}

void TBassRecorder::SetWMAParameter(int32_t sampleRate, int32_t channel, int32_t bitrate) {
    FWmaSamplerate = sampleRate;
    FWmaChannel = channel;
    FWmaBitrate = bitrate;
}

void TBassRecorder::SetOGGParameter(int32_t quality) {
    FOggCommandLine = reccmd::oggOptions(quality);
}

void TBassRecorder::FailStart() {
    audiolib::channelStop(FRecChannel);
    FRecChannel = 0;
    FErrCode = reccmd::kErrRecordFailed;
}

bool TBassRecorder::StartEncoderProgram(const reccmd::EncoderInvocation& run) {
    std::vector<const char*> args;
    for (const std::string& a : run.arguments)
        args.push_back(a.c_str());
    args.push_back(nullptr);
    return audiolib::encodeStartProgram(FRecChannel, run.program.c_str(), args.data(),
                                        audiolib::kUnicode | audiolib::kEncodeAutoFree) != 0;
}

bool TBassRecorder::StartEncoder(const std::string& name) {
    constexpr uint32_t kFileFlags = audiolib::kUnicode | audiolib::kEncodeAutoFree;
    switch (FOutformat) {
    case rofWAVE: {
        if (FAcmWAVEFormat.empty())
            return false;
        uint32_t size = audiolib::encodeGetCodecFormat(0, nullptr, 0, nullptr, 0);
        if (size > FAcmWAVEFormat.size())
            FAcmWAVEFormat.resize(size, 0);
        uint32_t got = audiolib::encodeGetCodecFormat(FRecChannel, FAcmWAVEFormat.data(),
                                                      static_cast<uint32_t>(FAcmWAVEFormat.size()),
                                                      nullptr, audiolib::kCodecDefault);
        // The error code is only looked at when the call failed: a code left
        // from an earlier call must not read as a cancel.
        if (got == 0 && audiolib::errorCode() == audiolib::kErrCancelled)
            return false;
        return audiolib::encodeStartCodecFile(FRecChannel, FAcmWAVEFormat.data(), kFileFlags,
                                              name.c_str()) != 0;
    }
    case rofMP3:
        return StartEncoderProgram(reccmd::lameInvocation(FEncoderFolder, FLameCommandLine, name));
    case rofOGG:
        return StartEncoderProgram(reccmd::oggInvocation(FEncoderFolder, FOggCommandLine, name));
    case rofWMA:
        // A file without tags, fed from the channel's writer like the others.
        return audiolib::encodeStartWmaFile(FRecChannel, static_cast<uint32_t>(FWmaSamplerate),
                                            static_cast<uint32_t>(FWmaChannel),
                                            audiolib::kWmaEncodeStandard | audiolib::kUnicode,
                                            static_cast<uint32_t>(FWmaBitrate) * 1000u,
                                            name.c_str()) != 0;
    }
    return false;
}

int32_t TBassRecorder::Start(TRecordOutFormat outformat, const std::string& outfile) {
    // A second Start over a running recording would orphan its channel.
    if (FRecChannel != 0) {
        FErrCode = reccmd::kErrRecordFailed;
        return reccmd::kErrRecordFailed;
    }
    std::string name = reccmd::adjustFileExt(outformat, outfile);
    {
        // Two writers in one file would spoil both recordings.
        std::lock_guard lock(FStops->mutex);
        const auto& busy = FStops->finishingFiles;
        if (std::find(busy.begin(), busy.end(), name) != busy.end()) {
            FErrCode = reccmd::kErrStillFinishing;
            return reccmd::kErrRecordFailed;
        }
    }
    FOutformat = outformat;

    const uint32_t flags =
        audiolib::kRecordPause | (FSkipSilence ? audiolib::kRecordSkipSilence : 0u);
    FRecChannel = audiolib::recordStart(audiolib::kCaptureRate, audiolib::kCaptureChannels, flags,
                                        RecordProc, nullptr);
    FLostPartsTold = 0;
    if (FRecChannel == 0) {
        FErrCode = reccmd::kErrRecordFailed;
        return reccmd::kErrRecordFailed;
    }
    if (!StartEncoder(name)) {
        FailStart();
        return reccmd::kErrRecordFailed;
    }
    FOutFile = name;
    FWatch = std::make_shared<FinishWatch>();
    FWatch->log = FStops;
    FWatch->format = outformat;
    FWatch->file = name;
    audiolib::encodeSetFinishNotify(
        FRecChannel, [watch = FWatch](audiolib::FinishOutcome o) { watch->finished(o); });
    audiolib::channelPlay(FRecChannel, false);
    return 0;
}

void TBassRecorder::Pause() {
    if (FRecChannel != 0)
        audiolib::channelPause(FRecChannel);
}

void TBassRecorder::Resume() {
    if (FRecChannel != 0)
        audiolib::channelPlay(FRecChannel, false);
}

Result TBassRecorder::Stop() {
    if (FRecChannel == 0)
        return Result::success();
    // Read before the stop lets the channel go, and its cause with it.
    const std::string endReason = RecordingEndReason();
    audiolib::channelStop(FRecChannel);
    FRecChannel = 0;
    const std::shared_ptr<FinishWatch> watch = std::move(FWatch);
    std::optional<audiolib::FinishOutcome> outcome;
    {
        std::lock_guard lock(FStops->mutex);
        outcome = watch->outcome;
        if (!outcome) {
            watch->late = true;
            watch->told = !endReason.empty();
            FStops->finishingFiles.push_back(watch->file);
        }
    }
    // The cause says more than how the file came out after it.
    if (!endReason.empty())
        return Result::failure(Fault::Io, endReason);
    return outcome ? StopResultOf(watch->format, *outcome) : Result::success();
}

bool TBassRecorder::StopPending() const {
    std::lock_guard lock(FStops->mutex);
    return !FStops->finishingFiles.empty() || !FStops->late.empty();
}

std::optional<Result> TBassRecorder::TakeLateStopResult() {
    std::lock_guard lock(FStops->mutex);
    if (FStops->late.empty())
        return std::nullopt;
    Result r = std::move(FStops->late.front());
    FStops->late.pop_front();
    return r;
}

double TBassRecorder::LostSeconds() const {
    if (FRecChannel == 0)
        return 0.0;
    return static_cast<double>(audiolib::channelLostFrames(FRecChannel)) / audiolib::kCaptureRate;
}

bool TBassRecorder::RecordingEndedByItself() const {
    if (FRecChannel == 0)
        return false;
    if (audiolib::channelEndCause(FRecChannel) != audiolib::EndCause::None)
        return true;
    if (audiolib::channelIsActive(FRecChannel) == audiolib::kActiveStopped)
        return true;
    // A paused channel calls no callback, so an encoder that died during a
    // pause shows only here.
    return audiolib::encodeIsActive(FRecChannel) == 0;
}

std::string TBassRecorder::TakeRecordingWarning() {
    if (FRecChannel == 0)
        return {};
    const uint32_t lost = audiolib::channelLostParts(FRecChannel);
    const uint32_t news = lost & ~FLostPartsTold;
    FLostPartsTold = lost;
    if (news & audiolib::kLostMicrophone)
        return "The microphone is no longer available: the recording goes on with the computer "
               "sound alone.";
    if (news & audiolib::kLostComputerSound)
        return "The computer sound is no longer available: the recording goes on with the "
               "microphone alone.";
    return {};
}

std::string TBassRecorder::RecordingEndReason() const {
    if (!RecordingEndedByItself())
        return {};
    if (audiolib::channelEndCause(FRecChannel) == audiolib::EndCause::ServerLost)
        return "The recording stopped: the sound server went away. What was recorded until "
               "then is kept in the file; recording works again once the sound server is back.";
    if (audiolib::channelEndCause(FRecChannel) == audiolib::EndCause::InputLost)
        return "The recording stopped: the recording input is no longer available.";
    // An encoder behind a pipe only shows that it quit; a full disk is the
    // likeliest reason, and the one the user can do something about.
    const size_t slash = FOutFile.rfind('/');
    if (diskspace::noRoomLeft(slash == std::string::npos ? std::string(".")
                                                         : FOutFile.substr(0, slash + 1)))
        return diskspace::fullMessage();
    if (FOutformat == rofMP3 || FOutformat == rofOGG)
        return "The recording stopped: " + EncoderName(FOutformat) + " quit unexpectedly.";
    // The file writers of our own fail only when the file takes no more.
    return std::string("The recording stopped: the ") + (FOutformat == rofWMA ? "WMA" : "WAV") +
           " file could not be written any further. The disk may be full.";
}
