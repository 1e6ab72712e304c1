#include "graphics/PngEncoder.h"

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <future>
#include <vector>

#include "core/module/BandedPng.h"

namespace qmx {

namespace {

// zlib's level 3 on filtered rows: on a map picture about a third of the time
// of libpng's default on one core, for a file at most a sixth larger.
constexpr int kDeflateLevel = 3;

void put32(QByteArray& out, std::uint32_t v) {
    const char b[4] = {static_cast<char>(v >> 24), static_cast<char>(v >> 16),
                       static_cast<char>(v >> 8), static_cast<char>(v)};
    out.append(b, 4);
}

void chunk(QByteArray& out, const char type[4], const char* data, std::size_t size) {
    put32(out, static_cast<std::uint32_t>(size));
    const int start = static_cast<int>(out.size());
    out.append(type, 4);
    out.append(data, static_cast<qsizetype>(size));
    const auto* bytes = reinterpret_cast<const Bytef*>(out.constData() + start);
    put32(out, static_cast<std::uint32_t>(crc32(0L, bytes, static_cast<uInt>(size + 4))));
}

int paeth(int a, int b, int c) {
    const int p = a + b - c;
    const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

// One band of rows, filtered (each row by whichever of Sub, Up and Paeth
// gives the smallest sum, as libpng chooses) and deflated as raw deflate
// blocks; the last band ends the stream.
struct Band {
    QByteArray deflated;
    uLong adler = 1;
    std::size_t rawSize = 0;
    bool ok = false;
};

Band encodeBand(const QImage& image, int first, int end, bool last) {
    Band band;
    const int width = image.width();
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
    std::vector<std::uint8_t> row(rowBytes), prior(rowBytes, 0), filtered(rowBytes + 1);
    std::vector<std::uint8_t> candidate[3];
    for (auto& c : candidate) c.resize(rowBytes);
    auto rgbOf = [&](int y, std::vector<std::uint8_t>& to) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < width; ++x) {
            to[3 * static_cast<std::size_t>(x)] = static_cast<std::uint8_t>(qRed(line[x]));
            to[3 * static_cast<std::size_t>(x) + 1] = static_cast<std::uint8_t>(qGreen(line[x]));
            to[3 * static_cast<std::size_t>(x) + 2] = static_cast<std::uint8_t>(qBlue(line[x]));
        }
    };
    if (first > 0) rgbOf(first - 1, prior);

    z_stream z{};
    if (deflateInit2(&z, kDeflateLevel, Z_DEFLATED, -15, 8, Z_FILTERED) != Z_OK) return band;
    std::vector<std::uint8_t> out(1 << 20);
    auto feed = [&](const std::uint8_t* data, std::size_t size, int flush) {
        z.next_in = const_cast<Bytef*>(data);
        z.avail_in = static_cast<uInt>(size);
        do {
            z.next_out = out.data();
            z.avail_out = static_cast<uInt>(out.size());
            if (deflate(&z, flush) == Z_STREAM_ERROR) return false;
            band.deflated.append(reinterpret_cast<const char*>(out.data()),
                                 static_cast<qsizetype>(out.size() - z.avail_out));
        } while (z.avail_out == 0);
        return true;
    };
    bool ok = true;
    for (int y = first; y < end && ok; ++y) {
        rgbOf(y, row);
        std::uint64_t sums[3] = {0, 0, 0};
        for (std::size_t i = 0; i < rowBytes; ++i) {
            const int a = i >= 3 ? row[i - 3] : 0;
            const int b = prior[i];
            const int c = i >= 3 ? prior[i - 3] : 0;
            const std::uint8_t v[3] = {static_cast<std::uint8_t>(row[i] - a),
                                       static_cast<std::uint8_t>(row[i] - b),
                                       static_cast<std::uint8_t>(row[i] - paeth(a, b, c))};
            for (int k = 0; k < 3; ++k) {
                candidate[k][i] = v[k];
                sums[k] += v[k] < 128 ? v[k] : 256 - v[k];
            }
        }
        // A band's first row is filtered without the row above, so that the
        // bands can be inflated apart.
        const int best =
            y == first && first > 0 ? 0 : static_cast<int>(std::min_element(sums, sums + 3) - sums);
        filtered[0] = static_cast<std::uint8_t>(best == 0 ? 1 : best == 1 ? 2 : 4);
        std::copy(candidate[best].begin(), candidate[best].end(), filtered.begin() + 1);
        band.adler = adler32(band.adler, filtered.data(), static_cast<uInt>(filtered.size()));
        band.rawSize += filtered.size();
        ok = feed(filtered.data(), filtered.size(), Z_NO_FLUSH);
        row.swap(prior);
    }
    // A band that is not the last ends on a byte boundary, open for the next.
    ok = ok && feed(nullptr, 0, last ? Z_FINISH : Z_SYNC_FLUSH);
    deflateEnd(&z);
    band.ok = ok;
    return band;
}

}  // namespace

