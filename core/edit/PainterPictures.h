#pragma once
// The fixed face of the unit image painter, drawn by the program: the dialog
// background, the palette of unit-type symbols, the two strips of number
// glyphs and the colour palette, each at its place in the dialog.

#include <string_view>

#include "core/edit/PixelPicture.h"

namespace qmx {

// Client size of the "Unit Editor" dialog.
constexpr int kPainterWidth = 660;
constexpr int kPainterHeight = 450;
constexpr Rgb kPainterBackground = 0xF0F0F0;

// The symbol palette: cells of 27 x 18, each holding a 24 x 15 symbol.
constexpr PixelRect kSymbolArea{376, 27, 199, 199};
constexpr int kSymbolCellWidth = 27;
constexpr int kSymbolCellHeight = 18;
constexpr int kSymbolWidth = 24;
constexpr int kSymbolHeight = 15;
constexpr int kSymbolColumns = 7;
// Rows of symbols drawn; the rows below them lie under the glyph strips.
constexpr int kSymbolRows = 5;

constexpr PixelRect kSmallGlyphArea{380, 182, 79, 12};
constexpr PixelRect kLargeGlyphArea{379, 205, 112, 20};
constexpr int kSmallGlyphWidth = 5;
constexpr int kSmallGlyphHeight = 6;
constexpr int kLargeGlyphWidth = 8;
constexpr int kLargeGlyphHeight = 12;
constexpr int kGlyphCount = 10;  // 1 to 9, then 0

constexpr PixelRect kColourPaletteArea{431, 241, 89, 194};

// The unit types of the symbol palette, in palette order (row by row).
std::string_view symbolName(int index);
int symbolCount();

// Top-left corner of the symbol at palette cell (column, row), in the dialog.
PixelPoint symbolCorner(int column, int row);
// The rectangles of glyph n (1..10).
PixelRect smallGlyphRect(int n);
PixelRect largeGlyphRect(int n);

// The whole fixed face, kPainterWidth x kPainterHeight; built once.
const PixelPicture& painterFace();

}  // namespace qmx
