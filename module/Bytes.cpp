#include "module/Bytes.h"

#include <algorithm>
#include <cstring>

namespace qmx {

std::uint8_t ByteReader::u8() {
    if (m_pos >= m_data.size()) {
        m_short = true;
        return 0;
    }
    return m_data[m_pos++];
}

int ByteReader::base255() {
    const std::uint8_t high = u8();
    const std::uint8_t low = u8();
    return decodeBase255(high, low);
}

int ByteReader::bigEndian16() {
    const int high = u8();
    return high * 256 + u8();
}

std::span<const std::uint8_t> ByteReader::raw(std::size_t size) {
    const std::size_t n = std::min(size, remaining());
    if (n < size) m_short = true;
    auto out = m_data.subspan(m_pos, n);
    m_pos += n;
    return out;
}

std::string ByteReader::text(std::size_t size) {
    auto field = raw(size);
    auto end = std::find(field.begin(), field.end(), std::uint8_t{0});
    return std::string(field.begin(), end);
}

void ByteWriter::base255(int v) {
    auto [h, l] = splitBase255(v);
    u8(h);
    u8(l);
}

void ByteWriter::base255Low(int v) {
    auto [h, l] = splitBase255Low(v);
    u8(h);
    u8(l);
}

void ByteWriter::text(std::string_view s, std::size_t size) {
    const std::size_t n = std::min(s.size(), size);
    m_bytes.insert(m_bytes.end(), s.begin(), s.begin() + static_cast<std::ptrdiff_t>(n));
    m_bytes.insert(m_bytes.end(), size - n, 0);
}

std::string trimRight(std::string s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' || s.back() == '\n'))
        s.pop_back();
    return s;
}

}  // namespace qmx
