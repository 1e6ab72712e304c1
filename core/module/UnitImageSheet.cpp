#include "core/module/UnitImageSheet.h"

namespace qmx {

PixelPoint unitImageCell(int k, int imagesPerRow, bool legacy) {
    if (k < 1 || imagesPerRow < 1) return {};
    const int w = legacy ? kLegacyCellWidth : kCellSize;
    const int h = legacy ? kLegacyCellHeight : kCellSize;
    return {kSheetLeft + w * ((k - 1) % imagesPerRow), 1 + h * ((k - 1) / imagesPerRow)};
}

PixelRect unitImageRect(const Module& m, int k) {
    const PixelPoint p = unitImageCell(m, k);
    if (m.legacyLayout) return {p.x, p.y, kLegacyCellWidth, kLegacyCellHeight};
    return {p.x, p.y, kUnitImageSize, kUnitImageSize};
}

std::vector<PixelPoint> unitImageTable(const Module& m) {
    std::vector<PixelPoint> table(static_cast<std::size_t>(m.imageCapacity()) + 1);
    for (std::size_t k = 1; k < table.size(); ++k) table[k] = unitImageCell(m, static_cast<int>(k));
    return table;
}

PixelPoint blankMapSize(int columns, int rows, GridOrientation orientation) {
    if (orientation == GridOrientation::RowsAligned) return {(columns + 1) * 50, (rows + 1) * 42};
    return {(columns + 1) * 42, (rows + 1) * 50};
}

SheetSize sizeSheet(int wanted, int imageWidth) {
    SheetSize s;
    s.imagesPerRow = imageWidth > kSheetLeft ? (imageWidth - kSheetLeft) / kCellSize : 0;
    if (s.imagesPerRow == 0) return s;  // no room for a cell: nothing to grow
    // ImagesPerRow is one byte: a wider image keeps the cells past 255 unused,
    // and the rows are counted for the cells the module can address.
    if (s.imagesPerRow > kMaxImagesPerRow) s.imagesPerRow = kMaxImagesPerRow;
    while (s.capacity() < wanted && s.imageRows < 255) {
        ++s.imageRows;
        s.height += kCellSize;
    }
    return s;
}

}  // namespace qmx
