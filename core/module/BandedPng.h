#pragma once
// The band index QMX writes into its PNG pictures, and a reader that uses it.
//
// The module picture is deflated in bands, each band a deflate stream of its
// own whose first row is filtered without the row above. A private chunk
// ("qxIB", ancillary, so other readers skip it; unsafe to copy, so a program
// that changes the pixels drops it) lists where each band starts: the bands
// can then be inflated side by side. Any other PNG is read by the general reader.

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace qmx {

inline constexpr char kBandChunk[5] = "qxIB";

struct PngBand {
    std::uint32_t firstRow = 0;
    std::uint32_t offset = 0;  // of its deflate data in the zlib stream (header included)
};

// The chunk's bytes for these bands.
std::vector<std::uint8_t> bandChunkData(const std::vector<PngBand>& bands);

// Where the decoded pixels go: called once with the size, it returns the
// first row and the stride in pixels (rows 0xFFRRGGBB), or null to stop.
using PixelDestination = std::function<std::uint32_t*(int width, int height, std::size_t& stride)>;

// Decodes an 8-bit RGB or grey PNG that carries a band index, its bands
// inflated side by side (PngRowDecoder, which the module picture's loads use
// directly). False when the bytes are not such a file or are damaged (the
// caller then uses a general reader); `maxSide` limits width and height. The resolution
// of a pHYs chunk in metres goes to `dotsPerMetre` (0 without one).
struct PngResolution {
    std::uint32_t x = 0;
    std::uint32_t y = 0;
};
bool decodeBandedPng(std::span<const std::uint8_t> file, int maxSide,
                     const PixelDestination& destination, PngResolution* dotsPerMetre = nullptr);

}  // namespace qmx
