#include "core/edit/PixelPicture.h"

#include <algorithm>
#include <utility>

namespace qmx {

PixelPicture::PixelPicture(int width, int height, Rgb fill)
    : m_width(std::max(0, width)),
      m_height(std::max(0, height)),
      m_pixels(static_cast<std::size_t>(m_width) * static_cast<std::size_t>(m_height),
               fill & 0xFFFFFF) {}

void PixelPicture::fillRect(int x, int y, int width, int height, Rgb colour) {
    const int left = std::max(0, x);
    const int top = std::max(0, y);
    const int right = std::min(m_width, x + width);
    const int bottom = std::min(m_height, y + height);
    for (int py = top; py < bottom; ++py) {
        for (int px = left; px < right; ++px) m_pixels[index(px, py)] = colour & 0xFFFFFF;
    }
}

void PixelPicture::draw(const PixelPicture& source, int x, int y) {
    for (int sy = 0; sy < source.height(); ++sy) {
        for (int sx = 0; sx < source.width(); ++sx) set(x + sx, y + sy, source.at(sx, sy));
    }
}

PixelPicture blankUnitImage(Rgb fill) {
    return PixelPicture(kUnitImageSize, kUnitImageSize, fill);
}

void floodFill(PixelPicture& picture, int x, int y, Rgb colour) {
    if (!picture.contains(x, y)) return;
    colour &= 0xFFFFFF;
    const Rgb old = picture.at(x, y);
    if (old == colour) return;
    // Scanline fill with an explicit stack: no recursion depth to run out of.
    std::vector<std::pair<int, int>> todo{{x, y}};
    while (!todo.empty()) {
        auto [sx, sy] = todo.back();
        todo.pop_back();
        if (picture.at(sx, sy) != old || !picture.contains(sx, sy)) continue;
        int left = sx;
        while (left > 0 && picture.at(left - 1, sy) == old) --left;
        int right = sx;
        while (right + 1 < picture.width() && picture.at(right + 1, sy) == old) ++right;
        for (int px = left; px <= right; ++px) {
            picture.set(px, sy, colour);
            for (int ny : {sy - 1, sy + 1}) {
                if (picture.contains(px, ny) && picture.at(px, ny) == old)
                    todo.emplace_back(px, ny);
            }
        }
    }
}

void drawBorder(PixelPicture& picture, Rgb colour) {
    const int w = picture.width();
    const int h = picture.height();
    picture.fillRect(0, 0, w, 1, colour);
    picture.fillRect(0, h - 1, w, 1, colour);
    picture.fillRect(0, 1, 1, h - 2, colour);
    picture.fillRect(w - 1, 1, 1, h - 2, colour);
}

void swapColours(PixelPicture& picture, Rgb a, Rgb b) {
    a &= 0xFFFFFF;
    b &= 0xFFFFFF;
    for (Rgb& p : picture.pixels()) {
        if (p == a) {
            p = b;
        } else if (p == b) {
            p = a;
        }
    }
}

void stampTransparent(PixelPicture& target, const PixelPicture& source, const PixelRect& from,
                      int x, int y) {
    for (int dy = 0; dy < from.height; ++dy) {
        for (int dx = 0; dx < from.width; ++dx) {
            const int sx = from.x + dx;
            const int sy = from.y + dy;
            if (!source.contains(sx, sy)) continue;
            const Rgb c = source.at(sx, sy);
            if (c != kWhite) target.set(x + dx, y + dy, c);
        }
    }
}

}  // namespace qmx
