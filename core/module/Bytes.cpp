#include "core/module/Bytes.h"

#include <algorithm>
#include <cstring>

namespace qmx {

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
    s.resize(trimRightView(s).size());
    return s;
}

}  // namespace qmx
