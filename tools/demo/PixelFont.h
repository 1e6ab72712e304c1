#pragma once
// Two tiny bitmap fonts for the demo's counters and hex numbers: a 3 x 5 font
// of capitals, digits and a few signs, and a bold 5 x 7 font of digits for the
// values on the counters. Bitmap glyphs stay crisp at 40 x 40 pixels and make
// the picture the same on every machine, whatever fonts are installed.

#include <QColor>
#include <QImage>
#include <string_view>

namespace qmx::demo {

class PixelFont {
public:
    static const PixelFont& small();  // 3 x 5
    static const PixelFont& bold();   // 5 x 7, digits and '-'

    int height() const { return m_height; }
    // Width in pixels of a text, one blank column between glyphs.
    int width(std::string_view text) const;
    // Draws a text with its top-left corner at (x, y); pixels outside the
    // image are skipped. Characters the font lacks are drawn as blanks.
    void draw(QImage& image, int x, int y, std::string_view text, QColor colour) const;
    // The same, centred on x.
    void drawCentred(QImage& image, int centreX, int y, std::string_view text, QColor colour) const;

    struct Glyph {
        char ch;
        const char* rows;  // rows separated by '|', '#' for a set pixel
    };

private:
    PixelFont(int height, const Glyph* glyphs, int count)
        : m_height(height), m_glyphs(glyphs), m_count(count) {}
    const Glyph* find(char c) const;
    int glyphWidth(const Glyph* g) const;

    int m_height;
    const Glyph* m_glyphs;
    int m_count;
};

}  // namespace qmx::demo
