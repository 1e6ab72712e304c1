#pragma once
// Where things are in the module image: the unit image cells, the fixed
// pictures in the first 151 columns, the blank map of a new module and the
// sizing of the sheet. Pure arithmetic, shared by both programs.

#include "core/module/Module.h"

namespace qmx {

struct PixelPoint {
    int x = 0;
    int y = 0;
    bool operator==(const PixelPoint&) const = default;
};

struct PixelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const PixelRect&) const = default;
};

constexpr int kCellSize = 41;  // a 40 x 40 image and one separating line
constexpr int kUnitImageSize = 40;
constexpr int kLegacyCellWidth = 20;
constexpr int kLegacyCellHeight = 17;
constexpr int kSheetLeft = 151;  // columns before the first cell
constexpr int kMinImageRows = 4;

// Fixed pictures of the sheet's left part.
constexpr PixelRect kFrameStripH{0, 100, 144, 2};  // rows 100-101
constexpr PixelRect kFrameStripV{144, 0, 2, 100};  // columns 144-145
constexpr PixelRect kStackMarker{0, 102, 41, 41};  // (0,102) to (41,143)

// Top-left corner of unit image k (1-based). k must be at least 1.
PixelPoint unitImageCell(int k, int imagesPerRow, bool legacy = false);
inline PixelPoint unitImageCell(const Module& m, int k) {
    return unitImageCell(k, m.imagesPerRow, m.legacyLayout);
}
// The picture of unit image k within the image: 40 x 40 (20 x 17 for legacy cells).
PixelRect unitImageRect(const Module& m, int k);

// The corners of every cell, index 0 left empty; built once at load.
std::vector<PixelPoint> unitImageTable(const Module& m);

// Sheet height for a number of cell rows: rows x 41 + 1. MapTop is one more.
constexpr int sheetHeight(int imageRows) {
    return imageRows * kCellSize + 1;
}

// Width and height of the blank map band of a new module.
PixelPoint blankMapSize(int columns, int rows, GridOrientation orientation);

// The most cells a row can have: ImagesPerRow is one byte.
constexpr int kMaxImagesPerRow = 255;

struct SheetSize {
    int imagesPerRow = 0;
    int imageRows = kMinImageRows;
    int height = sheetHeight(kMinImageRows);
    int capacity() const { return imagesPerRow * imageRows; }
};
// Enough cell rows for `wanted` images in an image `imageWidth` pixels wide,
// at most 255 cells a row.
SheetSize sizeSheet(int wanted, int imageWidth);

}  // namespace qmx
