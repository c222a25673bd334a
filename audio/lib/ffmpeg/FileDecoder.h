#pragma once
// Decodes one audio file into interleaved 16-bit PCM at the file's own rate.
// Mono stays mono, stereo stays stereo; more channels are mixed down to two.
// Used by one thread at a time (the playback stream's decoder thread, after
// the opening thread handed it over).

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace audiolib {

class FileDecoder {
public:
    enum class Container { Any, AsfOnly };
    // Where the container states no length (an MP3 without an info frame)
    // it must be counted packet by packet, which takes seconds for hours of
    // sound: Later leaves that to countFrames() on another thread.
    enum class Counting { Now, Later };
    static constexpr uint64_t kUnknownLength = ~uint64_t{0};

    // nullptr on failure, with `error` set to one of the layer's codes
    // (kErrFileOpen: missing or unreadable; kErrDecode: no audio we can decode;
    // kErrFormat: not the container that was asked for).
    static std::unique_ptr<FileDecoder> open(const std::string& path, Container container,
                                             int& error, Counting counting = Counting::Now);
    // The decoded length of the file's audio by counting its packets; none
    // when it cannot be read or `cancel` was set meanwhile. Any thread.
    static std::optional<uint64_t> countFrames(const std::string& path,
                                               const std::atomic<bool>& cancel);
    ~FileDecoder();
    FileDecoder(const FileDecoder&) = delete;
    FileDecoder& operator=(const FileDecoder&) = delete;

    uint32_t rate() const;
    uint32_t channels() const;
    // Frames the whole file decodes to; read() never delivers more.
    // kUnknownLength when opened with Counting::Later and the container does
    // not say: read() then goes on to the end of the stream.
    uint64_t lengthFrames() const;
    uint64_t fileSize() const;

    // The next read() starts at `frame`, sample-exact where the file's
    // timestamps allow. False when the file cannot seek there.
    bool seek(uint64_t frame);
    // Fills up to `frames` frames; fewer only at the end of the file (or on a
    // broken file, which ends it). The position read() continues from.
    size_t read(int16_t* out, size_t frames);
    uint64_t nextFrame() const;

private:
    struct Impl;
    explicit FileDecoder(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> d;
};

} // namespace audiolib
