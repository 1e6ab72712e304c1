// The editor's pcx, Sun raster and Targa readers on any bytes.
#include <cstddef>
#include <cstdint>
#include <span>

#include "core/edit/LegacyImages.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    const qmx::LegacyImage pcx = qmx::decodePcx(bytes);
    const qmx::LegacyImage ras = qmx::decodeSunRaster(bytes);
    const qmx::LegacyImage tga = qmx::decodeTarga(bytes);
    // A decoded picture holds exactly its pixels; a refused one says why.
    for (const qmx::LegacyImage* image : {&pcx, &ras, &tga}) {
        if (image->ok() &&
            image->rgb.size() != std::size_t(image->width) * std::size_t(image->height) * 3)
            __builtin_trap();
        if (!image->ok() && image->reason.empty()) __builtin_trap();
    }
    return 0;
}
