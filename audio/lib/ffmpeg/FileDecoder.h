#pragma once
// Decodes one audio file into interleaved 16-bit PCM at the file's own rate.
// Mono stays mono, stereo stays stereo; more channels are mixed down to two.
// Used by one thread at a time (the playback stream's decoder thread, after
// the opening thread handed it over).

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace audiolib {

class FileDecoder {
public:
    enum class Container { Any, AsfOnly };

    // nullptr on failure, with `error` set to one of the layer's codes
    // (kErrFileOpen: missing or unreadable; kErrDecode: no audio we can decode;
    // kErrFormat: not the container that was asked for).
    static std::unique_ptr<FileDecoder> open(const std::string& path, Container container,
                                             int& error);
    ~FileDecoder();
    FileDecoder(const FileDecoder&) = delete;
    FileDecoder& operator=(const FileDecoder&) = delete;

    uint32_t rate() const;
    uint32_t channels() const;
    // Frames the whole file decodes to; read() never delivers more.
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
