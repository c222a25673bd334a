#pragma once
// One encoded audio file: takes the capture's 44100 Hz stereo 16-bit PCM,
// converts it to the encoder's rate, channel count and sample format,
// encodes it and hands the packets to a muxer. Used by the WAV codec encoder
// and the WMA encoder; not thread-safe, one thread drives it at a time (their
// writer threads, never the capture thread).
//
// While it runs the file is kept playable: every quarter second of sound the muxer's
// buffer goes to the file, a WAV header's sizes are made true for what is
// there (RIFF under 4 GiB, RF64 past it), and the data is synced to the
// disk. The trailer at the end writes the same header a file written in one
// go would have. Sizes are those of the bytes that reached the file, so a
// full disk leaves a header that matches what is on it.

#include "audio/lib/ffmpeg/CountedFile.h"
#include "audio/lib/ffmpeg/FfmpegHandles.h"
#include "audio/lib/ffmpeg/WavHeader.h"

#include "audio/lib/AudioLib.h"
#include <cstddef>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace audiolib::ffmpeg {

struct OutputSpec {
    const char* muxer = nullptr; // "wav", "asf"
    AVCodecID codec = AV_CODEC_ID_NONE;
    uint32_t rate = kCaptureRate;
    int channels = kCaptureChannels;
    int64_t bitRate = 0; // 0: the encoder's own
    int blockSize = 0;   // ADPCM block in bytes; 0: the encoder's own
    // One encoder frame of silence ahead of the sound, for codecs whose
    // decoder throws its first frame away.
    bool primingFrame = false;
    int packetBytes = 0; // the muxer's packet size; 0: its own
};

// Removes a file this layer created and could not complete. Only regular
// files: a device node given as the output (/dev/null) is never unlinked.
void removeUnfinished(const std::string& path);

class AudioFileWriter {
public:
    // Opens the encoder and creates the file; nothing is written before
    // begin(). On failure returns null and sets `error` (an audiolib::Error)
    // and leaves no file behind.
    static std::unique_ptr<AudioFileWriter> create(const std::string& path, const OutputSpec& spec,
                                                   int& error);
    // A file whose header never got written is removed; a begun one is
    // completed as far as it goes.
    ~AudioFileWriter();
    AudioFileWriter(const AudioFileWriter&) = delete;
    AudioFileWriter& operator=(const AudioFileWriter&) = delete;

    // Only before begin(); false afterwards.
    bool setTag(const char* key, const char* value);
    // Writes the container header. A failure removes the file.
    bool begin();
    bool begun() const { return begun_; }
    // Interleaved stereo frames at 44100 Hz. Begins the file if needed.
    bool write(const int16_t* samples, size_t frames);
    // Flushes the resampler and the encoder after `silence` extra frames of
    // silence at the encoder's rate, writes the trailer and closes the file.
    // True when the file is complete. Only the first call does anything.
    bool finish(size_t silence = 0);

    bool failed() const { return failed_; }
    int error() const { return error_; }
    // Frames per encoder frame at the encoder's rate (0 for PCM-like codecs).
    int encoderFrameSize() const;
    // Frames handed to the encoder so far, at its rate, padding included.
    uint64_t encodedFrames() const { return nextPts_; }

private:
    AudioFileWriter() = default;
    bool fail(int error);
    bool convert(const uint8_t* const* input, int frames);
    bool queueSilence(size_t frames);
    bool encodeQueued(bool final);
    bool send(const AVFrame* frame);
    bool ensureScratch(int frames);
    void findWavSizeFields();
    WavSizes wavSizes(uint64_t dataEnd) const;
    void dropPartialBlock();
    void makeDurable();

    std::string path_;
    // Declared before the muxer, which writes into it, so it goes last.
    std::unique_ptr<CountedFile> file_;
    OutputContextPtr output_;
    CodecContextPtr codec_;
    ResamplerPtr resampler_;
    FifoPtr fifo_;
    FramePtr frame_;
    FramePtr scratch_;
    PacketPtr packet_;
    AVStream* stream_ = nullptr;
    int chunk_ = 0; // frames per encoder call
    bool variableFrames_ = false;
    bool primingFrame_ = false;
    uint64_t nextPts_ = 0;
    // Four times a second of sound the file is made to hold, on disk, everything
    // given so far: a killed program or a power cut leaves a file that plays
    // up to about then.
    uint64_t framesSinceDurable_ = 0;
    std::optional<WavLayout> wav_; // none: not a WAV, or a header we cannot keep true
    bool begun_ = false;
    bool finished_ = false;
    bool failed_ = false;
    int error_ = 0;
};

} // namespace audiolib::ffmpeg
