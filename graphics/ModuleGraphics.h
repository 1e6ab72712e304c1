#pragma once
// The module image: one picture holding the unit image sheet on top and the
// map below it (map positions count from row MapTop). It lives beside the
// module file under the module's name with its last three characters replaced
// by "PNG", and the previous one is kept as a backup ("BAK") on every save.
//
// The image is held once, as a 32-bit QImage; drawing code takes source
// rectangles from it and never copies the map.

#include <QImage>
#include <QRect>
#include <optional>
#include <string>

#include "core/module/MessageTable.h"
#include "core/module/Module.h"

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
    ModuleGraphics() = default;
    explicit ModuleGraphics(QImage image);

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

    const QImage& image() const { return m_image; }
    QImage& image() { return m_image; }
    bool isNull() const { return m_image.isNull(); }

private:
    QImage m_image;
};

// The image format named by a file's extension (the text after the last point
// of the file name, or its last three characters when it has no point),
// lower case; "qmg" reads as "bmp".
std::string imageFormatFor(const std::string& path);

// Writes an uncompressed 24-bit Truevision Targa file (bottom-up rows, with
// the version 2 footer) safely.
bool writeTga(const QImage& image, const std::string& path);

}  // namespace qmx
