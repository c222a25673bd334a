#include "audio/TSpectrumVisio.h"

TSpectrumVisio::TSpectrumVisio(int Width, int Height)
    : VisBuff(Width, Height), BackBmp(Width, Height) {}

void TSpectrumVisio::SetBackGround(bool Active, const PixelBuffer& BkgCanvas) {
    UseBkg = Active;
    BackBmp.copyFrom(BkgCanvas);
}

const PixelBuffer& TSpectrumVisio::GetView(const TFFTData& FFTData, int X, int Y) {
    const TFFTData data = FFTData;
    if (FrmClear) {
        VisBuff.fillRect(0, 0, VisBuff.width(), VisBuff.height(), BkgColor);
        if (UseBkg)
            VisBuff.copyFrom(BackBmp);
    }
    advanceBands(data, BandRules{DrawRes, SpecHeight, PeakFall, LineFall}, FFTPeacks, FFTFallOff);
    const int base = Y + VisBuff.height();
    for (int i = 0; i < kSpectrumBands; ++i)
        drawBand(i, X, base);
    return VisBuff;
}

void TSpectrumVisio::drawBand(int i, int X, int base) {
    const int peakRow = base - FFTPeacks[i];
    const int barTop = base - FFTFallOff[i];
    if (DrawType == 0) {
        VisBuff.line(X + i, base, X + i, barTop, PenColor);
        if (ShowPeak)
            VisBuff.setPixel(X + i, peakRow, PenColor);
    } else if (DrawType == 1) {
        const int x0 = X + i * (ColWidth + 1);
        const int x1 = x0 + ColWidth;
        if (ShowPeak)
            VisBuff.line(x0, peakRow, x1, peakRow, PeakColor);
        VisBuff.fillRect(x0, barTop, x1, base, PenColor);
    }
}
