#include "audio/TBassPlayer.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

using namespace audiolib;

namespace {

bool hasWmaExtension(const std::string& path) {
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos)
        return false;
    std::string ext = path.substr(dot);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext == ".wma";
}

} // namespace

bool TBassPlayer::Init(void* h, int ViewWidth, int ViewHeight) {
    if ((version() >> 16) != kInterfaceVersion || !init(-1, 44100, 0, h)) {
        FErrCode = -2;
        return false;
    }
    FSpectrumView = std::make_unique<TSpectrumVisio>(ViewWidth, ViewHeight);
    FPlayChannel = 0;
    FWMAChannel = 0;
    FisWMAMode = false;
    return true;
}

void TBassPlayer::Uninit() {
    free();
    FPlayChannel = 0;
    FWMAChannel = 0;
    FSpectrumView.reset();
}

void TBassPlayer::release(Handle& stream) {
    if (stream != 0)
        streamFree(stream);
    stream = 0;
}

bool TBassPlayer::OpenFile(const std::string& filePath, uint32_t& filesize, double& duration) {
    std::error_code ec;
    if (!std::filesystem::exists(filePath, ec))
        return false;
    filesize = 0;
    duration = 0.0;
    const bool wma = hasWmaExtension(filePath);
    // One file at a time: the stream of the other kind goes too.
    release(FPlayChannel);
    release(FWMAChannel);
    Handle& field = wma ? FWMAChannel : FPlayChannel;
    field = wma ? wmaStreamCreateFile(false, filePath.c_str(), 0, 0, kUnicode)
                : streamCreateFile(false, filePath.c_str(), 0, 0, kUnicode);
    if (field == 0)
        return false;
    FisWMAMode = wma;
    duration = std::max(0.0, GetDuration());
    filesize = static_cast<uint32_t>(streamGetFilePosition(field, kFilePosEnd));
    return true;
}

double TBassPlayer::GetDuration() const {
    const int64_t length = GetChannelLength64();
    return length < 0 ? -1.0 : channelBytes2Seconds(openStream(), static_cast<uint64_t>(length));
}

void TBassPlayer::Play() {
    if (modeStream() != 0)
        channelPlay(modeStream(), true);
}

void TBassPlayer::Pause() {
    if (modeStream() != 0)
        channelPause(modeStream());
}

void TBassPlayer::Resume() {
    if (modeStream() != 0)
        channelPlay(modeStream(), false);
}

void TBassPlayer::Stop() {
    Handle& field = FisWMAMode ? FWMAChannel : FPlayChannel;
    if (field == 0)
        return;
    channelStop(field);
    release(field);
}

bool TBassPlayer::CanPlay() const {
    return FWMAChannel != 0 || FPlayChannel != 0;
}

int64_t TBassPlayer::GetChannelLength64() const {
    const Handle s = openStream();
    if (s == 0)
        return -1;
    const uint64_t bytes = channelGetLength(s, kPosByte);
    return bytes == ~uint64_t{0} ? -1 : static_cast<int64_t>(bytes);
}

int64_t TBassPlayer::GetCurrentPosition64() const {
    const Handle s = openStream();
    if (s == 0)
        return -1;
    const uint64_t bytes = channelGetPosition(s, kPosByte);
    return bytes == ~uint64_t{0} ? -1 : static_cast<int64_t>(bytes);
}

void TBassPlayer::SetCurrentPosition64(uint64_t pos) {
    const Handle s = openStream();
    if (s != 0)
        channelSetPosition(s, pos, kPosByte);
}

// The low 32 bits, read as signed, as callers of the 32-bit forms expect.
static int32_t low32(int64_t v) {
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(v)));
}

int32_t TBassPlayer::GetChannelLength() const {
    return low32(GetChannelLength64());
}

int32_t TBassPlayer::GetCurrentPosition() const {
    return low32(GetCurrentPosition64());
}

void TBassPlayer::SetCurrentPosition(uint32_t pos) {
    SetCurrentPosition64(pos);
}

uint64_t TBassPlayer::GetFileSize64() const {
    const Handle s = openStream();
    if (s == 0)
        return 0;
    const uint64_t size = streamGetFilePosition(s, kFilePosEnd);
    return size == ~uint64_t{0} ? 0 : size;
}

TPlayState TBassPlayer::GetPlayState() const {
    const Handle s = openStream();
    if (s == 0)
        return psStop;
    switch (channelIsActive(s)) {
    case kActiveStopped:
        return psStop;
    case kActivePlaying:
        return psPlaying;
    case kActivePaused:
        return psPause;
    default:
        return psNormal;
    }
}

const PixelBuffer* TBassPlayer::GetSpectrumView() {
    if (!FSpectrumView || modeStream() == 0 || channelIsActive(modeStream()) != kActivePlaying)
        return nullptr;
    TFFTData data{};
    channelGetData(modeStream(), data.data(), kDataFft1024);
    return &FSpectrumView->GetView(data, 10, -10);
}
