#pragma once
// The WAV codec encoder that a recording channel's writer thread feeds.

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
    ~CodecFileEncoder() override;

    bool write(const int16_t* samples, size_t frames) override;
    void finish() override;
    bool active() const override;

private:
    explicit CodecFileEncoder(std::unique_ptr<AudioFileWriter> writer);
    std::unique_ptr<AudioFileWriter> writer_;
    bool finished_ = false;
};

} // namespace audiolib::ffmpeg
