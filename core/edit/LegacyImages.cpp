#include "core/edit/LegacyImages.h"

#include <array>

namespace qmx {

namespace {

std::uint32_t be32(std::span<const std::uint8_t> d, std::size_t at) {
    return (std::uint32_t(d[at]) << 24) | (std::uint32_t(d[at + 1]) << 16) |
           (std::uint32_t(d[at + 2]) << 8) | std::uint32_t(d[at + 3]);
}

int le16(std::span<const std::uint8_t> d, std::size_t at) {
    return d[at] | (d[at + 1] << 8);
}

bool sizeAcceptable(long long width, long long height) {
    return width > 0 && height > 0 && width <= kMaxLegacySide && height <= kMaxLegacySide &&
           static_cast<std::size_t>(width * height) <= kMaxLegacyPixels;
}

LegacyImage blank(int width, int height) {
    LegacyImage image;
    image.width = width;
    image.height = height;
    image.rgb.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3, 0);
    return image;
}

void put(LegacyImage& image, int x, int y, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    std::uint8_t* p =
        image.rgb.data() + (static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width) +
                            static_cast<std::size_t>(x)) *
                               3;
    p[0] = r;
    p[1] = g;
    p[2] = b;
}

LegacyImage refused(std::string reason) {
    LegacyImage image;
    image.reason = std::move(reason);
    return image;
}

constexpr const char* kCutShort = "it is cut short";
constexpr const char* kBadSize = "its size is damaged or too large";
constexpr const char* kBadIndex = "a pixel names a colour outside its colour map";

}  // namespace

LegacyImage decodePcx(std::span<const std::uint8_t> data) {
    constexpr std::size_t kHeader = 128;
    if (data.size() < kHeader || data[0] != 0x0A || data[2] > 1)
        return refused("it is not a PCX picture");
    const bool rle = data[2] == 1;
    const int bits = data[3];
    const int width = le16(data, 8) - le16(data, 4) + 1;
    const int height = le16(data, 10) - le16(data, 6) + 1;
    const int planes = data[65];
    const int bytesPerLine = le16(data, 66);
    if (!sizeAcceptable(width, height)) return refused(kBadSize);
    // The kinds painters wrote: 1-bit mono, 4 planes of 1 bit (EGA), 4-bit
    // packed two pixels to a byte, 8-bit with a 256-colour palette at the end,
    // and 24 or 32 bits as 3 or 4 planes of 8 bits (the fourth is alpha).
    const bool mono = bits == 1 && planes == 1;
    const bool ega = bits == 1 && planes == 4;
    const bool packed = bits == 4 && planes == 1;
    const bool indexed = bits == 8 && planes == 1;
    const bool truecolour = bits == 8 && (planes == 3 || planes == 4);
    if (!mono && !ega && !packed && !indexed && !truecolour)
        return refused("its kind of PCX (" + std::to_string(bits) + " bits in " +
                       std::to_string(planes) + " planes) is not one the editor reads");
    if (static_cast<long long>(bytesPerLine) * 8 < static_cast<long long>(width) * bits)
        return refused("its lines are shorter than its width");

    std::array<std::uint8_t, 768> palette{};
    if (indexed) {
        if (data.size() < kHeader + 769 || data[data.size() - 769] != 0x0C)
            return refused("it has no colour palette");
        for (std::size_t i = 0; i < 768; ++i) palette[i] = data[data.size() - 768 + i];
    } else {
        for (std::size_t i = 0; i < 48; ++i) palette[i] = data[16 + i];
    }

    const std::size_t lineBytes =
        static_cast<std::size_t>(bytesPerLine) * static_cast<std::size_t>(planes);
    std::vector<std::uint8_t> line(lineBytes);
    LegacyImage image = blank(width, height);
    std::size_t at = kHeader;
    const std::size_t end = indexed ? data.size() - 769 : data.size();
    int run = 0;
    std::uint8_t runValue = 0;
    for (int y = 0; y < height; ++y) {
        for (std::size_t i = 0; i < lineBytes; ++i) {
            if (run == 0) {
                if (at >= end) return refused(kCutShort);
                std::uint8_t b = data[at++];
                if (rle && (b & 0xC0) == 0xC0) {
                    run = b & 0x3F;
                    if (at >= end) return refused(kCutShort);
                    b = data[at++];
                } else {
                    run = 1;
                }
                runValue = b;
                if (run == 0) {
                    --i;  // a run of none: nothing written
                    continue;
                }
            }
            line[i] = runValue;
            --run;
        }
        for (int x = 0; x < width; ++x) {
            const auto ux = static_cast<std::size_t>(x);
            if (truecolour) {
                put(image, x, y, line[ux], line[ux + static_cast<std::size_t>(bytesPerLine)],
                    line[ux + 2 * static_cast<std::size_t>(bytesPerLine)]);
            } else if (indexed || packed) {
                const unsigned index = indexed ? line[ux] : (line[ux / 2] >> (x % 2 ? 0 : 4)) & 15u;
                const std::size_t c = index * 3u;
                put(image, x, y, palette[c], palette[c + 1], palette[c + 2]);
            } else {
                int index = 0;
                for (int p = 0; p < planes; ++p) {
                    const std::uint8_t byte =
                        line[static_cast<std::size_t>(p) * static_cast<std::size_t>(bytesPerLine) +
                             ux / 8];
                    index |= ((byte >> (7 - x % 8)) & 1) << p;
                }
                if (mono) {
                    const std::uint8_t v = index ? 255 : 0;
                    put(image, x, y, v, v, v);
                } else {
                    const std::size_t c = static_cast<std::size_t>(index) * 3;
                    put(image, x, y, palette[c], palette[c + 1], palette[c + 2]);
                }
            }
        }
    }
    return image;
}

