#include "tools/demo/PixelFont.h"

#include <cctype>
#include <cstring>
#include <iterator>

namespace qmx::demo {

namespace {

constexpr PixelFont::Glyph kSmallGlyphs[] = {
    {'0', "###|#.#|#.#|#.#|###"},
    {'1', ".#.|##.|.#.|.#.|###"},
    {'2', "###|..#|###|#..|###"},
    {'3', "###|..#|.##|..#|###"},
    {'4', "#.#|#.#|###|..#|..#"},
    {'5', "###|#..|###|..#|###"},
    {'6', "###|#..|###|#.#|###"},
    {'7', "###|..#|..#|.#.|.#."},
    {'8', "###|#.#|###|#.#|###"},
    {'9', "###|#.#|###|..#|###"},
    {'A', ".#.|#.#|###|#.#|#.#"},
    {'B', "##.|#.#|##.|#.#|##."},
    {'C', ".##|#..|#..|#..|.##"},
    {'D', "##.|#.#|#.#|#.#|##."},
    {'E', "###|#..|##.|#..|###"},
    {'F', "###|#..|##.|#..|#.."},
    {'G', ".##|#..|#.#|#.#|.##"},
    {'H', "#.#|#.#|###|#.#|#.#"},
    {'I', "###|.#.|.#.|.#.|###"},
    {'J', "..#|..#|..#|#.#|.#."},
    {'K', "#.#|#.#|##.|#.#|#.#"},
    {'L', "#..|#..|#..|#..|###"},
    {'M', "#...#|##.##|#.#.#|#...#|#...#"},
    {'N', "#..#|##.#|#.##|#..#|#..#"},
    {'O', ".#.|#.#|#.#|#.#|.#."},
    {'P', "##.|#.#|##.|#..|#.."},
    {'Q', "###|#.#|#.#|###|..#"},
    {'R', "##.|#.#|##.|#.#|#.#"},
    {'S', ".##|#..|.#.|..#|##."},
    {'T', "###|.#.|.#.|.#.|.#."},
    {'U', "#.#|#.#|#.#|#.#|###"},
    {'V', "#.#|#.#|#.#|#.#|.#."},
    {'W', "#...#|#...#|#.#.#|##.##|#...#"},
    {'X', "#.#|#.#|.#.|#.#|#.#"},
    {'Y', "#.#|#.#|.#.|.#.|.#."},
    {'Z', "###|..#|.#.|#..|###"},
    {'-', "..|..|##|..|.."},
    {'/', "..#|..#|.#.|#..|#.."},
    {'.', ".|.|.|.|#"},
    {' ', "..|..|..|..|.."},
    {'(', ".#|#.|#.|#.|.#"},
    {')', "#.|.#|.#|.#|#."},
};

constexpr PixelFont::Glyph kBoldGlyphs[] = {
    {'0', ".###.|##.##|##.##|##.##|##.##|##.##|.###."},
    {'1', "..##.|.###.|..##.|..##.|..##.|..##.|.####"},
    {'2', ".###.|##.##|...##|..##.|.##..|##...|#####"},
    {'3', "####.|...##|...##|.###.|...##|...##|####."},
    {'4', "...##|..###|.#.##|#..##|#####|...##|...##"},
    {'5', "#####|##...|####.|...##|...##|##.##|.###."},
    {'6', ".###.|##...|####.|##.##|##.##|##.##|.###."},
    {'7', "#####|...##|..##.|..##.|.##..|.##..|.##.."},
    {'8', ".###.|##.##|##.##|.###.|##.##|##.##|.###."},
    {'9', ".###.|##.##|##.##|.####|...##|..##.|.##.."},
    {'-', "...|...|...|###|...|...|..."},
    {' ', "..|..|..|..|..|..|.."},
    {'(', ".##|##.|##.|##.|##.|##.|.##"},
    {')', "##.|.##|.##|.##|.##|.##|##."},
};

}  // namespace

const PixelFont& PixelFont::small() {
    static const PixelFont font(5, kSmallGlyphs, static_cast<int>(std::size(kSmallGlyphs)));
    return font;
}

const PixelFont& PixelFont::bold() {
    static const PixelFont font(7, kBoldGlyphs, static_cast<int>(std::size(kBoldGlyphs)));
    return font;
}

const PixelFont::Glyph* PixelFont::find(char c) const {
    const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (int i = 0; i < m_count; ++i)
        if (m_glyphs[i].ch == upper) return &m_glyphs[i];
    for (int i = 0; i < m_count; ++i)
        if (m_glyphs[i].ch == ' ') return &m_glyphs[i];
    return nullptr;
}

int PixelFont::glyphWidth(const Glyph* g) const {
    if (!g) return 0;
    const char* bar = std::strchr(g->rows, '|');
    return bar ? static_cast<int>(bar - g->rows) : static_cast<int>(std::strlen(g->rows));
}

int PixelFont::width(std::string_view text) const {
    int w = 0;
    for (char c : text) w += glyphWidth(find(c)) + 1;
    return w > 0 ? w - 1 : 0;
}

void PixelFont::draw(QImage& image, int x, int y, std::string_view text, QColor colour) const {
    const QRgb rgb = colour.rgb();
    for (char c : text) {
        const Glyph* g = find(c);
        if (!g) continue;
        const int w = glyphWidth(g);
        const char* p = g->rows;
        for (int row = 0; row < m_height && *p; ++row) {
            for (int col = 0; col < w && *p && *p != '|'; ++col, ++p) {
                const int px = x + col;
                const int py = y + row;
                if (*p == '#' && px >= 0 && py >= 0 && px < image.width() && py < image.height())
                    image.setPixel(px, py, rgb);
            }
            if (*p == '|') ++p;
        }
        x += w + 1;
    }
}

void PixelFont::drawCentred(QImage& image, int centreX, int y, std::string_view text,
                            QColor colour) const {
    draw(image, centreX - width(text) / 2, y, text, colour);
}

}  // namespace qmx::demo
