#pragma once
// The process-wide audio library layer: capture, playback, encoders, WMA and
// FFT behind one small C-style API. Handles are uint32_t, 0 meaning none or
// failure. No exception ever leaves these functions: a failing call returns
// 0 / false / nullptr and leaves a code that audiolib::errorCode() returns
// (per calling thread, like errno).
//
// Only files under audio/lib/ include PulseAudio or FFmpeg headers.

#include <cstdint>
#include <functional>
#include <memory>

namespace audiolib {

using Handle = uint32_t;

// The interface version the engines were written against; the high 16 bits
// of version() must equal it.
constexpr uint32_t kInterfaceVersion = 0x0204;

// The one format the capture delivers and every channel carries: 16-bit
// interleaved stereo at 44100 Hz.
constexpr uint32_t kCaptureRate = 44100;
constexpr uint32_t kCaptureChannels = 2;
constexpr uint32_t kCaptureFrameBytes = kCaptureChannels * 2;

enum Error : int {
    kOk = 0,
    kErrMemory = 1,
    kErrFileOpen = 2,  // file could not be opened or created
    kErrDriver = 3,    // no sound server / device driver
    kErrHandle = 5,    // not a valid handle
    kErrFormat = 6,    // unsupported sample format or codec parameters
    kErrPosition = 7,  // position beyond the end of the stream
    kErrInit = 8,      // init has not been done
    kErrAlready = 14,  // already initialised / already in that state
    kErrNotAvail = 37, // requested data is not available
    kErrDecode = 38,   // the file holds nothing we can decode
    kErrCreate = 33,   // could not create the stream / process
    kErrDevice = 23,   // illegal device number
    kErrEnded = 45,    // the channel has ended
    kErrUnknown = -1,
    kErrCancelled = 2000, // the codec dialog was cancelled
};

int errorCode();
uint32_t version();

// ---- flags --------------------------------------------------------------
constexpr uint32_t kRecordPause = 0x8000;     // recordStart: create paused
constexpr uint32_t kInputOff = 0x10000;       // recordSetInput
constexpr uint32_t kInputOn = 0x20000;        // recordSetInput
constexpr uint32_t kCodecDefault = 1;         // encodeGetCodecFormat: preselect block
constexpr uint32_t kEncodeAutoFree = 0x40000; // encoder freed with its channel
constexpr uint32_t kUnicode = 0x80000000;     // names are UTF-8 here; accepted and ignored
constexpr uint32_t kWmaEncodeStandard = 0x2000;
// recordStart: long quiet stretches are left out of the file.
constexpr uint32_t kRecordSkipSilence = 0x4000;
constexpr uint32_t kPosByte = 0;
constexpr uint32_t kFilePosEnd = 2;
constexpr uint32_t kDataFft1024 = 0x80000002; // 512 magnitudes

// channelIsActive results
constexpr int kActiveStopped = 0;
constexpr int kActivePlaying = 1;
constexpr int kActivePaused = 3;

// ---- process state -------------------------------------------------------
// Output device. device -1 is the default. A second init is refused with
// kErrAlready (the recording engine relies on that).
bool init(int device, uint32_t freq, uint32_t flags, void* window);
// Recording device: connects to the sound server and lists its inputs.
bool recordInit(int device);
// Release every stream, channel and encoder of playback / recording.
bool free();
bool recordFree();

// ---- inputs --------------------------------------------------------------
// Name of input n (UTF-8, the source's description), nullptr after the last;
// the sound server's default input is input 0. The pointer stays valid until
// recordFree().
const char* recordGetInputName(int input);
// The sound system's own name of input n: what identifies the same input
// after the list changed, or in another run. nullptr after the last.
const char* recordGetInputId(int input);
// Lists the inputs afresh (sources come and go); every input starts switched
// off. Earlier names and ids stay valid until recordFree().
bool recordRefreshInputs();
// Called on the library's own thread, with `user`, when an input appears or
// vanishes or the default input changes; nullptr ends the calls. Once this
// returns, the previous callback runs no more. The inputs are not refreshed
// by themselves: the caller decides when (recordRefreshInputs).
using InputsChangedProc = void (*)(void* user);
void recordSetInputsChanged(InputsChangedProc proc, void* user);
// flags: kInputOff, kInputOn or 0; level 0..1 is a gain on our samples,
// a negative level keeps the current one.
bool recordSetInput(int input, uint32_t flags, float level);

// ---- recording channel ----------------------------------------------------
// Called on the library's capture thread for every block of interleaved
// 16-bit PCM. Returning false ends the recording. Must not block.
using RecordProc = bool (*)(Handle channel, const void* buffer, uint32_t length, void* user);
// Only 44100 Hz, 2 channels is supported by the capture; 16-bit samples.
Handle recordStart(uint32_t freq, uint32_t channels, uint32_t flags, RecordProc proc, void* user);

// ---- channels (recording channels and playback streams) -------------------
bool channelPlay(Handle channel, bool restart);
bool channelPause(Handle channel);
// Stops a playback stream. Ends a recording channel: capture stops and its
// handle is released at once, while its encoders finish on the channel's own
// thread. The call waits for them up to kStopWaitMs, so an ordinary stop
// returns with its files complete; an encoder that takes longer goes on in
// the background for a bounded time, is then ended, and the finish notify
// says how it came out.
bool channelStop(Handle channel);
constexpr int kStopWaitMs = 600;
int channelIsActive(Handle channel);
uint64_t channelGetLength(Handle channel, uint32_t mode); // bytes of 16-bit PCM
uint64_t channelGetPosition(Handle channel, uint32_t mode);
bool channelSetPosition(Handle channel, uint64_t pos, uint32_t mode);
double channelBytes2Seconds(Handle channel, uint64_t bytes);
// kDataFft1024: writes 512 floats of magnitudes of what is being heard.
// Returns the number of bytes written, or -1 (0xFFFFFFFF) on failure.
uint32_t channelGetData(Handle channel, void* buffer, uint32_t length);

// Why a recording channel ended by itself (callback refused a block, an
// encoder failed, the input vanished). Empty while it runs or was stopped.
enum class EndCause { None, CallbackRefused, EncoderFailed, InputLost, ServerLost };
EndCause channelEndCause(Handle channel);
// Blocks dropped because the ring between capture and writer was full, plus
// overruns the sound server reported.
uint64_t channelLostBlocks(Handle channel);
// The frames those blocks held: what the file is missing.
uint64_t channelLostFrames(Handle channel);
// The sides of the mixed input that went away while its recording goes on
// with the other: kLostMicrophone, kLostComputerSound or both.
constexpr uint32_t kLostMicrophone = 1;
constexpr uint32_t kLostComputerSound = 2;
uint32_t channelLostParts(Handle channel);

// How a recording channel's encoders came out once they were finished, the
// worst of them, from good to bad: every file complete; a file that could not
// be completed; an encoder program that failed or had to be ended. What was
// written stays either way.
enum class FinishOutcome { Complete, FileIncomplete, EncoderUnfinished };
// Called once with the outcome, on the channel's writer thread when its
// encoders are done, or at once when they already are. Set before the
// channel stops: the handle is gone afterwards.
using FinishNotify = std::function<void(FinishOutcome)>;
bool encodeSetFinishNotify(Handle channel, FinishNotify notify);

// ---- encoders -------------------------------------------------------------
// The WAVEFORMATEX block (little-endian, packed):
//   u16 wFormatTag, u16 nChannels, u32 nSamplesPerSec, u32 nAvgBytesPerSec,
//   u16 nBlockAlign, u16 wBitsPerSample, u16 cbSize, then cbSize extra bytes.
// With channel 0 and form nullptr: the size of the largest block any codec
// needs. Otherwise opens the codec dialog through the installed hook, writes
// the choice into form, and returns its size; 0 with kErrCancelled on cancel,
// kErrNotAvail when no hook is installed (form is then left as it was), and
// kErrHandle for a channel that does not exist (0 means any). The dialog
// opens on form with kCodecDefault, else on 16-bit 44100 Hz stereo PCM.
uint32_t encodeGetCodecFormat(Handle channel, void* form, uint32_t formlen, const char* title,
                              uint32_t flags);
// Writes a WAV file in the block's codec, converted from the channel's format.
Handle encodeStartCodecFile(Handle channel, const void* form, uint32_t flags, const char* file);
// Starts the program of the command line (no shell) and feeds it a WAV header
// with sizes 0xFFFFFFFF, then the channel's PCM, on its standard input.
Handle encodeStart(Handle channel, const char* cmdline, uint32_t flags, void* proc, void* user);
// The same with nothing to split or search: exactly `program`, and `args` (up
// to a null entry) each as one argument, whatever characters they hold.
Handle encodeStartProgram(Handle channel, const char* program, const char* const* args,
                          uint32_t flags);
// Non-zero while the channel's encoder is alive.
int encodeIsActive(Handle channel);

// The codec dialog: gets the preselected block (formlen bytes room), writes
// the user's choice into it and returns true, or returns false on cancel.
using CodecDialogHook = std::function<bool(void* form, uint32_t formlen, const char* title)>;
void setCodecDialogHook(CodecDialogHook hook);

// ---- WMA --------------------------------------------------------------------
// Zero-terminated list of bit/s offered for rate and channels, or nullptr.
const uint32_t* wmaEncodeGetRates(uint32_t freq, uint32_t chans, uint32_t flags);
// A WMA file without tags fed by the channel's writer thread, like the other
// encoders of a channel: a writer that falls behind costs blocks, which the
// channel counts, never the recording. Finished when the channel stops.
Handle encodeStartWmaFile(Handle channel, uint32_t freq, uint32_t chans, uint32_t flags,
                          uint32_t bitrate, const char* file);
// A stand-alone encoder, fed by the caller through wmaEncodeWrite.
Handle wmaEncodeOpenFile(uint32_t freq, uint32_t chans, uint32_t flags, uint32_t bitrate,
                         const char* file);
// A null tag ends the tag phase; so does the first wmaEncodeWrite. Tags are
// UTF-8 text (form bit 0x100, binary, is refused) and are refused with
// kErrNotAvail once the tag phase has ended.
bool wmaEncodeSetTag(Handle encoder, const char* tag, const char* text, int form);
// Takes 44100 Hz stereo 16-bit PCM (the capture format) and converts it to the
// encoder's rate and channels. Safe to call from the capture thread: it never
// blocks or allocates; false when the encoder has failed or its queue is full.
bool wmaEncodeWrite(Handle encoder, const void* buffer, uint32_t length);
// Finishes the file without losing its tail; the file is complete when it
// returns. A second close of the same handle fails with kErrHandle.
// Encoders still open at exit are closed then; free() leaves them alone.
bool wmaEncodeClose(Handle encoder);

// ---- playback streams -------------------------------------------------------
Handle streamCreateFile(bool mem, const char* file, uint64_t offset, uint64_t length,
                        uint32_t flags);
Handle wmaStreamCreateFile(bool mem, const char* file, uint64_t offset, uint64_t length,
                           uint32_t flags);
bool streamFree(Handle stream);
uint64_t streamGetFilePosition(Handle stream, uint32_t mode);

// ---- backends -----------------------------------------------------------------
// The real backend talks to the sound server; tests install the virtual one
// (audio/lib/virtual/VirtualBackend.h) before init / recordInit.
class Backend;
void installBackend(std::unique_ptr<Backend> backend);

} // namespace audiolib
