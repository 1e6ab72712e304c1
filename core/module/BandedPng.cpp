#include "core/module/BandedPng.h"

#include <zlib.h>

#include <cstdlib>
#include <cstring>
#include <future>
#include <string_view>

namespace qmx {

namespace {

constexpr std::size_t kMaxBands = 16;

std::uint32_t be32(const std::uint8_t* p) {
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) |
           std::uint32_t(p[3]);
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<std::uint8_t>(v >> s));
}

int paeth(int a, int b, int c) {
    const int p = a + b - c;
    const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

// Undoes the filter of one row of `bytes` RGB bytes in place; `prior` is the
// unfiltered row above (zeros above a band's first row).
bool unfilter(int type, std::uint8_t* row, const std::uint8_t* prior, std::size_t bytes) {
    switch (type) {
        case 0:
            return true;
        case 1:
            for (std::size_t i = 3; i < bytes; ++i)
                row[i] = static_cast<std::uint8_t>(row[i] + row[i - 3]);
            return true;
        case 2:
            for (std::size_t i = 0; i < bytes; ++i)
                row[i] = static_cast<std::uint8_t>(row[i] + prior[i]);
            return true;
        case 3:
            for (std::size_t i = 0; i < bytes; ++i) {
                const int a = i >= 3 ? row[i - 3] : 0;
                row[i] = static_cast<std::uint8_t>(row[i] + ((a + prior[i]) >> 1));
            }
            return true;
        case 4:
            for (std::size_t i = 0; i < bytes; ++i) {
                const int a = i >= 3 ? row[i - 3] : 0;
                const int c = i >= 3 ? prior[i - 3] : 0;
                row[i] = static_cast<std::uint8_t>(row[i] + paeth(a, prior[i], c));
            }
            return true;
        default:
            return false;
    }
}

// Inflates and unfilters rows [first, end) from one band's deflate data.
bool decodeBand(std::span<const std::uint8_t> data, int width, int first, int end,
                std::uint32_t* pixels, std::size_t stride) {
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
    std::vector<std::uint8_t> line(rowBytes + 1), prior(rowBytes, 0);
    z_stream z{};
    if (inflateInit2(&z, -15) != Z_OK) return false;
    z.next_in = const_cast<Bytef*>(data.data());
    z.avail_in = static_cast<uInt>(data.size());
    bool ok = true;
    for (int y = first; y < end && ok; ++y) {
        z.next_out = line.data();
        z.avail_out = static_cast<uInt>(line.size());
        while (ok && z.avail_out > 0) {
            const int r = inflate(&z, Z_SYNC_FLUSH);
            if (r == Z_STREAM_END && z.avail_out > 0) ok = false;
            if (r == Z_STREAM_END) break;
            if (r != Z_OK) ok = false;
        }
        // A band's first row stands alone: its filter needs no row above.
        if (!ok || (y == first && first > 0 && line[0] > 1) ||
            !unfilter(line[0], line.data() + 1, prior.data(), rowBytes)) {
            ok = false;
            break;
        }
        std::uint32_t* out = pixels + static_cast<std::size_t>(y) * stride;
        const std::uint8_t* p = line.data() + 1;
        for (int x = 0; x < width; ++x, p += 3)
            out[x] = 0xFF000000u | (std::uint32_t(p[0]) << 16) | (std::uint32_t(p[1]) << 8) | p[2];
        std::memcpy(prior.data(), line.data() + 1, rowBytes);
    }
    inflateEnd(&z);
    return ok;
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
    static constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (file.size() < 8 || std::memcmp(file.data(), kSignature, 8) != 0) return false;
    std::size_t at = 8;
    int width = 0, height = 0;
    std::vector<PngBand> bands;
    std::vector<std::uint8_t> stream;
    bool header = false, end = false;
    while (!end) {
        if (file.size() - at < 12) return false;
        const std::uint32_t length = be32(file.data() + at);
        const std::string_view type(reinterpret_cast<const char*>(file.data() + at + 4), 4);
        if (length > file.size() - at - 12) return false;
        const std::uint8_t* data = file.data() + at + 8;
        if (type == "IHDR") {
            // 8-bit RGB, deflate, standard filters, not interlaced.
            if (length != 13 || data[8] != 8 || data[9] != 2 || data[10] || data[11] || data[12])
                return false;
            const std::uint32_t w = be32(data), h = be32(data + 4);
            if (w == 0 || h == 0 || w > std::uint32_t(maxSide) || h > std::uint32_t(maxSide))
                return false;
            width = static_cast<int>(w);
            height = static_cast<int>(h);
            header = true;
        } else if (!header) {
            return false;
        } else if (type == kBandChunk) {
            if (length < 8 || be32(data) != 1) return false;
            const std::uint32_t n = be32(data + 4);
            if (n == 0 || n > kMaxBands || length != 8 + 8 * n) return false;
            for (std::uint32_t i = 0; i < n; ++i)
                bands.push_back({be32(data + 8 + 8 * i), be32(data + 12 + 8 * i)});
        } else if (type == "pHYs") {
            if (length == 9 && data[8] == 1 && dotsPerMetre)
                *dotsPerMetre = {be32(data), be32(data + 4)};
        } else if (type == "IDAT") {
            stream.insert(stream.end(), data, data + length);
        } else if (type == "IEND") {
            end = true;
        } else if ((type[0] & 0x20) == 0 && type != "PLTE") {
            return false;  // a critical chunk this reader does not know
        }
        at += 12 + length;
    }
    // The bands: from row 0 and offset 2 (after the zlib header) on, each
    // later than the one before, inside the picture and the stream.
    if (bands.empty() || bands[0].firstRow != 0 || bands[0].offset != 2 || stream.size() < 6)
        return false;
    for (std::size_t i = 1; i < bands.size(); ++i) {
        if (bands[i].firstRow <= bands[i - 1].firstRow ||
            bands[i].firstRow >= std::uint32_t(height) || bands[i].offset <= bands[i - 1].offset ||
            bands[i].offset >= stream.size() - 4)
            return false;
    }
    // Deflate packs at most 1032 bytes into one: a stream too short for the
    // rows it claims is damaged, and no picture is allocated for it.
    const std::size_t rawSize =
        static_cast<std::size_t>(height) * (static_cast<std::size_t>(width) * 3 + 1);
    if (rawSize / 1032 > stream.size()) return false;
    std::size_t stride = 0;
    std::uint32_t* pixels = destination(width, height, stride);
    if (!pixels || stride < std::size_t(width)) return false;

    std::vector<std::future<bool>> work;
    for (std::size_t i = 0; i < bands.size(); ++i) {
        const std::size_t from = bands[i].offset;
        const std::size_t to = i + 1 < bands.size() ? bands[i + 1].offset : stream.size() - 4;
        const int first = static_cast<int>(bands[i].firstRow);
        const int last = i + 1 < bands.size() ? static_cast<int>(bands[i + 1].firstRow) : height;
        const std::span<const std::uint8_t> data(stream.data() + from, to - from);
        work.push_back(std::async(i == 0 ? std::launch::deferred : std::launch::async, [=] {
            return decodeBand(data, width, first, last, pixels, stride);
        }));
    }
    bool ok = true;
    for (auto& w : work) ok = w.get() && ok;
    return ok;
}

}  // namespace qmx
