#include "core/edit/PainterPictures.h"

#include <array>
#include <cmath>
#include <cstdlib>

namespace qmx {

namespace {

constexpr Rgb kInk = kBlack;
constexpr Rgb kFrameGrey = 0x808080;

// Drawing inside one 24 x 15 symbol box whose top-left is (x0, y0).
class SymbolPen {
public:
    SymbolPen(PixelPicture& p, int x0, int y0) : m_p(p), m_x(x0), m_y(y0) {}

    void dot(int x, int y) {
        if (x >= 0 && y >= 0 && x < kSymbolWidth && y < kSymbolHeight)
            m_p.set(m_x + x, m_y + y, kInk);
    }
    void line(int x1, int y1, int x2, int y2) {
        const int dx = std::abs(x2 - x1);
        const int dy = -std::abs(y2 - y1);
        const int sx = x1 < x2 ? 1 : -1;
        const int sy = y1 < y2 ? 1 : -1;
        int err = dx + dy;
        for (;;) {
            dot(x1, y1);
            if (x1 == x2 && y1 == y2) break;
            const int e2 = 2 * err;
            if (e2 >= dy) {
                err += dy;
                x1 += sx;
            }
            if (e2 <= dx) {
                err += dx;
                y1 += sy;
            }
        }
    }
    void rect(int x, int y, int w, int h) {
        line(x, y, x + w - 1, y);
        line(x, y + h - 1, x + w - 1, y + h - 1);
        line(x, y, x, y + h - 1);
        line(x + w - 1, y, x + w - 1, y + h - 1);
    }
    void fill(int x, int y, int w, int h) {
        for (int py = y; py < y + h; ++py) {
            for (int px = x; px < x + w; ++px) dot(px, py);
        }
    }
    // An ellipse through the pixel centres, from `from` to `to` degrees
    // (0 = right, counted clockwise on screen).
    void arc(double cx, double cy, double rx, double ry, int from = 0, int to = 360) {
        for (int a = from * 4; a <= to * 4; ++a) {
            const double t = a * 3.14159265358979 / 720.0;
            dot(static_cast<int>(std::lround(cx + rx * std::cos(t))),
                static_cast<int>(std::lround(cy + ry * std::sin(t))));
        }
    }
    void disc(double cx, double cy, double r) {
        for (int y = 0; y < kSymbolHeight; ++y) {
            for (int x = 0; x < kSymbolWidth; ++x) {
                if ((x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r) dot(x, y);
            }
        }
    }
    void frame() { rect(0, 0, kSymbolWidth, kSymbolHeight); }
    void cross() {
        line(0, 0, 23, 14);
        line(0, 14, 23, 0);
    }
    void oval() { arc(11.5, 7, 7, 3.5); }
    void slash() { line(0, 14, 23, 0); }
    void wings() {
        arc(9, 12, 3, 2.5, 180, 360);
        arc(15, 12, 3, 2.5, 180, 360);
    }
    void mountain() {
        for (int row = 0; row < 4; ++row) line(11 - row, 10 + row, 12 + row, 10 + row);
    }

private:
    PixelPicture& m_p;
    int m_x;
    int m_y;
};

using SymbolDraw = void (*)(SymbolPen&);

struct Symbol {
    const char* name;
    SymbolDraw draw;
};

// Every symbol draws its own frame: the headquarters' is shorter, to leave
// room for the staff.
const std::array<Symbol, 35> kSymbols{{
    {"infantry", [](SymbolPen& s) { s.frame(), s.cross(); }},
    {"armour", [](SymbolPen& s) { s.frame(), s.oval(); }},
    {"mechanized infantry", [](SymbolPen& s) { s.frame(), s.cross(), s.oval(); }},
    {"motorized infantry", [](SymbolPen& s) { s.frame(), s.cross(), s.line(11, 1, 11, 13); }},
    {"cavalry", [](SymbolPen& s) { s.frame(), s.slash(), s.arc(6, 4, 2, 2, 0, 180); }},
    {"armoured cavalry", [](SymbolPen& s) { s.frame(), s.slash(), s.oval(); }},
    {"recon", [](SymbolPen& s) { s.frame(), s.slash(); }},
    {"artillery", [](SymbolPen& s) { s.frame(), s.disc(11.5, 7, 2.3); }},
    {"self-propelled artillery", [](SymbolPen& s) { s.frame(), s.disc(11.5, 7, 1.6), s.oval(); }},
    {"rocket artillery",
     [](SymbolPen& s) {
         s.frame(), s.line(11, 3, 11, 11), s.line(12, 3, 12, 11), s.line(8, 6, 11, 3);
         s.line(15, 6, 12, 3);
     }},
    {"mortar",
     [](SymbolPen& s) {
         s.frame(), s.disc(11.5, 10, 1.6), s.line(11, 3, 11, 8), s.line(9, 5, 11, 3),
             s.line(14, 5, 12, 3);
     }},
    {"anti-tank", [](SymbolPen& s) { s.frame(), s.line(0, 14, 11, 1), s.line(12, 1, 23, 14); }},
    {"anti-aircraft", [](SymbolPen& s) { s.frame(), s.arc(11.5, 13, 9, 7, 180, 360); }},
    {"headquarters",
     [](SymbolPen& s) { s.rect(0, 0, 24, 11), s.line(0, 11, 0, 14), s.fill(2, 2, 8, 3); }},
    {"engineers",
     [](SymbolPen& s) {
         s.frame(), s.line(6, 5, 17, 5), s.line(6, 5, 6, 9), s.line(11, 5, 11, 9);
         s.line(17, 5, 17, 9);
     }},
    {"bridging",
     [](SymbolPen& s) { s.frame(), s.arc(11.5, 11, 7, 5, 180, 360), s.line(3, 11, 20, 11); }},
    {"airborne", [](SymbolPen& s) { s.frame(), s.wings(); }},
    {"airborne infantry", [](SymbolPen& s) { s.frame(), s.cross(), s.wings(); }},
    {"air assault",
     [](SymbolPen& s) {
         s.frame(), s.line(6, 4, 17, 10), s.line(6, 10, 17, 4), s.line(6, 4, 6, 10),
             s.line(17, 4, 17, 10);
     }},
    {"mountain", [](SymbolPen& s) { s.frame(), s.mountain(); }},
    {"mountain infantry", [](SymbolPen& s) { s.frame(), s.cross(), s.mountain(); }},
    {"marines",
     [](SymbolPen& s) {
         s.frame(), s.line(11, 2, 11, 12), s.line(8, 4, 14, 4), s.arc(11, 9, 5, 3, 0, 180);
     }},
    {"amphibious",
     [](SymbolPen& s) {
         s.frame(), s.arc(6, 8, 3, 2, 180, 360), s.arc(12, 8, 3, 2, 0, 180),
             s.arc(18, 8, 3, 2, 180, 360);
     }},
    {"signals",
     [](SymbolPen& s) {
         s.frame(), s.line(0, 0, 11, 10), s.line(11, 10, 12, 4), s.line(12, 4, 23, 14);
     }},
    {"supply", [](SymbolPen& s) { s.frame(), s.line(0, 10, 23, 10); }},
    {"medical", [](SymbolPen& s) { s.frame(), s.fill(10, 3, 4, 9), s.fill(7, 6, 10, 3); }},
    {"transport",
     [](SymbolPen& s) {
         s.frame(), s.arc(11.5, 7, 4.5, 4.5), s.line(7, 7, 16, 7), s.line(11, 3, 11, 11),
             s.line(12, 3, 12, 11);
     }},
    {"maintenance",
     [](SymbolPen& s) {
         s.frame(), s.line(6, 7, 17, 7), s.arc(5, 7, 2, 2.5, 90, 270),
             s.arc(18, 7, 2, 2.5, -90, 90);
     }},
    {"anti-air missile",
     [](SymbolPen& s) {
         s.frame(), s.arc(11.5, 13, 9, 7, 180, 360), s.line(11, 4, 11, 12), s.line(12, 4, 12, 12);
     }},
    {"machine gun",
     [](SymbolPen& s) {
         s.frame(), s.line(11, 2, 11, 12), s.line(12, 2, 12, 12), s.line(8, 5, 11, 2),
             s.line(15, 5, 12, 2), s.line(8, 9, 15, 9);
     }},
    {"special forces",
     [](SymbolPen& s) {
         s.frame(), s.line(11, 2, 11, 12), s.line(7, 9, 16, 9), s.line(10, 12, 13, 12),
             s.line(10, 2, 13, 2);
     }},
    {"militia", [](SymbolPen& s) { s.frame(), s.cross(), s.fill(9, 5, 6, 5); }},
    {"ski troops",
     [](SymbolPen& s) { s.frame(), s.cross(), s.line(5, 12, 18, 12), s.line(18, 12, 20, 10); }},
    {"fortification",
     [](SymbolPen& s) {
         s.frame(), s.fill(3, 8, 18, 4), s.fill(3, 5, 3, 3), s.fill(10, 5, 4, 3),
             s.fill(18, 5, 3, 3);
     }},
    {"air", [](SymbolPen& s) { s.frame(), s.arc(7, 7, 4, 3), s.arc(16, 7, 4, 3); }},
}};

// Digits 1..9 and 0 in 4 x 6, one row a nibble, the left pixel the high bit.
constexpr std::array<std::array<std::uint8_t, 6>, kGlyphCount> kDigits{{
    {0x4, 0xC, 0x4, 0x4, 0x4, 0xE},  // 1
    {0x6, 0x9, 0x2, 0x4, 0x8, 0xF},  // 2
    {0xE, 0x1, 0x6, 0x1, 0x1, 0xE},  // 3
    {0x9, 0x9, 0xF, 0x1, 0x1, 0x1},  // 4
    {0xF, 0x8, 0xE, 0x1, 0x1, 0xE},  // 5
    {0x6, 0x8, 0xE, 0x9, 0x9, 0x6},  // 6
    {0xF, 0x1, 0x2, 0x4, 0x4, 0x4},  // 7
    {0x6, 0x9, 0x6, 0x9, 0x9, 0x6},  // 8
    {0x6, 0x9, 0x9, 0x7, 0x1, 0x6},  // 9
    {0x6, 0x9, 0x9, 0x9, 0x9, 0x6},  // 0
}};

void drawDigit(PixelPicture& p, int n, int x, int y, int scale) {
    const auto& rows = kDigits[static_cast<std::size_t>(n - 1)];
    for (int row = 0; row < 6; ++row) {
        for (int col = 0; col < 4; ++col) {
            if (rows[static_cast<std::size_t>(row)] & (0x8 >> col)) {
                p.fillRect(x + col * scale, y + row * scale, scale, scale, kInk);
            }
        }
    }
}

void frameArea(PixelPicture& p, const PixelRect& r) {
    p.fillRect(r.x, r.y, r.width, r.height, kWhite);
    p.fillRect(r.x - 1, r.y - 1, r.width + 2, 1, kFrameGrey);
    p.fillRect(r.x - 1, r.y + r.height, r.width + 2, 1, kFrameGrey);
    p.fillRect(r.x - 1, r.y, 1, r.height, kFrameGrey);
    p.fillRect(r.x + r.width, r.y, 1, r.height, kFrameGrey);
}

PixelPicture buildFace() {
    PixelPicture face(kPainterWidth, kPainterHeight, kPainterBackground);

    frameArea(face, kSymbolArea);
    for (int i = 0; i < symbolCount(); ++i) {
        const PixelPoint at = symbolCorner(i % kSymbolColumns, i / kSymbolColumns);
        SymbolPen pen(face, at.x, at.y);
        kSymbols[static_cast<std::size_t>(i)].draw(pen);
    }

    frameArea(face, kSmallGlyphArea);
    frameArea(face, kLargeGlyphArea);
    for (int n = 1; n <= kGlyphCount; ++n) {
        const PixelRect s = smallGlyphRect(n);
        drawDigit(face, n, s.x, s.y, 1);
        const PixelRect l = largeGlyphRect(n);
        drawDigit(face, n, l.x, l.y, 2);
    }

    // The 216 colours of the cube with levels 0, 51, ..., 255 (red slowest),
    // twelve to a row, and under them twelve greys from black to white.
    const PixelRect& c = kColourPaletteArea;
    face.fillRect(c.x, c.y, c.width, c.height, kFrameGrey);
    constexpr int kCellW = 7;
    constexpr int kCellH = 10;
    for (int i = 0; i < 216; ++i) {
        const Rgb r = static_cast<Rgb>(i / 36) * 51;
        const Rgb g = static_cast<Rgb>(i / 6 % 6) * 51;
        const Rgb b = static_cast<Rgb>(i % 6) * 51;
        face.fillRect(c.x + 2 + kCellW * (i % 12), c.y + 2 + kCellH * (i / 12), kCellW, kCellH,
                      (r << 16) | (g << 8) | b);
    }
    for (int j = 0; j < 12; ++j) {
        const Rgb v = static_cast<Rgb>(255 * j / 11);
        face.fillRect(c.x + 2 + kCellW * j, c.y + 2 + kCellH * 18 + 2, kCellW, kCellH,
                      (v << 16) | (v << 8) | v);
    }
    return face;
}

}  // namespace

std::string_view symbolName(int index) {
    if (index < 0 || index >= symbolCount()) return {};
    return kSymbols[static_cast<std::size_t>(index)].name;
}

int symbolCount() {
    return static_cast<int>(kSymbols.size());
}

PixelPoint symbolCorner(int column, int row) {
    return {kSymbolCellWidth * column + 377, kSymbolCellHeight * row + 28};
}

PixelRect smallGlyphRect(int n) {
    return {8 * n + 374, 185, kSmallGlyphWidth, kSmallGlyphHeight};
}

PixelRect largeGlyphRect(int n) {
    return {11 * (n - 1) + 380, 209, kLargeGlyphWidth, kLargeGlyphHeight};
}

const PixelPicture& painterFace() {
    static const PixelPicture face = buildFace();
    return face;
}

}  // namespace qmx