LegacyImage decodeSunRaster(std::span<const std::uint8_t> data) {
    constexpr std::size_t kHeader = 32;
    if (data.size() < kHeader || be32(data, 0) != 0x59A66A95u)
        return refused("it is not a Sun raster picture");
    const std::uint32_t width = be32(data, 4);
    const std::uint32_t height = be32(data, 8);
    const std::uint32_t depth = be32(data, 12);
    const std::uint32_t type = be32(data, 20);
    const std::uint32_t mapType = be32(data, 24);
    const std::uint32_t mapLength = be32(data, 28);
    if (!sizeAcceptable(width, height)) return refused(kBadSize);
    if (type > 3 || mapType > 1 || (depth != 1 && depth != 8 && depth != 24 && depth != 32))
        return refused("its kind of Sun raster is not one the editor reads");
    if (mapLength > data.size() - kHeader || (mapType == 0 && mapLength != 0))
        return refused("its colour map is damaged");
    const std::size_t colours = mapType == 1 ? mapLength / 3 : 0;
    auto map = data.subspan(kHeader, mapLength);

    // Rows are padded to 16 bits.
    const std::size_t rowBytes = ((static_cast<std::size_t>(width) * depth + 15) / 16) * 2;
    const std::size_t need = rowBytes * height;
    std::vector<std::uint8_t> pixels;
    auto body = data.subspan(kHeader + mapLength);
    if (type == 2) {
        pixels.reserve(need);
        std::size_t at = 0;
        while (pixels.size() < need && at < body.size()) {
            const std::uint8_t b = body[at++];
            if (b != 0x80) {
                pixels.push_back(b);
                continue;
            }
            if (at >= body.size()) return refused(kCutShort);
            const std::size_t count = body[at++];
            if (count == 0) {
                pixels.push_back(0x80);
                continue;
            }
            if (at >= body.size()) return refused(kCutShort);
            const std::uint8_t v = body[at++];
            for (std::size_t i = 0; i <= count && pixels.size() < need; ++i) pixels.push_back(v);
        }
        if (pixels.size() < need) return refused(kCutShort);
    } else {
        if (body.size() < need) return refused(kCutShort);
        pixels.assign(body.begin(), body.begin() + static_cast<long>(need));
    }

    LegacyImage image = blank(static_cast<int>(width), static_cast<int>(height));
    const bool rgbOrder = type == 3;
    for (std::uint32_t y = 0; y < height; ++y) {
        const std::uint8_t* row = pixels.data() + rowBytes * y;
        for (std::uint32_t x = 0; x < width; ++x) {
            std::uint8_t r = 0, g = 0, b = 0;
            if (depth == 1) {
                const bool set = (row[x / 8] >> (7 - x % 8)) & 1;
                if (colours >= 2) {
                    const std::size_t i = set ? 1 : 0;
                    r = map[i], g = map[colours + i], b = map[2 * colours + i];
                } else {
                    r = g = b = set ? 0 : 255;
                }
            } else if (depth == 8) {
                const std::size_t i = row[x];
                if (colours > 0) {
                    if (i >= colours) return refused(kBadIndex);
                    r = map[i], g = map[colours + i], b = map[2 * colours + i];
                } else {
                    r = g = b = row[x];
                }
            } else {
                const std::uint8_t* p = row + x * (depth / 8) + (depth == 32 ? 1 : 0);
                if (rgbOrder) {
                    r = p[0], g = p[1], b = p[2];
                } else {
                    b = p[0], g = p[1], r = p[2];
                }
            }
            put(image, static_cast<int>(x), static_cast<int>(y), r, g, b);
        }
    }
    return image;
}

