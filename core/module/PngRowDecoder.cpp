#include "core/module/PngRowDecoder.h"

#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace qmx {

namespace {

constexpr std::size_t kMaxBands = 16;
// Waiters hear of new rows every so many rows of a band, and at its end.
constexpr int kNotifyRows = 32;

std::uint32_t be32(const std::uint8_t* p) {
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) |
           std::uint32_t(p[3]);
}

// The Paeth predictor, written so that the compiler picks without branches.
inline int paeth(int a, int b, int c) {
    const int pa = std::abs(b - c), pb = std::abs(a - c), pc = std::abs(a + b - 2 * c);
    int best = a, distance = pa;
    if (pb < distance) best = b, distance = pb;
    if (pc < distance) best = c;
    return best;
}

// Undoes the filter of one row of `bytes` bytes in place, `Bpp` bytes a
// pixel; `prior` is the unfiltered row above (zeros above a band's first
// row). The first pixel has nothing on its left: its bytes go first, so the
// loops over the rest need no test.
template <std::size_t Bpp>
bool unfilter(int type, std::uint8_t* row, const std::uint8_t* prior, std::size_t bytes) {
    const std::size_t first = std::min(Bpp, bytes);
    switch (type) {
        case 0:
            return true;
        case 1:
            for (std::size_t i = Bpp; i < bytes; ++i)
                row[i] = static_cast<std::uint8_t>(row[i] + row[i - Bpp]);
            return true;
        case 2:
            for (std::size_t i = 0; i < bytes; ++i)
                row[i] = static_cast<std::uint8_t>(row[i] + prior[i]);
            return true;
        case 3:
            for (std::size_t i = 0; i < first; ++i)
                row[i] = static_cast<std::uint8_t>(row[i] + (prior[i] >> 1));
            for (std::size_t i = Bpp; i < bytes; ++i)
                row[i] = static_cast<std::uint8_t>(row[i] + ((row[i - Bpp] + prior[i]) >> 1));
            return true;
        case 4:
            // With nothing on the left the predictor is the byte above.
            for (std::size_t i = 0; i < first; ++i)
                row[i] = static_cast<std::uint8_t>(row[i] + prior[i]);
            for (std::size_t i = Bpp; i < bytes; ++i)
                row[i] = static_cast<std::uint8_t>(row[i] +
                                                   paeth(row[i - Bpp], prior[i], prior[i - Bpp]));
            return true;
        default:
            return false;
    }
}

bool intersects(RowSpan a, int first, int end) {
    return a.begin < end && first < a.end;
}

}  // namespace

