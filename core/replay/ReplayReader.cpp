#include "core/replay/ReplayReader.h"

namespace qmx {

std::optional<ReplayPair> ReplayReader::pair() {
    if (remaining() < 2) {
        // A lone last byte is half a pair: it is used up with the end.
        m_pos = m_data.size();
        m_endHit = true;
        return std::nullopt;
    }
    ReplayPair p{m_data[m_pos], m_data[m_pos + 1]};
    m_pos += 2;
    return p;
}

std::optional<ReplayPair> ReplayReader::peekPair() const {
    if (remaining() < 2) return std::nullopt;
    return ReplayPair{m_data[m_pos], m_data[m_pos + 1]};
}

std::optional<std::uint8_t> ReplayReader::byte() {
    if (atEnd()) {
        m_endHit = true;
        return std::nullopt;
    }
    return m_data[m_pos++];
}

std::optional<std::vector<std::uint8_t>> ReplayReader::bytes(std::size_t n) {
    if (remaining() < n) {
        m_pos = m_data.size();
        m_endHit = true;
        return std::nullopt;
    }
    std::vector<std::uint8_t> out(m_data.begin() + static_cast<std::ptrdiff_t>(m_pos),
                                  m_data.begin() + static_cast<std::ptrdiff_t>(m_pos + n));
    m_pos += n;
    return out;
}

std::optional<Hex> ReplayReader::hex() {
    auto p = pair();
    if (!p) return std::nullopt;
    return Hex{p->first, p->second};
}

UnitListRead ReplayReader::unitList(ReplayCode terminator) {
    UnitListRead out;
    for (;;) {
        auto p = peekPair();
        if (!p) {
            pair();  // sets the end flag
            out.end = ListEnd::EndOfRecord;
            return out;
        }
        if (p->isCommand()) {
            if (p->second == codeByte(terminator)) {
                m_pos += 2;
                out.end = ListEnd::Terminator;
            } else {
                out.end = ListEnd::OtherCommand;
            }
            return out;
        }
        m_pos += 2;
        out.units.push_back(unitFromReference(p->first, p->second));
    }
}

}  // namespace qmx
