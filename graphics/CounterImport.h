#pragma once
// Counter pictures made elsewhere, brought into the unit image sheet: either
// a folder of pictures, one a counter, taken in the natural order of their
// names ("c2" before "c10"), or one sheet of counters cut into cells of a
// given size from its top-left corner, row by row. Cells of one colour all
// over (the empty places of a sheet) are passed over.
//
// Each picture goes into one unit image cell, from a chosen image number on:
// scaled with a smoothing filter to fit the cell (40 x 40, or 20 x 17 in the
// legacy layout) with its proportions kept, and centred on the colour of its
// own top-left pixel when it is not of the cell's shape. Pictures that do not
// fit in the sheet any more are left out and counted; pictures that cannot
// be read are named with the reason and take no cell.

#include <QImage>
#include <QRect>
#include <QSize>
#include <string>
#include <string_view>
#include <vector>

#include "core/module/Module.h"

namespace qmx {

class ModuleGraphics;

struct CounterImportResult {
    int first = 0;    // image number of the first cell written
    int placed = 0;   // pictures written, into images first .. first + placed - 1
    int leftOut = 0;  // pictures after the sheet's last image (not read)
    int blankCells = 0;
    int capacity = 0;                     // images of the sheet
    std::vector<std::string> unreadable;  // "name (reason)"

    // What the import did, in sentences: the editor's box and qmxtool's output.
    std::string text() const;
};

class CounterImport {
public:
    // Largest number of cells a sheet is cut into (a full sheet holds 65,025).
    static constexpr int kMaxSheetCells = 100000;

    // The picture files of `folder` (not its subfolders, not hidden files),
    // in natural order. Files of other kinds are passed over.
    static CounterImport fromFolder(const std::string& folder);
    // The cells of `cellWidth` x `cellHeight` that lie wholly inside the
    // picture `path`; cells of one colour are passed over.
    static CounterImport fromSheet(const std::string& path, int cellWidth, int cellHeight);

    // Empty, or why the source cannot be used (the folder or sheet cannot be read).
    const std::string& error() const { return m_error; }
    bool ok() const { return m_error.empty(); }
    // The pictures to place (a folder's unreadable files among them).
    int count() const { return static_cast<int>(m_names.size()); }
    // A name for each picture: the file name, or "sheet.png cell 3 (row 1, column 3)".
    const std::vector<std::string>& names() const { return m_names; }
    int blankCells() const { return m_blankCells; }

    // Writes the pictures into images first, first + 1, ... of `graphics`.
    CounterImportResult place(const Module& module, ModuleGraphics& graphics, int first) const;

private:
    std::string m_error;
    std::vector<std::string> m_names;
    // A folder: the full paths of its picture files.
    std::vector<std::string> m_files;
    // A sheet: the picture and the cells taken from it.
    QImage m_sheet;
    std::vector<QRect> m_cells;
    int m_blankCells = 0;
};

// Natural order of names: runs of digits compare by their value, everything
// else ignoring case ("c2" < "C10" < "d1"); names equal so compare by bytes.
bool naturalLess(std::string_view a, std::string_view b);

// `picture` in a cell of `cell`: scaled smoothly to fit with its proportions
// kept and centred on the colour of its top-left pixel; as it is when it
// already has the cell's size.
QImage fitCounter(const QImage& picture, QSize cell);

// The image number the import starts at unless told otherwise: the first one
// after the highest image any unit uses, within the sheet. A module whose
// units use at most image 1 (every unit of a new module shows image 1)
// starts at 1.
int defaultFirstImage(const Module& module);

// "12 pictures → images 5 to 16", with the number left out when they do not
// all fit, for the dialog's preview.
std::string importPreview(int count, int first, int capacity);

}  // namespace qmx
