// The editor's pcx and Sun raster readers on any bytes.
#include <cstddef>
#include <cstdint>
#include <span>

#include "core/edit/LegacyImages.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    const qmx::LegacyImage pcx = qmx::decodePcx(bytes);
    const qmx::LegacyImage ras = qmx::decodeSunRaster(bytes);
    // A decoded picture holds exactly its pixels.
    if (pcx.ok() && pcx.rgb.size() != std::size_t(pcx.width) * std::size_t(pcx.height) * 3)
        __builtin_trap();
    if (ras.ok() && ras.rgb.size() != std::size_t(ras.width) * std::size_t(ras.height) * 3)
        __builtin_trap();
    return 0;
}
