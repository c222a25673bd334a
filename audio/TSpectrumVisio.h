#pragma once
// The spectrum analyser picture of the sound being played: 129 bands drawn
// as bars (or thin lines) that jump up at once and sink slowly, with a peak
// mark above each that sinks more slowly still. Each GetView is one
// animation step. The picture is the renderer's; the window shows its
// memory directly (PixelBuffer::bits, width, height, strideBytes).

#include "audio/PixelBuffer.h"
#include "audio/SpectrumBands.h"

#include <cstdint>

class TSpectrumVisio {
public:
    TSpectrumVisio(int Width, int Height);

    // One frame drawn with its offset (X, Y); the result stays valid until
    // the next GetView or the renderer's end.
    const PixelBuffer& GetView(const TFFTData& FFTData, int X, int Y);
    // BkgCanvas is drawn into the background picture even when not Active.
    void SetBackGround(bool Active, const PixelBuffer& BkgCanvas);

    TColor BackColor() const { return BkgColor; }
    void SetBackColor(TColor v) { BkgColor = v; }
    int32_t Height() const { return SpecHeight; } // tallest bar, not the picture's height
    void SetHeight(int32_t v) { SpecHeight = v; }
    int32_t Width() const { return ColWidth; } // bar width, not the picture's width
    void SetWidth(int32_t v) { ColWidth = v; }
    TColor Pen() const { return PenColor; }
    void SetPen(TColor v) { PenColor = v; }
    TColor Peak() const { return PeakColor; }
    void SetPeak(TColor v) { PeakColor = v; }
    int32_t Mode() const { return DrawType; } // 0 lines, 1 bars, else nothing drawn
    void SetMode(int32_t v) { DrawType = v; }
    int32_t Res() const { return DrawRes; }
    void SetRes(int32_t v) { DrawRes = v; }
    bool FrameClear() const { return FrmClear; }
    void SetFrameClear(bool v) { FrmClear = v; }
    int32_t PeakFallOff() const { return PeakFall; }
    void SetPeakFallOff(int32_t v) { PeakFall = v; }
    int32_t LineFallOff() const { return LineFall; }
    void SetLineFallOff(int32_t v) { LineFall = v; }
    bool DrawPeak() const { return ShowPeak; }
    void SetDrawPeak(bool v) { ShowPeak = v; }

    const BandHeights& Peaks() const { return FFTPeacks; }
    const BandHeights& Bars() const { return FFTFallOff; }

private:
    void drawBand(int i, int X, int base);

    PixelBuffer VisBuff;
    PixelBuffer BackBmp;
    TColor BkgColor = 0;
    int32_t SpecHeight = 100;
    TColor PenColor = 0xFFFFFF;
    TColor PeakColor = 0x00FFFF;
    int32_t DrawType = 1;
    int32_t DrawRes = 1;
    bool FrmClear = true;
    bool UseBkg = false;
    int32_t PeakFall = 1;
    int32_t LineFall = 3;
    int32_t ColWidth = 5;
    bool ShowPeak = true;
    BandHeights FFTPeacks{};
    BandHeights FFTFallOff{};
};
