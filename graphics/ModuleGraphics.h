#pragma once
// The module image: one picture holding the unit image sheet on top and the
// map below it (map positions count from row MapTop). It lives beside the
// module file under the module's name with its last three characters replaced
// by "PNG", and the previous one is kept as a backup ("BAK") on every save.
//
// The image is held once, as a 32-bit QImage; drawing code takes source
// rectangles from it and never copies the map.
//
// The player loads it in the background: the whole image is allocated at
// once, the sheet is decoded before the load returns and the map rows arrive
// on worker threads. Everything that reads the image through image() waits
// for the last row; the board paints what is there (imageSoFar, readyRows).

#include <QImage>
#include <QRect>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/module/MessageTable.h"
#include "core/module/Module.h"
#include "core/module/PngRowDecoder.h"

namespace qmx {

// Largest image accepted from a file: each side at most 32,767 pixels and at
// most 1 GiB of pixels, which holds the largest module (250 x 249 hexes with
// a full sheet) and refuses a damaged header that claims more.
constexpr int kMaxGraphicsSide = 32767;
constexpr int kGraphicsAllocationLimitMb = 1024;

// The grey of a blank new map.
constexpr unsigned kBlankMapColour = 0xCCCCCC;

enum class GraphicsStatus {
    Ok,
    NotFound,           // no such file (nor one differing only in case)
    Unreadable,         // the file exists but could not be decoded
    UnsupportedFormat,  // no reader or writer for the file's extension
    WriteFailed,        // the image could not be encoded or written
    BackupFailed,       // the previous image could not be kept as the backup
};

struct GraphicsResult {
    GraphicsStatus status = GraphicsStatus::Ok;
    std::string path;    // the file read or written (or looked for)
    bool write = false;  // a save or export (rather than a load or import)

    bool ok() const { return status == GraphicsStatus::Ok; }
    // What to show on failure: a failed load or import is the player's message
    // 37 and the editor's message 5; a failed save or export has no number of
    // its own and gets a text naming the file. Empty notice when ok.
    Notice notice(MessageTable table) const;
};

class ModuleGraphics {
public:
    ModuleGraphics();
    explicit ModuleGraphics(QImage image);
    // A decoding still running stops, and is waited for, before its pixels go.
    ~ModuleGraphics();
    // A copy waits for the whole image; a move takes the decoding along.
    ModuleGraphics(const ModuleGraphics& other);
    ModuleGraphics& operator=(const ModuleGraphics& other);
    ModuleGraphics(ModuleGraphics&& other) noexcept;
    ModuleGraphics& operator=(ModuleGraphics&& other) noexcept;

    // --- names beside the module file ---------------------------------------
    // "turn.qm4" -> "turn.PNG"; the backup "turn.BAK".
    static std::string graphicsName(const std::string& modulePath);
    static std::string backupName(const std::string& modulePath);
    // The graphics file that exists for a module: the exact name, else a file
    // of the same folder whose name differs only in case.
    static std::optional<std::string> findGraphicsFile(const std::string& modulePath);

    // --- whole image -------------------------------------------------------
    // Loads the graphics beside the module. On failure the image stays as it was.
    GraphicsResult load(const std::string& modulePath);
    // The same, but it returns once rows [0, firstRows) are decoded (the
    // sheet) and decodes the rest on worker threads, when the file is a PNG
    // the row decoder reads; any other file is read whole. A damage found
    // later leaves the rows not decoded blank and decodeFailed() true.
    GraphicsResult loadInBackground(const std::string& modulePath, int firstRows);
    // Writes the image beside the module as PNG. The previous graphics file
    // survives as the backup (replacing an older backup). The new image is
    // complete on disk before anything is replaced, so a failed save leaves
    // the old graphics and the old backup in place. With `copyOf`, the bytes of
    // that file are written instead of encoding the image again (the image is
    // the picture read from it, unchanged).
    GraphicsResult save(const std::string& modulePath, const std::string& copyOf = {}) const;

    // The blank image of a new module: the map band of the module's size under
    // a sheet of ImageRows cell rows, all light grey. Sets the module's MapTop
    // to the sheet height + 1.
    static ModuleGraphics createBlank(Module& module);

    // Replaces the whole image with any image file that a reader handles; the
    // format comes from the file's extension (".qmg" is a Windows bitmap). On
    // failure the image stays as it was.
    GraphicsResult importImage(const std::string& path);
    // Writes the image in the format of the file's extension: png, bmp, ppm,
    // tga, tif/tiff, jpg/jpeg (and whatever else an installed writer handles).
    GraphicsResult exportImage(const std::string& path) const;

    // --- unit images --------------------------------------------------------
    // Where unit image k (1-based) lies: 40 x 40 (20 x 17 in legacy modules).
    // Nothing when k is outside the sheet's capacity or the rectangle is not
    // wholly inside the image (a module's numbers are not trusted).
    std::optional<QRect> unitImageSource(const Module& module, int k) const;
    // A copy of unit image k; a null image when unitImageSource has nothing.
    QImage unitImage(const Module& module, int k) const;

    // The map band: from row MapTop to the bottom (empty when MapTop is beyond it).
    QRect mapRect(const Module& module) const;

    // Draws the fixed pictures of the sheet's first 151 columns: the overview
    // (the map scaled to OverviewSize at (0, 0)), the frame strips at rows
    // 100-101 and columns 144-145, and the stack marker (0, 102)-(41, 143).
    void drawFixedPictures(const Module& module);

    // The whole image: waits for a decoding in the background to end.
    const QImage& image() const;
    QImage& image();
    bool isNull() const { return m_image.isNull(); }
    QSize size() const { return m_image.size(); }

    // --- an image still being decoded -----------------------------------------
    // True while map rows are still to come.
    bool decoding() const;
    // The decoding ended early (damaged data): the rows it did not reach are blank.
    bool decodeFailed() const;
    // Waits for the whole image; false when it failed.
    bool waitComplete() const;
    // The image as far as it is decoded, without waiting: only the rows of
    // readyRows() may be read (the rows asked for at the load always may).
    const QImage& imageSoFar() const { return m_image; }
    std::vector<RowSpan> readyRows() const;
    bool rowsReady(RowSpan rows) const;
    // Waits for these rows; false when the decoding failed before them.
    bool waitRows(RowSpan rows) const;
    // Rows wanted soon (the part of the map in view): decoded next.
    void preferRows(RowSpan rows) const;

private:
    GraphicsResult loadPicture(const std::string& modulePath, int firstRows);

    QImage m_image;
    // Declared after the image: it stops writing into it before the pixels go.
    std::unique_ptr<PngRowDecoder> m_decoder;
};

// The image format named by a file's extension (the text after the last point
// of the file name, or its last three characters when it has no point),
// lower case; "qmg" reads as "bmp".
std::string imageFormatFor(const std::string& path);

// Writes an uncompressed 24-bit Truevision Targa file (bottom-up rows, with
// the version 2 footer) safely.
bool writeTga(const QImage& image, const std::string& path);

}  // namespace qmx
