#include "core/edit/NewModuleForm.h"

#include <algorithm>

namespace qmx {

std::string imageCapacityText(int capacity) {
    return "There are currently " + std::to_string(capacity) +
           " unit images available.  If you think you will need more than this to represent all "
           "your units, enter the desired number of images here.  Remember, images may be used "
           "by more than one unit.";
}

SheetSize sizeSheetForModule(int wanted, int imageWidth) {
    SheetSize s;
    s.imagesPerRow = imageWidth > kSheetLeft ? (imageWidth - kSheetLeft) / kCellSize : 0;
    s.imagesPerRow = std::min(s.imagesPerRow, 255);
    if (s.imagesPerRow == 0) return s;
    while (s.capacity() < wanted && s.imageRows < 255) {
        ++s.imageRows;
        s.height += kCellSize;
    }
    return s;
}

NewModuleForm::NewModuleForm() {
    m_sheet = sizeSheetForModule(0, mapWidth());
    imagesWanted = std::min(capacity(), kMaxImagesWanted);
}

int NewModuleForm::mapWidth() const {
    return blankMapSize(columns, rows, orientation).x;
}

void NewModuleForm::correctSize() {
    // Past the module's limits the counts would not fit their bytes; an odd
    // row count is raised, so the last even count is the largest.
    columns = std::clamp(columns, kNewModuleMinSize, kMaxColumns);
    rows = std::clamp(rows, kNewModuleMinSize, kMaxEvenRows);
    if (rows % 2 != 0) ++rows;
}

void NewModuleForm::resize(int wanted) {
    m_sheet = sizeSheetForModule(wanted, mapWidth());
}

void NewModuleForm::chooseOrientation(GridOrientation o) {
    orientation = o;
    leaveImagesWanted();
}

void NewModuleForm::leaveImagesWanted() {
    correctSize();
    // The width changes with the size, so the sheet is measured again, for
    // the images wanted (the sheet the module will get).
    resize(std::max(imagesWanted, 0));
}

void NewModuleForm::typeImagesWanted(int n) {
    imagesWanted = n;
    resize(n);
}

void NewModuleForm::confirm() {
    units = std::clamp(units, kMinUnits, kMaxUnits);
    correctSize();
    imagesWanted = std::clamp(imagesWanted, kMinImagesWanted, kMaxImagesWanted);
    resize(imagesWanted);
}

Module NewModuleForm::createModule() const {
    Module m = Module::createEmpty(columns, rows, orientation, units);
    m.imageRows = static_cast<std::uint8_t>(m_sheet.imageRows);
    m.imagesPerRow = static_cast<std::uint8_t>(m_sheet.imagesPerRow);
    m.mapTop = static_cast<std::uint16_t>(m_sheet.height + 1);
    return m;
}

}  // namespace qmx
