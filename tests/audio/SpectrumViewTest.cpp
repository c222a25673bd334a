#include "audio/TSpectrumVisio.h"

#include <gtest/gtest.h>

namespace {

constexpr TColor kWhite = 0xFFFFFF;
constexpr TColor kYellow = 0x00FFFF;

TFFTData onlyElement5(float v) {
    TFFTData data{};
    data[5] = v;
    return data;
}

} // namespace

TEST(SpectrumBands, LevelsAreScaledLimitedAndTakenByTheirSize) {
    EXPECT_EQ(bandLevel(0.1f, 100), 50);
    EXPECT_EQ(bandLevel(-0.1f, 100), 50);
    EXPECT_EQ(bandLevel(0.3f, 100), 100);
    EXPECT_EQ(bandLevel(0.0019f, 100), 0);

    // A peak at 2 under silence reads 1, 0, 0; a bar at 50 sinks by 3.
    BandHeights peaks{}, bars{};
    peaks[0] = 2;
    bars[1] = 50;
    const TFFTData silence{};
    std::vector<int> seen;
    for (int frame = 0; frame < 3; ++frame) {
        advanceBands(silence, BandRules{}, peaks, bars);
        seen.push_back(peaks[0]);
    }
    EXPECT_EQ(seen, (std::vector<int>{1, 0, 0}));
    EXPECT_EQ(bars[1], 41);

    // Res 2 reads every other element from 5.
    TFFTData data{};
    data[7] = 0.05f;
    BandHeights p{}, b{};
    advanceBands(data, BandRules{.step = 2}, p, b);
    EXPECT_EQ(b[1], 25);
    EXPECT_EQ(b[2], 0);
}

TEST(SpectrumView, TheWorkedExampleDrawsBandZeroClippedAtTheTop) {
    TSpectrumVisio view(55, 53);
    const PixelBuffer& pic = view.GetView(onlyElement5(0.1f), 10, -10);
    ASSERT_EQ(pic.width(), 55);
    ASSERT_EQ(pic.height(), 53);
    EXPECT_EQ(pic.strideBytes(), 55 * 4);
    for (int y = 0; y < 53; ++y) {
        for (int x = 0; x < 55; ++x) {
            TColor want = 0;
            if (x >= 10 && x <= 14 && y <= 42)
                want = kWhite; // band 0, from row -7 down to row 42
            else if (y == 43 && x >= 16 && (x - 10) % 6 != 5)
                want = kYellow; // peaks of the silent bands on the base row
            ASSERT_EQ(pic.pixel(x, y), want) << x << "," << y;
        }
    }
    // Stored as R, G, B, X bytes.
    const uint8_t* white = pic.bits() + 0 * pic.strideBytes() + 10 * 4;
    EXPECT_EQ(white[0], 0xFF);
    const uint8_t* yellow = pic.bits() + 43 * pic.strideBytes() + 16 * 4;
    EXPECT_EQ((std::array<int, 4>{yellow[0], yellow[1], yellow[2], yellow[3]}),
              (std::array<int, 4>{0xFF, 0xFF, 0x00, 0xFF}));

    view.GetView(TFFTData{}, 10, -10);
    EXPECT_EQ(view.Bars()[0], 47);
    EXPECT_EQ(view.Peaks()[0], 49);
    // Band 7 has 3 of its 5 columns inside a 55-pixel picture.
    EXPECT_EQ(pic.pixel(54, 43), kYellow);
}

TEST(SpectrumView, ModesTwoAndZeroAndDrawingOverOldFrames) {
    TSpectrumVisio none(55, 53);
    none.SetMode(2);
    const PixelBuffer& blank = none.GetView(onlyElement5(0.1f), 10, -10);
    for (int y = 0; y < 53; ++y)
        for (int x = 0; x < 55; ++x)
            ASSERT_EQ(blank.pixel(x, y), 0U);
    EXPECT_EQ(none.Bars()[0], 50);

    TSpectrumVisio lines(55, 53);
    lines.SetMode(0);
    const PixelBuffer& thin = lines.GetView(onlyElement5(0.0625f), 10, -10);
    // A line of 31 from the base row up, end point left out, where the peak
    // dot sits.
    EXPECT_EQ(thin.pixel(10, 43), kWhite);
    EXPECT_EQ(thin.pixel(10, 12), kWhite);
    EXPECT_EQ(thin.pixel(10, 11), 0U);
    EXPECT_EQ(thin.pixel(11, 43), kWhite); // silent band: peak dot on the base row
    EXPECT_EQ(thin.pixel(11, 42), 0U);
    lines.SetDrawPeak(false);
    lines.GetView(onlyElement5(0.0625f), 10, -10);
    EXPECT_EQ(thin.pixel(10, 12), 0U);
    EXPECT_EQ(thin.pixel(10, 13), kWhite);

    TSpectrumVisio over(55, 53);
    over.SetFrameClear(false);
    over.SetDrawPeak(false);
    over.GetView(onlyElement5(0.1f), 10, -10);
    const PixelBuffer& kept = over.GetView(TFFTData{}, 10, -10);
    EXPECT_EQ(kept.pixel(12, 0), kWhite); // a sunken bar leaves its old pixels
    EXPECT_EQ(kept.pixel(16, 43), 0U);    // no peak marks
}

TEST(SpectrumView, TheBackgroundIsCopiedOnlyWhenActive) {
    PixelBuffer canvas(20, 20);
    canvas.fillRect(0, 0, 20, 20, 0x123456);
    TSpectrumVisio view(55, 53);
    view.SetBackColor(0x000080);
    view.SetBackGround(false, canvas);
    EXPECT_EQ(view.GetView(TFFTData{}, 10, -10).pixel(5, 5), 0x000080U);
    view.SetBackGround(true, canvas);
    const PixelBuffer& pic = view.GetView(TFFTData{}, 10, -10);
    EXPECT_EQ(pic.pixel(5, 5), 0x123456U);
    // The background picture is the renderer's size; what the canvas did not
    // cover stays as it was made, black.
    EXPECT_EQ(pic.pixel(30, 5), 0U);
}
