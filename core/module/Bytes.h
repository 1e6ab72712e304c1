#pragma once
// Reading and writing the fixed-width fields of the system's files.
// ByteReader never reads past its data: a short read sets a flag and yields zeros.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qmx {

using Bytes = std::vector<std::uint8_t>;

// Base-255 numbers: high then low, value = high x 255 + low.
constexpr int decodeBase255(std::uint8_t high, std::uint8_t low) {
    return high * 255 + low;
}

// The split used by most writers: 255 becomes 1, 0.
constexpr std::pair<std::uint8_t, std::uint8_t> splitBase255(int value) {
    const int high = value / 255;
    return {static_cast<std::uint8_t>(high), static_cast<std::uint8_t>(value - high * 255)};
}
// The split used where a value up to 255 is written as 0, value (the module's
// unit count and MapTop, every two-byte number of the saved game).
constexpr std::pair<std::uint8_t, std::uint8_t> splitBase255Low(int value) {
    if (value <= 255) return {0, static_cast<std::uint8_t>(value)};
    return splitBase255(value);
}

constexpr int kMaxBase255 = 254 * 255 + 254;  // 65,024

// The text of a NUL-padded field: its bytes up to the first NUL (all of them
// when the text fills the field).
inline std::string_view fieldText(std::span<const std::uint8_t> field) {
    // Fields are short (at most a few hundred bytes, mostly under 40) and
    // their texts shorter still: a plain scan beats a library call here.
    std::size_t n = 0;
    while (n < field.size() && field[n] != 0) ++n;
    return {reinterpret_cast<const char*>(field.data()), n};
}

class ByteReader {
public:
    explicit ByteReader(std::span<const std::uint8_t> data, std::size_t pos = 0)
        : m_data(data), m_pos(pos > data.size() ? data.size() : pos) {}

    std::size_t pos() const { return m_pos; }
    std::size_t remaining() const { return m_data.size() - m_pos; }
    bool atEnd() const { return m_pos >= m_data.size(); }
    // True once any read came up short.
    bool shortRead() const { return m_short; }

    std::uint8_t u8() {
        if (m_pos >= m_data.size()) {
            m_short = true;
            return 0;
        }
        return m_data[m_pos++];
    }
    int base255() {
        const std::uint8_t high = u8();
        return decodeBase255(high, u8());
    }
    int bigEndian16() {
        const int high = u8();
        return high * 256 + u8();
    }
    // A fixed field of `size` bytes, up to the first NUL.
    std::string text(std::size_t size) { return std::string(fieldText(raw(size))); }
    // `size` raw bytes (fewer at the end of the data; shortRead() tells).
    std::span<const std::uint8_t> raw(std::size_t size) {
        const std::size_t n = size < remaining() ? size : remaining();
        if (n < size) m_short = true;
        auto out = m_data.subspan(m_pos, n);
        m_pos += n;
        return out;
    }
    void skip(std::size_t size) { raw(size); }

private:
    std::span<const std::uint8_t> m_data;
    std::size_t m_pos = 0;
    bool m_short = false;
};

class ByteWriter {
public:
    Bytes& bytes() { return m_bytes; }
    const Bytes& bytes() const { return m_bytes; }
    std::size_t size() const { return m_bytes.size(); }

    void u8(int v) { m_bytes.push_back(static_cast<std::uint8_t>(v)); }
    void base255(int v);     // 255 -> 1, 0
    void base255Low(int v);  // 255 -> 0, 255
    void bigEndian16(int v) {
        u8((v >> 8) & 0xFF);
        u8(v & 0xFF);
    }
    // A text in a NUL-padded field of `size` bytes; longer texts are cut.
    void text(std::string_view s, std::size_t size);
    void raw(std::span<const std::uint8_t> b) { m_bytes.insert(m_bytes.end(), b.begin(), b.end()); }
    void raw(std::string_view s) { m_bytes.insert(m_bytes.end(), s.begin(), s.end()); }
    void fill(std::uint8_t v, std::size_t n) { m_bytes.insert(m_bytes.end(), n, v); }

private:
    Bytes m_bytes;
};

// Drops trailing white space: blank, tab, LF, vertical tab, form feed and CR
// (the C white-space characters, decided without the locale).
std::string trimRight(std::string s);
inline std::string_view trimRightView(std::string_view s) {
    while (!s.empty() && (s.back() == ' ' || (s.back() >= '\t' && s.back() <= '\r')))
        s.remove_suffix(1);
    return s;
}

}  // namespace qmx
