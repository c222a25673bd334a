#include "audio/PixelBuffer.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>

static_assert(std::endian::native == std::endian::little,
              "pixels are stored as the bytes R, G, B, X");

PixelBuffer::PixelBuffer(int width, int height)
    : width_(std::max(0, width)), height_(std::max(0, height)),
      pixels_(static_cast<size_t>(width_) * static_cast<size_t>(height_), stored(0)) {}

TColor PixelBuffer::pixel(int x, int y) const {
    if (!inside(x, y))
        return 0;
    return pixels_[static_cast<size_t>(y) * width_ + x] & 0x00FFFFFFU;
}

void PixelBuffer::setPixel(int x, int y, TColor color) {
    if (inside(x, y))
        pixels_[static_cast<size_t>(y) * width_ + x] = stored(color);
}

void PixelBuffer::fillRect(int x0, int y0, int x1, int y1, TColor color) {
    x0 = std::clamp(x0, 0, width_);
    x1 = std::clamp(x1, 0, width_);
    y0 = std::clamp(y0, 0, height_);
    y1 = std::clamp(y1, 0, height_);
    const uint32_t value = stored(color);
    for (int y = y0; y < y1; ++y) {
        uint32_t* row = pixels_.data() + static_cast<size_t>(y) * width_;
        std::fill(row + x0, row + x1, value);
    }
}

void PixelBuffer::line(int x0, int y0, int x1, int y1, TColor color) {
    const int dx = std::abs(x1 - x0);
    const int dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1;
    const int sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    while (x0 != x1 || y0 != y1) {
        setPixel(x0, y0, color);
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

void PixelBuffer::copyFrom(const PixelBuffer& from) {
    const int w = std::min(width_, from.width_);
    const int h = std::min(height_, from.height_);
    for (int y = 0; y < h; ++y) {
        std::memcpy(pixels_.data() + static_cast<size_t>(y) * width_,
                    from.pixels_.data() + static_cast<size_t>(y) * from.width_,
                    static_cast<size_t>(w) * sizeof(uint32_t));
    }
}
