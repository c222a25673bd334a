#pragma once
// A picture in plain memory that the spectrum renderer draws into. Colours
// are 0x00BBGGRR; each pixel is stored as the bytes R, G, B, 0xFF, so a
// window can show the memory as it is (QImage::Format_RGBX8888) without a
// conversion. Everything drawn outside the picture is clipped.

#include <cstdint>
#include <vector>

using TColor = uint32_t; // 0x00BBGGRR

class PixelBuffer {
public:
    PixelBuffer(int width, int height);

    int width() const { return width_; }
    int height() const { return height_; }
    int strideBytes() const { return width_ * static_cast<int>(sizeof(uint32_t)); }
    const uint8_t* bits() const { return reinterpret_cast<const uint8_t*>(pixels_.data()); }

    // 0x00BBGGRR of one pixel; 0 outside the picture.
    TColor pixel(int x, int y) const;

    void setPixel(int x, int y, TColor color);
    // Columns x0..x1-1, rows y0..y1-1.
    void fillRect(int x0, int y0, int x1, int y1, TColor color);
    // From (x0, y0) towards (x1, y1); the end point itself is not drawn.
    void line(int x0, int y0, int x1, int y1, TColor color);
    // `from` with its top-left corner on (0, 0), as far as both reach.
    void copyFrom(const PixelBuffer& from);

private:
    static uint32_t stored(TColor color) { return (color & 0x00FFFFFFU) | 0xFF000000U; }
    bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

    int width_;
    int height_;
    std::vector<uint32_t> pixels_;
};