LegacyImage decodeTarga(std::span<const std::uint8_t> data) {
    constexpr std::size_t kHeader = 18;
    if (data.size() < kHeader) return refused("it is not a Targa picture");
    const std::size_t idLength = data[0];
    const int mapType = data[1];
    const int type = data[2];
    const int mapFirst = le16(data, 3);
    const int mapLength = le16(data, 5);
    const int mapBits = data[7];
    const int width = le16(data, 12);
    const int height = le16(data, 14);
    const int bits = data[16];
    const bool topFirst = (data[17] & 0x20) != 0;
    const bool rightFirst = (data[17] & 0x10) != 0;
    const bool rle = type >= 9;
    const int kind = rle ? type - 8 : type;  // 1 colour-mapped, 2 true colour, 3 grey
    if (mapType > 1 || kind < 1 || kind > 3) return refused("it is not a Targa picture");
    if (!sizeAcceptable(width, height)) return refused(kBadSize);
    const bool bitsOk = kind == 1   ? (bits == 8 || bits == 16) && mapType == 1
                        : kind == 2 ? bits == 15 || bits == 16 || bits == 24 || bits == 32
                                    : bits == 8;
    if (!bitsOk)
        return refused("its kind of Targa (" + std::to_string(bits) +
                       " bits a pixel) is not one the editor reads");

    // An entry of the colour map, or a true-colour pixel, from its bytes.
    auto colour = [](const std::uint8_t* p, int size, std::uint8_t out[3]) {
        if (size <= 16) {
            const int v = p[0] | (p[1] << 8);
            const auto five = [](int c) { return static_cast<std::uint8_t>((c << 3) | (c >> 2)); };
            out[0] = five((v >> 10) & 31), out[1] = five((v >> 5) & 31), out[2] = five(v & 31);
        } else {
            out[0] = p[2], out[1] = p[1], out[2] = p[0];
        }
    };
    std::size_t at = kHeader + idLength;
    std::vector<std::uint8_t> map;  // RGB of each entry
    if (mapType == 1) {
        if (mapBits != 15 && mapBits != 16 && mapBits != 24 && mapBits != 32)
            return refused("its colour map is damaged");
        const std::size_t entry = (static_cast<std::size_t>(mapBits) + 7) / 8;
        const std::size_t bytes = entry * static_cast<std::size_t>(mapLength);
        if (at > data.size() || data.size() - at < bytes) return refused(kCutShort);
        map.resize(static_cast<std::size_t>(mapLength) * 3);
        for (int i = 0; i < mapLength; ++i)
            colour(data.data() + at + entry * static_cast<std::size_t>(i), mapBits,
                   map.data() + 3 * static_cast<std::size_t>(i));
        at += bytes;
    }

    // The pixels in file order, each as its raw bytes.
    const std::size_t pixelBytes = (static_cast<std::size_t>(bits) + 7) / 8;
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    const std::size_t need = count * pixelBytes;
    std::vector<std::uint8_t> raw;
    if (!rle) {
        if (at > data.size() || data.size() - at < need) return refused(kCutShort);
        raw.assign(data.begin() + static_cast<long>(at),
                   data.begin() + static_cast<long>(at + need));
    } else {
        raw.reserve(need);
        while (raw.size() < need) {
            if (at >= data.size()) return refused(kCutShort);
            const std::uint8_t head = data[at++];
            const std::size_t n = (head & 0x7Fu) + 1u;
            const std::size_t take = head & 0x80 ? pixelBytes : n * pixelBytes;
            if (data.size() - at < take) return refused(kCutShort);
            const std::size_t room = need - raw.size();
            if (head & 0x80) {
                for (std::size_t i = 0; i < n && i * pixelBytes < room; ++i)
                    raw.insert(raw.end(), data.begin() + static_cast<long>(at),
                               data.begin() + static_cast<long>(at + pixelBytes));
            } else {
                raw.insert(raw.end(), data.begin() + static_cast<long>(at),
                           data.begin() + static_cast<long>(at + std::min(take, room)));
            }
            at += take;
        }
    }

    LegacyImage image = blank(width, height);
    for (int row = 0; row < height; ++row) {
        const int y = topFirst ? row : height - 1 - row;
        for (int col = 0; col < width; ++col) {
            const int x = rightFirst ? width - 1 - col : col;
            const std::uint8_t* p =
                raw.data() + (static_cast<std::size_t>(row) * static_cast<std::size_t>(width) +
                              static_cast<std::size_t>(col)) *
                                 pixelBytes;
            std::uint8_t rgb[3];
            if (kind == 3) {
                rgb[0] = rgb[1] = rgb[2] = p[0];
            } else if (kind == 2) {
                colour(p, bits, rgb);
            } else {
                const int index = (bits == 8 ? p[0] : p[0] | (p[1] << 8)) - mapFirst;
                if (index < 0 || index >= mapLength) return refused(kBadIndex);
                const std::uint8_t* c = map.data() + 3 * static_cast<std::size_t>(index);
                rgb[0] = c[0], rgb[1] = c[1], rgb[2] = c[2];
            }
            put(image, x, y, rgb[0], rgb[1], rgb[2]);
        }
    }
    return image;
}

LegacyImage decodeLegacyImage(const std::string& format, std::span<const std::uint8_t> data) {
    if (format == "pcx") return decodePcx(data);
    if (format == "ras" || format == "sun") return decodeSunRaster(data);
    if (format == "tga") return decodeTarga(data);
    return refused("the editor has no reader for ." + format + " pictures");
}

}  // namespace qmx