QByteArray encodePng(const QImage& source, int threads) {
    if (source.isNull()) return {};
    const QImage image =
        source.format() == QImage::Format_RGB32 || source.format() == QImage::Format_ARGB32
            ? source
            : source.convertToFormat(QImage::Format_RGB32);
    const int height = image.height();
    const int bands = std::clamp(threads, 1, std::max(1, height / 64));
    std::vector<std::future<Band>> work;
    for (int b = 0; b < bands; ++b) {
        const int first = static_cast<int>(static_cast<long long>(height) * b / bands);
        const int end = static_cast<int>(static_cast<long long>(height) * (b + 1) / bands);
        const bool last = b == bands - 1;
        work.push_back(
            std::async(b == 0 ? std::launch::deferred : std::launch::async,
                       [&image, first, end, last] { return encodeBand(image, first, end, last); }));
    }
    std::vector<Band> done;
    for (auto& w : work) done.push_back(w.get());

    QByteArray stream("\x78\x01", 2);  // zlib header: deflate, 32K window, fastest
    uLong adler = 1;
    std::vector<PngBand> index;
    for (int b = 0; b < bands; ++b) {
        const Band& band = done[static_cast<std::size_t>(b)];
        if (!band.ok) return {};
        index.push_back({static_cast<std::uint32_t>(static_cast<long long>(height) * b / bands),
                         static_cast<std::uint32_t>(stream.size())});
        stream.append(band.deflated);
        adler = adler32_combine(adler, band.adler, static_cast<z_off_t>(band.rawSize));
    }
    put32(stream, static_cast<std::uint32_t>(adler));

    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    QByteArray header;
    put32(header, static_cast<std::uint32_t>(image.width()));
    put32(header, static_cast<std::uint32_t>(height));
    header.append("\x08\x02\x00\x00\x00",
                  5);  // 8 bits, RGB, deflate, adaptive filters, no interlace
    chunk(png, "IHDR", header.constData(), static_cast<std::size_t>(header.size()));
    if (image.dotsPerMeterX() > 0 && image.dotsPerMeterY() > 0) {
        QByteArray phys;
        put32(phys, static_cast<std::uint32_t>(image.dotsPerMeterX()));
        put32(phys, static_cast<std::uint32_t>(image.dotsPerMeterY()));
        phys.append('\x01');  // per metre
        chunk(png, "pHYs", phys.constData(), static_cast<std::size_t>(phys.size()));
    }
    const std::vector<std::uint8_t> bandData = bandChunkData(index);
    chunk(png, kBandChunk, reinterpret_cast<const char*>(bandData.data()), bandData.size());
    constexpr qsizetype kIdatSize = qsizetype(1) << 23;
    for (qsizetype at = 0; at < stream.size(); at += kIdatSize) {
        const qsizetype size = std::min(kIdatSize, stream.size() - at);
        chunk(png, "IDAT", stream.constData() + at, static_cast<std::size_t>(size));
    }
    chunk(png, "IEND", nullptr, 0);
    return png;
}

}  // namespace qmx
