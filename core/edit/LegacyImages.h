#pragma once
// Readers for old image formats common in map scans that the installed image
// libraries read badly or not at all: ZSoft Paintbrush (.pcx), Sun raster
// (.ras) and Targa (.tga, with or without the footer newer writers add). They
// decode untrusted bytes into 8-bit RGB and refuse anything malformed, saying
// why.

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
    std::string reason;             // why the bytes were refused ("it is cut short")
    bool ok() const { return width > 0 && height > 0; }
};

// Decoders; an image that is not ok() when the bytes are not a picture they read.
LegacyImage decodePcx(std::span<const std::uint8_t> data);
LegacyImage decodeSunRaster(std::span<const std::uint8_t> data);
// 8/16/24/32-bit true colour, 8-bit grey, colour-mapped, plain or RLE, either origin.
LegacyImage decodeTarga(std::span<const std::uint8_t> data);
// By the format name of imageFormatFor ("pcx", "ras", "tga"); not ok() for others.
LegacyImage decodeLegacyImage(const std::string& format, std::span<const std::uint8_t> data);

}  // namespace qmx
