#pragma once
// A small raster of 24-bit colours (0xRRGGBB) and the pixel operations of the
// unit image painter on it: painting, flood fill, the border, swapping two
// colours, and copying a rectangle of another picture with white left out.
// A unit image is a 40 x 40 picture.

#include <cstdint>
#include <vector>

#include "core/module/UnitImageSheet.h"

namespace qmx {

using Rgb = std::uint32_t;  // 0xRRGGBB
constexpr Rgb kWhite = 0xFFFFFF;
constexpr Rgb kBlack = 0x000000;

class PixelPicture {
public:
    PixelPicture() = default;
    PixelPicture(int width, int height, Rgb fill = kWhite);

    int width() const { return m_width; }
    int height() const { return m_height; }
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < m_width && y < m_height; }
    // Outside the picture: black on reading, nothing on writing.
    Rgb at(int x, int y) const { return contains(x, y) ? m_pixels[index(x, y)] : kBlack; }
    void set(int x, int y, Rgb colour) {
        if (contains(x, y)) m_pixels[index(x, y)] = colour & 0xFFFFFF;
    }
    void fillRect(int x, int y, int width, int height, Rgb colour);
    // Copies `source` whole with its top-left at (x, y), clipped.
    void draw(const PixelPicture& source, int x, int y);

    const std::vector<Rgb>& pixels() const { return m_pixels; }
    std::vector<Rgb>& pixels() { return m_pixels; }
    bool operator==(const PixelPicture&) const = default;

private:
    std::size_t index(int x, int y) const {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(m_width) +
               static_cast<std::size_t>(x);
    }
    int m_width = 0;
    int m_height = 0;
    std::vector<Rgb> m_pixels;
};

// A blank 40 x 40 unit image.
PixelPicture blankUnitImage(Rgb fill = kWhite);

// Replaces the area of (x, y)'s colour that is connected to it through the
// four side neighbours with `colour`. Nothing outside the picture.
void floodFill(PixelPicture& picture, int x, int y, Rgb colour);
// The outermost ring of pixels in `colour`.
void drawBorder(PixelPicture& picture, Rgb colour);
// Every pixel of colour `a` becomes `b` and every pixel of colour `b` becomes `a`.
void swapColours(PixelPicture& picture, Rgb a, Rgb b);
// Copies the rectangle `from` of `source` onto `target` with its top-left at
// (x, y), leaving out pure white pixels; parts beyond either picture are cut.
void stampTransparent(PixelPicture& target, const PixelPicture& source, const PixelRect& from,
                      int x, int y);

}  // namespace qmx
