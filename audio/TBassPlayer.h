#pragma once
// The playback engine: plays one recording at a time for the recordings
// panel, reports its length, position and state, seeks, and hands out the
// spectrum picture of what is being heard. UI thread only; the audio layer
// produces the sound on threads of its own.
//
// One file is open at a time: opening a file releases whatever was open, so
// every operation concerns the file opened last. Positions and lengths are
// bytes of decoded sound; the 32-bit operations give the low 32 bits of the
// layer's counts, the ...64 twins the whole count (recordings past about
// 3 h 22 min of 44.1 kHz stereo).

#include "audio/PixelBuffer.h"
#include "audio/TPlayState.h"
#include "audio/TSpectrumVisio.h"
#include "audio/lib/AudioLib.h"

#include <cstdint>
#include <memory>
#include <string>

class TBassPlayer {
public:
    // False when the layer is not the version we were written for or the
    // output device is refused; nothing can be opened afterwards.
    bool Init(void* h, int ViewWidth, int ViewHeight);
    void Uninit();

    // False for a missing file (filesize and duration untouched) or one that
    // cannot be decoded (both 0). filesize is the low 32 bits of the size.
    // duration is 0 while the length is still being counted (an MP3 without
    // an info frame): GetDuration() gives it once known.
    bool OpenFile(const std::string& filePath, uint32_t& filesize, double& duration);
    void Play(); // from the beginning
    void Pause();
    void Resume(); // from where it was paused
    void Stop();   // stops and closes the file
    bool CanPlay() const;

    // Seconds of the open file; -1 when nothing is open or the length is
    // not known yet.
    double GetDuration() const;
    int32_t GetChannelLength() const;   // -1 when nothing is open or not known yet
    int32_t GetCurrentPosition() const; // -1 when nothing is open
    void SetCurrentPosition(uint32_t pos);
    int64_t GetChannelLength64() const;
    int64_t GetCurrentPosition64() const;
    void SetCurrentPosition64(uint64_t pos);
    uint64_t GetFileSize64() const; // 0 when nothing is open

    TPlayState GetPlayState() const; // psStop when nothing is open
    // The picture of the sound now playing, redrawn; null unless something
    // plays. Owned by the player and overwritten by the next call.
    const PixelBuffer* GetSpectrumView();

    bool IsWmaMode() const { return FisWMAMode; }

private:
    audiolib::Handle modeStream() const { return FisWMAMode ? FWMAChannel : FPlayChannel; }
    audiolib::Handle openStream() const { return FPlayChannel != 0 ? FPlayChannel : FWMAChannel; }
    void release(audiolib::Handle& stream);

    audiolib::Handle FPlayChannel = 0;
    audiolib::Handle FWMAChannel = 0;
    int32_t FErrCode = 0;
    bool FisWMAMode = false;
    std::unique_ptr<TSpectrumVisio> FSpectrumView;
};
