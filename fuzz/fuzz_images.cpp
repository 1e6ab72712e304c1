// The editor's pcx, Sun raster and Targa readers, and the banded PNG reader
// of the module picture, on any bytes; the background row decoder too, on
// banded and plain PNGs: once it has ended, every row may be read.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "core/edit/LegacyImages.h"
#include "core/module/BandedPng.h"
#include "core/module/PngRowDecoder.h"

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
    std::vector<std::uint32_t> pixels;
    qmx::decodeBandedPng(bytes, 4096, [&](int width, int height, std::size_t& stride) {
        if (static_cast<long long>(width) * height > (1 << 22))
            return static_cast<std::uint32_t*>(nullptr);
        pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
        stride = static_cast<std::size_t>(width);
        return pixels.data();
    });
    if (auto decoder = qmx::PngRowDecoder::open(qmx::Bytes(bytes.begin(), bytes.end()), 2048)) {
        const int w = decoder->width(), h = decoder->height();
        if (static_cast<long long>(w) * h <= (1 << 22)) {
            std::vector<std::uint32_t> rows(static_cast<std::size_t>(w) * h, 0);
            decoder->start(rows.data(), static_cast<std::size_t>(w), {0, h / 2}, 0xFFCCCCCCu);
            decoder->wait();
            if (!decoder->ready({0, h})) __builtin_trap();
        }
    }
    return 0;
}