std::unique_ptr<PngRowDecoder> PngRowDecoder::open(Bytes file, int maxSide, bool bandsOnly) {
    static constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (file.size() < 8 || std::memcmp(file.data(), kSignature, 8) != 0) return nullptr;
    std::unique_ptr<PngRowDecoder> d(new PngRowDecoder);
    std::size_t at = 8, streamSize = 0;
    std::vector<PngBand> bands;
    bool header = false, end = false, palette = false;
    while (!end) {
        if (file.size() - at < 12) return nullptr;
        const std::uint32_t length = be32(file.data() + at);
        const std::string_view type(reinterpret_cast<const char*>(file.data() + at + 4), 4);
        if (length > file.size() - at - 12) return nullptr;
        const std::uint8_t* data = file.data() + at + 8;
        if (type == "IHDR") {
            // 8-bit RGB or grey, deflate, standard filters, not interlaced.
            if (header || length != 13 || data[8] != 8 || (data[9] != 2 && data[9] != 0) ||
                data[10] || data[11] || data[12])
                return nullptr;
            const std::uint32_t w = be32(data), h = be32(data + 4);
            if (w == 0 || h == 0 || w > std::uint32_t(maxSide) || h > std::uint32_t(maxSide))
                return nullptr;
            d->m_width = static_cast<int>(w);
            d->m_height = static_cast<int>(h);
            d->m_channels = data[9] == 2 ? 3 : 1;
            header = true;
        } else if (!header) {
            return nullptr;
        } else if (type == kBandChunk) {
            if (length < 8 || be32(data) != 1) return nullptr;
            const std::uint32_t n = be32(data + 4);
            if (n == 0 || n > kMaxBands || length != 8 + 8 * n) return nullptr;
            bands.clear();
            for (std::uint32_t i = 0; i < n; ++i)
                bands.push_back({be32(data + 8 + 8 * i), be32(data + 12 + 8 * i)});
        } else if (type == "pHYs") {
            if (length == 9 && data[8] == 1) d->m_resolution = {be32(data), be32(data + 4)};
        } else if (type == "IDAT") {
            d->m_pieces.push_back({at + 8, streamSize, length});
            streamSize += length;
        } else if (type == "IEND") {
            end = true;
        } else if (type == "tRNS") {
            return nullptr;  // a transparent colour: the general reader keeps it
        } else if (type == "PLTE") {
            palette = true;
        } else if ((type[0] & 0x20) == 0) {
            return nullptr;  // a critical chunk this reader does not know
        }
        at += 12 + length;
    }
    const int height = d->m_height;
    if (streamSize < 6 || (palette && d->m_channels == 1)) return nullptr;
    // Deflate packs at most 1032 bytes into one: a stream too short for the
    // rows it claims is damaged, and no picture is allocated for it.
    const std::size_t rawSize =
        static_cast<std::size_t>(height) *
        (static_cast<std::size_t>(d->m_width) * static_cast<std::size_t>(d->m_channels) + 1);
    if (rawSize / 1032 > streamSize) return nullptr;
    const std::size_t streamEnd = streamSize - 4;  // the Adler-32 check value follows
    if (bands.empty()) {
        if (bandsOnly) return nullptr;
        // One stream: its zlib header (deflate, no preset dictionary), then the rows.
        std::uint8_t zhead[2];
        for (std::size_t i = 0, p = 0; i < 2; ++i) {
            while (d->m_pieces[p].stream + d->m_pieces[p].length <= i) ++p;
            zhead[i] = file[d->m_pieces[p].file + i - d->m_pieces[p].stream];
        }
        if ((zhead[0] & 0x0F) != 8 || (zhead[0] >> 4) > 7 || (zhead[1] & 0x20) ||
            ((zhead[0] << 8) | zhead[1]) % 31 != 0)
            return nullptr;
        d->m_bands.push_back({0, height, 2, streamEnd});
    } else {
        // The bands: from row 0 and offset 2 (after the zlib header) on, each
        // later than the one before, inside the picture and the stream.
        if (bands[0].firstRow != 0 || bands[0].offset != 2) return nullptr;
        for (std::size_t i = 1; i < bands.size(); ++i) {
            if (bands[i].firstRow <= bands[i - 1].firstRow ||
                bands[i].firstRow >= std::uint32_t(height) ||
                bands[i].offset <= bands[i - 1].offset || bands[i].offset >= streamEnd)
                return nullptr;
        }
        for (std::size_t i = 0; i < bands.size(); ++i) {
            const bool last = i + 1 == bands.size();
            d->m_bands.push_back({static_cast<int>(bands[i].firstRow),
                                  last ? height : static_cast<int>(bands[i + 1].firstRow),
                                  bands[i].offset, last ? streamEnd : bands[i + 1].offset});
        }
    }
    d->m_done = std::make_unique<std::atomic<int>[]>(d->m_bands.size());
    for (std::size_t i = 0; i < d->m_bands.size(); ++i) d->m_done[i].store(0);
    d->m_file = std::move(file);
    return d;
}

PngRowDecoder::~PngRowDecoder() {
    m_stop.store(true);
    for (std::thread& t : m_workers)
        if (t.joinable()) t.join();
}

void PngRowDecoder::start(std::uint32_t* pixels, std::size_t stride, RowSpan first,
                          std::uint32_t blank) {
    if (!m_workers.empty() || !pixels || stride < std::size_t(m_width)) return;
    m_pixels = pixels;
    m_stride = stride;
    m_blank = blank;
    if (!first.empty()) m_preferred.push_back(first);
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t n = std::min<std::size_t>(m_bands.size(), cores);
    m_running = static_cast<int>(n);
    for (std::size_t i = 0; i < n; ++i) m_workers.emplace_back([this] { work(); });
}

