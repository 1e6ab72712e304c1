// The unit table reader on arbitrary bytes: it writes only units 1..unit
// count and their step bytes, keeps names to 36 characters without trailing
// blanks, and what it read, written out again, reads back the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "core/edit/UnitTableFile.h"

using namespace qmx;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const Module blank = Module::createEmpty(3, 3, GridOrientation::RowsAligned, 40);
    Module m = blank;
    UnitStepBytes steps;
    const int lines = readUnitTable(std::span(data, size), m, steps);
    if (lines < 0 || lines > m.unitCount) std::abort();
    if (m.units.size() != static_cast<std::size_t>(m.unitCount) + 1) std::abort();
    if (steps.size() != m.units.size()) std::abort();
    if (!(m.units[0].name.empty() && m.units[0].stepImage == blank.units[0].stepImage))
        std::abort();
    for (const UnitDefinition& u : m.units) {
        if (u.name.size() > kUnitNameSize) std::abort();
        if (!u.name.empty() && (u.name.back() == ' ' || u.name.back() == '\t')) std::abort();
    }

    Module again = blank;
    UnitStepBytes againSteps;
    if (readUnitTable(buildUnitTable(m, steps), again, againSteps) != m.unitCount) std::abort();
    for (int i = 1; i <= m.unitCount; ++i) {
        const UnitDefinition& a = m.units[i];
        const UnitDefinition& b = again.units[i];
        if (a.name != b.name || a.stepImage != b.stepImage || a.values != b.values) std::abort();
        if (steps[i] != againSteps[i]) std::abort();
    }
    return 0;
}
