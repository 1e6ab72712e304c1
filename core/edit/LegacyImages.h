#pragma once
// Readers for two old image formats common in map scans that no installed
// image library reads: ZSoft Paintbrush (.pcx) and Sun raster (.ras). Both
// decode untrusted bytes into 8-bit RGB and refuse anything malformed.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace qmx {

// Larger pictures than this are refused (each side, and in all).
constexpr int kMaxLegacySide = 32767;
constexpr std::size_t kMaxLegacyPixels = std::size_t(1) << 28;

struct LegacyImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;  // width x height x 3, top row first
    bool ok() const { return width > 0 && height > 0; }
};

// Decoders; an image that is not ok() when the bytes are not a picture they read.
LegacyImage decodePcx(std::span<const std::uint8_t> data);
LegacyImage decodeSunRaster(std::span<const std::uint8_t> data);
// By the format name of imageFormatFor ("pcx", "ras"); not ok() for others.
LegacyImage decodeLegacyImage(const std::string& format, std::span<const std::uint8_t> data);

}  // namespace qmx
