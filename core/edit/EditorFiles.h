#pragma once
// The editor's file-name rules and the hex-name report.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/module/Bytes.h"
#include "core/module/Hex.h"
#include "core/module/Module.h"

namespace qmx {

inline constexpr const char* kOverwriteQuestion =
    "This file already exists!  Do you wish to overwrite it?";

// The module name the save writes: the chosen name with ".qm4" forced.
std::string moduleSaveName(const std::string& chosen);
// The report's name: ".txt" forced.
std::string reportSaveName(const std::string& chosen);

// The formats of "Save Graphics As", in the order of its filter list.
inline constexpr std::string_view kExportExtensions[] = {"png", "bmp", "ppm", "tga", "tif", "jpg"};
// The chosen name as typed when it ends in one of the export types
// (ignoring case; "jpeg" and "tiff" too), else with the extension of filter
// entry `entry` appended after a point.
std::string exportSaveName(const std::string& chosen, int entry);

// The boxes of plain device-independent bitmaps (.bmp, .qmg), shown without title.
inline constexpr const char* kDibTooBig = "DIB_TOO_BIG";
inline constexpr const char* kCannotLoadDib = "CANNOT_LOAD_DIB";
inline constexpr const char* kCannotSaveDib = "CANNOT_SAVE_DIB";

enum class DibCheck { NotDib, Fits, TooBig };
// Whether `bytes` start a Windows bitmap and whether its pixels fit in a
// signed 32-bit byte count (width, height and bits per pixel from its header).
DibCheck checkDib(std::span<const std::uint8_t> bytes);

// The folder of a path, without the trailing separator ("" for a bare name).
std::string folderOf(const std::string& path);

// The names that more than one map hex carries (blank names aside), in the
// order their first hex comes row by row, each with its hexes in that order.
struct DuplicateHexName {
    std::string name;
    std::vector<Hex> hexes;
};
std::vector<DuplicateHexName> duplicateHexNames(const Module& module);

// The hex-name report: for every row and, within it, every column, the hex's
// name followed by CR, LF and a space. When names are duplicated, a list of
// them comes first ("Duplicate hex names:", then a line per name with the
// column,row of each of its hexes, then an empty line), so a mistake in the
// naming is the first thing the author reads.
Bytes hexNameReport(const Module& module);

// What to tell the author when a picture of `width` x `height` pixels is
// smaller than the module's unit picture band and map need (the board would
// be blank where it is missing); empty when it is large enough.
std::string pictureSizeWarning(const Module& module, int width, int height);

// The message for a picture file that exists but cannot be loaded; `reason`
// says why ("it is cut short").
std::string pictureReadFailure(const std::string& path, const std::string& reason);

}  // namespace qmx
