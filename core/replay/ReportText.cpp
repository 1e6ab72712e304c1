#include "core/replay/ReportText.h"

namespace qmx {

void ReportText::line(std::string_view text) {
    m_out += text;
    m_out += kLineEnd;
}

void ReportText::beginList(std::string_view start) {
    m_list.assign(start);
    m_listNames = 0;
}

void ReportText::addToList(std::string_view name) {
    // A line that holds no name yet is never written empty: a name longer
    // than the width simply stands alone on it.
    if (m_listNames > 0 && m_list.size() + name.size() + kSeparator.size() > kWrapWidth) {
        writeListLine();
        m_list.clear();
        m_listNames = 0;
    }
    m_list += name;
    m_list += kSeparator;
    ++m_listNames;
}

void ReportText::endList() {
    writeListLine();
    m_list.clear();
    m_listNames = 0;
}

void ReportText::writeListLine() {
    if (m_list.ends_with(kSeparator)) m_list.resize(m_list.size() - kSeparator.size());
    line(m_list);
}

}  // namespace qmx
