#pragma once
// A file encoder that a recording channel's writer thread feeds: the WAV
// codecs, and WMA. The encoding runs on that thread, so a slow disk only ever
// fills the channel's ring, where lost blocks are counted.

#include "audio/lib/Channel.h"
#include "audio/lib/WaveFormat.h"

#include <memory>
#include <string>

namespace audiolib::ffmpeg {

class AudioFileWriter;

class CodecFileEncoder final : public ChannelEncoder {
public:
    // Creates `path` as a WAV file in the block's codec. Null with `error`
    // set (kErrFormat for a block we cannot write, kErrFileOpen for a file
    // that cannot be created); no file is left behind then.
    static std::unique_ptr<CodecFileEncoder> create(const WaveFormat& format,
                                                    const std::string& path, int& error);
    // Writes the header of a created file; `tailFrames` of silence go
    // before its trailer. Null with `error` set when the header fails.
    static std::unique_ptr<CodecFileEncoder> begin(std::unique_ptr<AudioFileWriter> writer,
                                                   size_t tailFrames, int& error);
    ~CodecFileEncoder() override;

    bool write(const int16_t* samples, size_t frames) override;
    FinishOutcome finish() override;
    bool active() const override;

private:
    CodecFileEncoder(std::unique_ptr<AudioFileWriter> writer, size_t tailFrames);
    std::unique_ptr<AudioFileWriter> writer_;
    size_t tailFrames_;
    bool finished_ = false;
    FinishOutcome outcome_ = FinishOutcome::Complete;
};

// Attaches a created encoder (null: its creation failed with `error`) to a
// recording channel. A file whose encoder cannot be attached is removed: no
// file without a recording behind it. The channel's handle, or 0.
Handle attachFileEncoder(Handle channel, std::unique_ptr<CodecFileEncoder> encoder, int error,
                         const char* file);

} // namespace audiolib::ffmpeg
