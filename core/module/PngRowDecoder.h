#pragma once
// Decodes a PNG into pixels the caller holds, on worker threads, and tells at
// any moment which rows are there, so that a picture can be shown while the
// rest of it is still being inflated.
//
// It reads 8-bit RGB and grey pictures that are not interlaced and have no
// transparency: the pictures QMX writes (with their band index, whose bands
// are inflated side by side, the bands holding the rows asked for first) and
// most others (one stream, rows in order). For anything else `open` gives
// nothing and the caller uses a general reader.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "core/module/BandedPng.h"
#include "core/module/Bytes.h"

namespace qmx {

// Rows [begin, end) of a picture.
struct RowSpan {
    int begin = 0;
    int end = 0;
    bool empty() const { return end <= begin; }
};

// The rows of `now` that `before` did not hold: what arrived between two
// looks at a decoding (both lists in order, runs not overlapping).
std::vector<RowSpan> rowsAdded(const std::vector<RowSpan>& before, const std::vector<RowSpan>& now);

class PngRowDecoder {
public:
    enum class State { Running, Done, Failed };

    // Reads the file's structure: header, chunks, band index. Nothing when the
    // bytes are not a picture this reader handles (with `bandsOnly`, one
    // without a band index too), or its structure is damaged; `maxSide`
    // limits width and height.
    static std::unique_ptr<PngRowDecoder> open(Bytes file, int maxSide, bool bandsOnly = false);

    // Stops the workers and waits for them.
    ~PngRowDecoder();
    PngRowDecoder(const PngRowDecoder&) = delete;
    PngRowDecoder& operator=(const PngRowDecoder&) = delete;

    int width() const { return m_width; }
    int height() const { return m_height; }
    PngResolution resolution() const { return m_resolution; }

    // Starts decoding into `pixels` (rows `stride` pixels apart, 0xFFRRGGBB),
    // which stay valid until this decoder is gone. The bands holding `first`
    // go first. When the decoding fails, the rows it did not reach get
    // `blank`, so that every row can be read once it has ended. Once only.
    void start(std::uint32_t* pixels, std::size_t stride, RowSpan first, std::uint32_t blank);

    // The bands not started yet that hold these rows go next.
    void prefer(RowSpan rows);

    // The rows that may be read now, in order, not overlapping; all rows once
    // the decoding has ended (failed rows blank).
    std::vector<RowSpan> readyRows() const;
    bool ready(RowSpan rows) const;
    // Blocks until the rows are decoded (true) or the decoding ended without
    // them (false).
    bool waitFor(RowSpan rows);
    // Blocks until the decoding has ended: Done, or Failed (damaged data, or stopped).
    State wait();
    State state() const { return m_state.load(std::memory_order_acquire); }

private:
    struct Piece {               // one IDAT chunk's data
        std::size_t file = 0;    // where it is in the file
        std::size_t stream = 0;  // where it starts in the zlib stream
        std::size_t length = 0;
    };
    struct Band {
        int first = 0;
        int end = 0;
        std::size_t from = 0;  // its deflate data in the zlib stream
        std::size_t to = 0;
        bool taken = false;  // a worker has it (under m_mutex)
    };

    PngRowDecoder() = default;
    void work();
    int takeBand();
    bool decodeBand(std::size_t index);
    void publish(std::size_t band, int rows, bool notify);
    bool stopping() const;
    bool readyLocked(RowSpan rows) const;

    Bytes m_file;
    std::vector<Piece> m_pieces;
    std::vector<Band> m_bands;
    std::unique_ptr<std::atomic<int>[]> m_done;  // rows decoded, by band
    int m_width = 0;
    int m_height = 0;
    int m_channels = 3;  // 3 RGB, 1 grey
    PngResolution m_resolution;

    std::uint32_t* m_pixels = nullptr;
    std::size_t m_stride = 0;
    std::uint32_t m_blank = 0;

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<RowSpan> m_preferred;  // newest first (under m_mutex)
    int m_running = 0;                 // workers still at work (under m_mutex)
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_failed{false};
    std::atomic<State> m_state{State::Running};
    std::vector<std::thread> m_workers;
};

}  // namespace qmx
