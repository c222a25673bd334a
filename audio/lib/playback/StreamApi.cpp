// streamCreateFile / wmaStreamCreateFile / streamFree / streamGetFilePosition:
// a playing file behind a handle.
#include "audio/lib/AudioLib.h"
#include "audio/lib/Backend.h"
#include "audio/lib/Channel.h"
#include "audio/lib/playback/DecodedFilePlayer.h"

namespace audiolib {

namespace {

class PlaybackChannel final : public Channel {
public:
    explicit PlaybackChannel(std::unique_ptr<DecodedFilePlayer> player)
        : player_(std::move(player)) {}

    bool play(bool restart) override { return report(player_->play(restart)); }
    bool pause() override { return report(player_->pause()); }
    bool stop() override { return report(player_->stop()); }
    int isActive() const override { return player_->activity(); }
    uint64_t length() const override { return player_->lengthBytes(); }
    uint64_t position() const override { return player_->positionBytes(); }
    bool setPosition(uint64_t bytes) override { return report(player_->setPositionBytes(bytes)); }
    double bytesToSeconds(uint64_t bytes) const override { return player_->bytesToSeconds(bytes); }

    uint32_t getData(void* buffer, uint32_t length) override {
        if (length != kDataFft1024)
            return fail(kErrNotAvail, ~uint32_t{0});
        player_->spectrum(static_cast<float*>(buffer));
        return static_cast<uint32_t>(Spectrum1024::kBins * sizeof(float));
    }

    uint64_t filePosition(uint32_t mode) const override {
        if (mode != kFilePosEnd)
            return fail(kErrNotAvail, ~uint64_t{0});
        return player_->fileSize();
    }

private:
    bool report(bool ok) const { return ok ? true : fail(player_->lastError(), false); }

    std::unique_ptr<DecodedFilePlayer> player_;
};

Handle createStream(bool mem, const char* file, uint64_t offset, uint64_t length,
                    FileDecoder::Container container) {
    // Streams are made from whole files on disk only; nothing here reads
    // from memory or a section of a file.
    if (mem || offset != 0 || length != 0)
        return fail(kErrNotAvail, Handle{0});
    if (file == nullptr || *file == '\0')
        return fail(kErrFileOpen, Handle{0});
    Backend* backend = activeBackend();
    if (backend == nullptr)
        return fail(kErrInit, Handle{0});
    int error = kOk;
    std::unique_ptr<DecodedFilePlayer> player = DecodedFilePlayer::open(
        file, container,
        [backend](StreamFormat format, PlaybackSource& source) {
            return backend->openPlayback(format, source);
        },
        error);
    if (!player)
        return fail(error, Handle{0});
    const Handle handle = registerChannel(std::make_shared<PlaybackChannel>(std::move(player)));
    if (handle == 0)
        return fail(kErrMemory, Handle{0});
    setError(kOk);
    return handle;
}

bool isStream(const std::shared_ptr<Channel>& channel) {
    return dynamic_cast<const PlaybackChannel*>(channel.get()) != nullptr;
}

} // namespace

Handle streamCreateFile(bool mem, const char* file, uint64_t offset, uint64_t length, uint32_t) {
    return createStream(mem, file, offset, length, FileDecoder::Container::Any);
}

Handle wmaStreamCreateFile(bool mem, const char* file, uint64_t offset, uint64_t length, uint32_t) {
    return createStream(mem, file, offset, length, FileDecoder::Container::AsfOnly);
}

bool streamFree(Handle stream) {
    if (!isStream(findChannel(stream)))
        return fail(kErrHandle, false);
    unregisterChannel(stream);
    setError(kOk);
    return true;
}

uint64_t streamGetFilePosition(Handle stream, uint32_t mode) {
    std::shared_ptr<Channel> channel = findChannel(stream);
    if (!isStream(channel))
        return fail(kErrHandle, ~uint64_t{0});
    setError(kOk);
    return channel->filePosition(mode);
}

} // namespace audiolib