void PngRowDecoder::prefer(RowSpan rows) {
    if (rows.empty()) return;
    std::lock_guard lock(m_mutex);
    m_preferred.insert(m_preferred.begin(), rows);
    if (m_preferred.size() > 4) m_preferred.resize(4);
}

bool PngRowDecoder::stopping() const {
    return m_stop.load(std::memory_order_relaxed) || m_failed.load(std::memory_order_relaxed);
}

int PngRowDecoder::takeBand() {
    std::lock_guard lock(m_mutex);
    auto take = [&](std::size_t i) {
        m_bands[i].taken = true;
        return static_cast<int>(i);
    };
    for (const RowSpan& rows : m_preferred)
        for (std::size_t i = 0; i < m_bands.size(); ++i)
            if (!m_bands[i].taken && intersects(rows, m_bands[i].first, m_bands[i].end))
                return take(i);
    for (std::size_t i = 0; i < m_bands.size(); ++i)
        if (!m_bands[i].taken) return take(i);
    return -1;
}

void PngRowDecoder::work() {
    for (int band = takeBand(); band >= 0 && !stopping(); band = takeBand())
        if (!decodeBand(static_cast<std::size_t>(band))) m_failed.store(true);
    std::lock_guard lock(m_mutex);
    if (--m_running > 0) return;
    // The last worker out: every row is written by now, or never will be.
    const bool whole = !m_failed.load() && !m_stop.load();
    if (!whole && !m_stop.load()) {
        for (std::size_t b = 0; b < m_bands.size(); ++b)
            for (int y = m_bands[b].first + m_done[b].load(); y < m_bands[b].end; ++y)
                std::fill_n(m_pixels + static_cast<std::size_t>(y) * m_stride, m_width, m_blank);
    }
    Bytes().swap(m_file);
    m_state.store(whole ? State::Done : State::Failed, std::memory_order_release);
    m_changed.notify_all();
}

void PngRowDecoder::publish(std::size_t band, int rows, bool notify) {
    m_done[band].store(rows, std::memory_order_release);
    if (!notify) return;
    { std::lock_guard lock(m_mutex); }
    m_changed.notify_all();
}

bool PngRowDecoder::decodeBand(std::size_t index) {
    const Band& band = m_bands[index];
    const std::size_t bpp = static_cast<std::size_t>(m_channels);
    const std::size_t rowBytes = static_cast<std::size_t>(m_width) * bpp;
    std::vector<std::uint8_t> line(rowBytes + 1), prior(rowBytes, 0);
    z_stream z{};
    if (inflateInit2(&z, -15) != Z_OK) return false;
    // The band's data, fed to inflate piece by piece as the IDAT chunks hold it.
    std::size_t next = band.from, piece = 0;
    auto feed = [&] {
        while (piece < m_pieces.size() && m_pieces[piece].stream + m_pieces[piece].length <= next)
            ++piece;
        if (piece == m_pieces.size() || next >= band.to) return false;
        const Piece& p = m_pieces[piece];
        const std::size_t to = std::min(band.to, p.stream + p.length);
        z.next_in = m_file.data() + p.file + (next - p.stream);
        z.avail_in = static_cast<uInt>(to - next);
        next = to;
        return true;
    };
    bool ok = true;
    for (int y = band.first; y < band.end && ok; ++y) {
        if (stopping()) {
            ok = false;
            break;
        }
        z.next_out = line.data();
        z.avail_out = static_cast<uInt>(line.size());
        while (ok && z.avail_out > 0) {
            if (z.avail_in == 0 && !feed()) {
                ok = false;
                break;
            }
            const int r = inflate(&z, Z_SYNC_FLUSH);
            if (r == Z_STREAM_END && z.avail_out > 0) ok = false;
            if (r == Z_STREAM_END) break;
            if (r != Z_OK && !(r == Z_BUF_ERROR && z.avail_in == 0)) ok = false;
        }
        // A band's first row stands alone: its filter needs no row above.
        if (!ok || (y == band.first && band.first > 0 && line[0] > 1)) {
            ok = false;
            break;
        }
        std::uint32_t* out = m_pixels + static_cast<std::size_t>(y) * m_stride;
        const std::uint8_t* p = line.data() + 1;
        if (bpp == 3) {
            if (!unfilter<3>(line[0], line.data() + 1, prior.data(), rowBytes)) ok = false;
            for (int x = 0; ok && x < m_width; ++x, p += 3)
                out[x] =
                    0xFF000000u | (std::uint32_t(p[0]) << 16) | (std::uint32_t(p[1]) << 8) | p[2];
        } else {
            if (!unfilter<1>(line[0], line.data() + 1, prior.data(), rowBytes)) ok = false;
            for (int x = 0; ok && x < m_width; ++x, ++p)
                out[x] = 0xFF000000u | (std::uint32_t(*p) * 0x010101u);
        }
        if (!ok) break;
        std::memcpy(prior.data(), line.data() + 1, rowBytes);
        const int done = y + 1 - band.first;
        publish(index, done, done % kNotifyRows == 0 || y + 1 == band.end);
    }
    inflateEnd(&z);
    return ok;
}

