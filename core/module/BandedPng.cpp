#include "core/module/BandedPng.h"

#include "core/module/PngRowDecoder.h"

namespace qmx {

namespace {

void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<std::uint8_t>(v >> s));
}

}  // namespace

std::vector<std::uint8_t> bandChunkData(const std::vector<PngBand>& bands) {
    std::vector<std::uint8_t> out;
    put32(out, 1);  // version
    put32(out, static_cast<std::uint32_t>(bands.size()));
    for (const PngBand& b : bands) {
        put32(out, b.firstRow);
        put32(out, b.offset);
    }
    return out;
}

bool decodeBandedPng(std::span<const std::uint8_t> file, int maxSide,
                     const PixelDestination& destination, PngResolution* dotsPerMetre) {
    const std::unique_ptr<PngRowDecoder> decoder =
        PngRowDecoder::open(Bytes(file.begin(), file.end()), maxSide, true);
    if (!decoder) return false;
    std::size_t stride = 0;
    std::uint32_t* pixels = destination(decoder->width(), decoder->height(), stride);
    if (!pixels || stride < std::size_t(decoder->width())) return false;
    decoder->start(pixels, stride, {}, 0xFF000000u);
    if (decoder->wait() != PngRowDecoder::State::Done) return false;
    if (dotsPerMetre) *dotsPerMetre = decoder->resolution();
    return true;
}

}  // namespace qmx