bool PngRowDecoder::readyLocked(RowSpan rows) const {
    if (state() != State::Running) return true;
    for (std::size_t b = 0; b < m_bands.size(); ++b) {
        const Band& band = m_bands[b];
        if (!intersects(rows, band.first, band.end)) continue;
        const int need = std::min(rows.end, band.end) - band.first;
        if (m_done[b].load(std::memory_order_acquire) < need) return false;
    }
    return true;
}

std::vector<RowSpan> PngRowDecoder::readyRows() const {
    if (state() != State::Running) return {{0, m_height}};
    std::vector<RowSpan> out;
    for (std::size_t b = 0; b < m_bands.size(); ++b) {
        const int done = m_done[b].load(std::memory_order_acquire);
        if (done == 0) continue;
        const RowSpan span{m_bands[b].first, m_bands[b].first + done};
        if (!out.empty() && out.back().end == span.begin) {
            out.back().end = span.end;
        } else {
            out.push_back(span);
        }
    }
    return out;
}

bool PngRowDecoder::ready(RowSpan rows) const {
    return readyLocked(rows);
}

bool PngRowDecoder::waitFor(RowSpan rows) {
    rows.begin = std::max(rows.begin, 0);
    rows.end = std::min(rows.end, m_height);
    if (rows.empty()) return true;
    if (m_workers.empty()) return state() == State::Done;
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [&] { return readyLocked(rows) || state() != State::Running; });
    if (state() == State::Failed) {
        // Rows decoded before the failure count; the blank ones do not.
        for (std::size_t b = 0; b < m_bands.size(); ++b) {
            const Band& band = m_bands[b];
            if (intersects(rows, band.first, band.end) &&
                m_done[b].load() < std::min(rows.end, band.end) - band.first)
                return false;
        }
    }
    return true;
}

PngRowDecoder::State PngRowDecoder::wait() {
    if (m_workers.empty() || state() != State::Running) return state();
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [&] { return state() != State::Running; });
    return state();
}

std::vector<RowSpan> rowsAdded(const std::vector<RowSpan>& before,
                               const std::vector<RowSpan>& now) {
    std::vector<RowSpan> added;
    for (const RowSpan& run : now) {
        std::vector<RowSpan> parts{run};
        for (const RowSpan& old : before) {
            std::vector<RowSpan> left;
            for (const RowSpan& p : parts) {
                if (old.end <= p.begin || p.end <= old.begin) {
                    left.push_back(p);
                    continue;
                }
                if (p.begin < old.begin) left.push_back({p.begin, old.begin});
                if (old.end < p.end) left.push_back({old.end, p.end});
            }
            parts = std::move(left);
        }
        added.insert(added.end(), parts.begin(), parts.end());
    }
    return added;
}

}  // namespace qmx
