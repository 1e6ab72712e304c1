#include "core/edit/SetupTable.h"

#include <algorithm>
#include <array>
#include <optional>
#include <set>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "core/edit/TableFileText.h"
#include "core/game/UnitRules.h"
#include "core/module/Hex.h"

namespace qmx {
namespace {

enum Column { kUnit, kHex, kStep, kFace, kFacing, kHiddenBy, kColumnCount, kIgnored };

constexpr std::size_t kMaxFields = 64;
// Longer than any unit or hex name, so that a longer text matches none.
constexpr std::size_t kMaxField = 80;
// The report keeps this many lines; the rest are counted.
constexpr std::size_t kMaxReportLines = 1000;

std::string_view trimmed(std::string_view s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

std::string folded(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

// A whole number of at most six digits, blanks around it allowed.
std::optional<int> wholeNumber(std::string_view s) {
    s = trimmed(s);
    if (s.empty() || s.size() > 6) return std::nullopt;
    int value = 0;
    for (const char c : s) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

// The text as Latin-1 when it is UTF-8 with characters beyond ASCII that all
// fit in Latin-1 (a table saved as UTF-8 for a module whose names are
// Latin-1); nothing otherwise.
std::optional<std::string> utf8AsLatin1(std::string_view s) {
    std::string out;
    bool beyondAscii = false;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const auto b = static_cast<unsigned char>(s[i]);
        if (b < 0x80) {
            out.push_back(s[i]);
            continue;
        }
        if ((b != 0xC2 && b != 0xC3) || i + 1 >= s.size()) return std::nullopt;
        const auto next = static_cast<unsigned char>(s[i + 1]);
        if ((next & 0xC0) != 0x80) return std::nullopt;
        out.push_back(static_cast<char>(((b & 0x03) << 6) | (next & 0x3F)));
        beyondAscii = true;
        ++i;
    }
    if (!beyondAscii) return std::nullopt;
    return out;
}

// Names to things: exactly as written, then ignoring the case of ASCII
// letters, then read from UTF-8.
template <typename T>
class NameIndex {
public:
    void add(std::string_view name, T thing) {
        m_exact[std::string(name)].push_back(thing);
        m_folded[folded(name)].push_back(thing);
    }
    const std::vector<T>* find(std::string_view text) const {
        if (const auto* found = findOne(text)) return found;
        if (const auto latin1 = utf8AsLatin1(text)) return findOne(*latin1);
        return nullptr;
    }

private:
    const std::vector<T>* findOne(std::string_view text) const {
        if (const auto it = m_exact.find(std::string(text)); it != m_exact.end())
            return &it->second;
        if (const auto it = m_folded.find(folded(text)); it != m_folded.end()) return &it->second;
        return nullptr;
    }
    std::unordered_map<std::string, std::vector<T>> m_exact, m_folded;
};

// The separator: a tab or a comma as for the editor's tables, or a semicolon
// when the first line has semicolons and no comma outside quotes (a
// spreadsheet set up for decimal commas writes these).
char setupSeparator(std::span<const std::uint8_t> data) {
    const char separator = tableSeparator(data);
    if (separator != ',') return separator;
    TableLines lines(data);
    std::string_view line;
    while (lines.next(line)) {
        if (isBlankTableLine(line)) continue;
        bool quoted = false, comma = false, semicolon = false;
        for (const char c : line) {
            if (c == '"') quoted = !quoted;
            if (quoted) continue;
            comma = comma || c == ',';
            semicolon = semicolon || c == ';';
        }
        return semicolon && !comma ? ';' : ',';
    }
    return ',';
}

Column columnNamed(std::string_view name) {
    const std::string n = folded(trimmed(name));
    if (n == "unit") return kUnit;
    if (n == "hex") return kHex;
    if (n == "step") return kStep;
    if (n == "face") return kFace;
    if (n == "facing") return kFacing;
    if (n == "hidden-by" || n == "hidden by" || n == "hidden_by" || n == "hiddenby")
        return kHiddenBy;
    return kIgnored;
}

std::string quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

class SetupBuilder {
public:
    SetupBuilder(const Module& module, GameState& state) : m_module(module), m_state(state) {
        for (int u = 1; u <= state.unitCount() && u < static_cast<int>(module.units.size()); ++u)
            m_units.add(trimmed(module.units[static_cast<std::size_t>(u)].name), u);
        for (int r = 1; r <= state.rows(); ++r) {
            for (int c = 1; c <= state.columns(); ++c) {
                if (!module.hexInRange(c, r) || module.hexIndex(c, r) >= module.hexes.size())
                    continue;
                const std::string_view name = trimmed(module.hex(c, r).name);
                if (!name.empty()) m_hexes.add(name, Hex{c, r});
            }
        }
        m_placedBy.assign(static_cast<std::size_t>(state.unitCount()) + 1, 0);
    }

    void read(std::span<const std::uint8_t> table) {
        const std::string separator(1, setupSeparator(table));
        std::array<Column, kMaxFields> columns{};
        columns.fill(kIgnored);
        for (int c = 0; c < kColumnCount; ++c) columns[static_cast<std::size_t>(c)] = Column(c);

        TableLines lines(table);
        std::string_view line;
        bool first = true;
        for (int number = 1; lines.next(line); ++number) {
            if (first && line.starts_with("\xEF\xBB\xBF")) line.remove_prefix(3);
            if (isBlankTableLine(line)) continue;
            if (hasControlCharacter(line)) {
                note(number, "not a line of a table (it holds control characters); passed over");
                ++m_result.refusedLines;
                continue;
            }
            const auto fields = splitTableFields(line, separator, kMaxFields, kMaxField);
            if (first) {
                first = false;
                if (readHeader(number, fields, columns)) continue;
            }
            std::array<std::string_view, kColumnCount> values{};
            for (std::size_t i = 0; i < fields.size(); ++i)
                if (columns[i] != kIgnored) values[columns[i]] = trimmed(fields[i]);
            placeLine(number, values);
        }
    }

    SetupTableResult finish() {
        // Every stack anew: the placed units in table order, then the units
        // no line placed on hex 1,1, in number order.
        for (auto& hex : m_state.hexes()) hex.stackHead = 0;
        std::vector<std::uint16_t> tail(m_state.hexes().size(), 0);
        std::unordered_set<std::size_t> used;
        auto append = [&](int u, Hex hex) {
            UnitState& s = m_state.unit(u);
            s.column = static_cast<std::uint8_t>(hex.column);
            s.row = static_cast<std::uint8_t>(hex.row);
            s.stackLink = 0;
            const std::size_t at = m_state.hexIndex(hex.column, hex.row);
            if (tail[at] == 0)
                m_state.hexes()[at].stackHead = static_cast<std::uint16_t>(u);
            else
                m_state.unit(tail[at]).stackLink = static_cast<std::uint16_t>(u);
            tail[at] = static_cast<std::uint16_t>(u);
            used.insert(at);
        };
        for (const auto& [unit, hex] : m_order) append(unit, hex);
        m_result.hexes = static_cast<int>(used.size());
        for (int u = 1; u <= m_state.unitCount(); ++u) {
            if (m_placedBy[static_cast<std::size_t>(u)] != 0) continue;
            append(u, Hex{1, 1});
            ++m_result.leftOnFirstHex;
        }
        commitStartPositions(m_state);
        m_result.placed = static_cast<int>(m_order.size());
        if (m_dropped > 0)
            m_result.report.push_back("... and " + std::to_string(m_dropped) + " more lines");
        return std::move(m_result);
    }

private:
    // A first line naming the unit and hex columns sets the columns' order.
    bool readHeader(int number, const std::vector<std::string>& fields,
                    std::array<Column, kMaxFields>& columns) {
        std::array<Column, kMaxFields> named{};
        named.fill(kIgnored);
        bool unit = false, hex = false;
        for (std::size_t i = 0; i < fields.size(); ++i) {
            named[i] = columnNamed(fields[i]);
            unit = unit || named[i] == kUnit;
            hex = hex || named[i] == kHex;
        }
        if (!unit || !hex) return false;
        std::array<bool, kColumnCount> seen{};
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (named[i] == kIgnored) {
                if (!trimmed(fields[i]).empty())
                    note(number, "the column " + quoted(trimmed(fields[i])) +
                                     " is none of unit, hex, step, face, facing, hidden-by: "
                                     "passed over");
                continue;
            }
            if (seen[named[i]]) {
                note(number, "the column " + quoted(trimmed(fields[i])) +
                                 " is named twice: the first counts");
                named[i] = kIgnored;
                continue;
            }
            seen[named[i]] = true;
        }
        columns = named;
        return true;
    }

    void placeLine(int number, const std::array<std::string_view, kColumnCount>& v) {
        const int unit = findUnit(number, v[kUnit]);
        const std::optional<Hex> hex = unit != 0 ? findHex(number, v[kHex]) : std::nullopt;
        if (unit == 0 || !hex) {
            ++m_result.refusedLines;
            return;
        }
        m_placedBy[static_cast<std::size_t>(unit)] = number;
        m_order.emplace_back(unit, *hex);
        UnitState& s = m_state.unit(unit);
        s.step = readStep(number, unit, v[kStep]);
        readFace(number, unit, v[kFace]);
        s.facing = readFacing(number, unit, v[kFacing]);
        readHiddenBy(number, unit, v[kHiddenBy]);
    }

    std::string unitText(int unit) const {
        const std::string_view name = trimmed(m_module.units[static_cast<std::size_t>(unit)].name);
        return "unit " + std::to_string(unit) + (name.empty() ? "" : " " + quoted(name));
    }

    int findUnit(int number, std::string_view text) {
        if (text.empty()) {
            note(number, "no unit given");
            return 0;
        }
        const std::string_view digits = text.starts_with('#') ? text.substr(1) : text;
        int unit = 0;
        if (const auto n = wholeNumber(digits)) {
            if (*n < 1 || *n > m_state.unitCount()) {
                note(number, "no unit number " + std::to_string(*n) + " (the module has " +
                                 std::to_string(m_state.unitCount()) + " units)");
                return 0;
            }
            unit = *n;
        } else {
            const std::vector<int>* named = m_units.find(text);
            if (!named) {
                note(number, "no unit named " + quoted(text));
                return 0;
            }
            const auto free = std::find_if(named->begin(), named->end(), [&](int u) {
                return m_placedBy[static_cast<std::size_t>(u)] == 0;
            });
            if (free != named->end()) return *free;
            if (named->size() > 1) {
                note(number, "all " + std::to_string(named->size()) + " units named " +
                                 quoted(text) + " are already placed");
                return 0;
            }
            unit = named->front();
        }
        if (const int by = m_placedBy[static_cast<std::size_t>(unit)]; by != 0) {
            note(number, unitText(unit) + " is already placed by line " + std::to_string(by) +
                             "; that line stands");
            return 0;
        }
        return unit;
    }

    std::optional<Hex> findHex(int number, std::string_view text) {
        if (text.empty()) {
            note(number, "no hex given");
            return std::nullopt;
        }
        if (const std::vector<Hex>* named = m_hexes.find(text)) {
            if (named->size() > 1 &&
                m_toldDuplicate.insert({named->front().column, named->front().row}).second) {
                std::string where;
                for (std::size_t i = 0; i < named->size() && i < 5; ++i)
                    where += (i > 0 ? " " : "") + std::to_string((*named)[i].column) + "," +
                             std::to_string((*named)[i].row);
                if (named->size() > 5) where += " ...";
                note(number, "the hex name " + quoted(text) + " names " +
                                 std::to_string(named->size()) + " hexes (" + where +
                                 "); its units go to the first");
            }
            return named->front();
        }
        if (const auto comma = text.find(','); comma != std::string_view::npos) {
            const auto c = wholeNumber(text.substr(0, comma));
            const auto r = wholeNumber(text.substr(comma + 1));
            if (c && r) {
                if (*c >= 1 && *c <= m_state.columns() && *r >= 1 && *r <= m_state.rows())
                    return Hex{*c, *r};
                note(number, "no hex " + std::to_string(*c) + "," + std::to_string(*r) +
                                 " on the map of " + std::to_string(m_state.columns()) + " x " +
                                 std::to_string(m_state.rows()) + " hexes");
                return std::nullopt;
            }
        }
        note(number, "no hex named " + quoted(text));
        return std::nullopt;
    }

    std::uint8_t readStep(int number, int unit, std::string_view text) {
        if (text.empty()) return 0;
        const auto step = wholeNumber(text);
        if (step && *step >= 1 && *step <= kStepCount && unitStepExists(m_module, unit, *step - 1))
            return static_cast<std::uint8_t>(*step - 1);
        note(number, unitText(unit) + " has no step " + quoted(text) + "; placed at step 1");
        return 0;
    }

    void readFace(int number, int unit, std::string_view text) {
        if (text.empty()) return;
        const std::string face = folded(text);
        const int units[] = {unit};
        if (face == "up") {
            faceUp(m_state, units);
        } else if (face == "down") {
            const std::uint8_t before = m_state.unit(unit).step;
            faceDown(m_state, m_module, units);
            if (before % 2 == 0 && m_state.unit(unit).step == before)
                note(number, unitText(unit) + " has no face-down side at step " +
                                 std::to_string(before + 1) + "; placed face up");
        } else {
            note(number, "the face " + quoted(text) + " is neither up nor down; " + unitText(unit) +
                             " placed as its step says");
        }
    }

    std::uint8_t readFacing(int number, int unit, std::string_view text) {
        if (text.empty()) return 0;
        std::string facing = folded(text);
        bool corner = false;
        for (const std::string_view prefix : {"corner", "side", "c", "s"}) {
            if (facing.starts_with(prefix)) {
                corner = prefix[0] == 'c';
                facing.erase(0, prefix.size());
                break;
            }
        }
        const auto d = wholeNumber(facing);
        if (d && *d >= 1 && *d <= 6)
            return static_cast<std::uint8_t>(Facing::kShown | (corner ? Facing::kCorner : 0) |
                                             (1 << (*d - 1)));
        note(number, "the facing " + quoted(text) + " is not a side 1 to 6 or a corner c1 to c6; " +
                         unitText(unit) + " placed without facing");
        return 0;
    }

    void readHiddenBy(int number, int unit, std::string_view text) {
        if (text.empty()) return;
        std::string by = folded(text);
        const bool identity = by.ends_with("id");
        if (identity) by.resize(by.size() - 2);
        const auto slot = wholeNumber(by);
        if (!slot || *slot < 1 || *slot > kSlotCount) {
            note(number, "hidden by " + quoted(text) + " is not a player position 1 to 8; " +
                             unitText(unit) + " placed not hidden");
            return;
        }
        UnitState& s = m_state.unit(unit);
        s.setHiddenBy(static_cast<std::uint8_t>(*slot - 1));
        if (identity) s.set(UnitFlags::kIdHidden);
    }

    void note(int number, std::string text) {
        if (m_result.report.size() >= kMaxReportLines) {
            ++m_dropped;
            return;
        }
        m_result.report.push_back("line " + std::to_string(number) + ": " + std::move(text));
    }

    const Module& m_module;
    GameState& m_state;
    NameIndex<int> m_units;
    NameIndex<Hex> m_hexes;
    std::vector<int> m_placedBy;  // the line that placed each unit, 0 = none
    std::vector<std::pair<int, Hex>> m_order;
    std::set<std::pair<int, int>> m_toldDuplicate;  // duplicate hex names reported
    SetupTableResult m_result;
    int m_dropped = 0;
};

}  // namespace

SetupTableResult placeUnitsFromTable(std::span<const std::uint8_t> table, const Module& module,
                                     GameState& state) {
    state.resetForModule(module);
    SetupBuilder builder(module, state);
    builder.read(table);
    return builder.finish();
}

std::string setupSummary(const SetupTableResult& r) {
    std::string text = std::to_string(r.placed) + (r.placed == 1 ? " unit" : " units") +
                       " placed on " + std::to_string(r.hexes) + (r.hexes == 1 ? " hex" : " hexes");
    if (r.refusedLines > 0)
        text += "; " + std::to_string(r.refusedLines) +
                (r.refusedLines == 1 ? " line placed nothing" : " lines placed nothing");
    if (r.leftOnFirstHex > 0)
        text +=
            "; " + std::to_string(r.leftOnFirstHex) +
            (r.leftOnFirstHex == 1 ? " unit no line names stays" : " units no line names stay") +
            " on hex 1,1";
    return text + ".";
}

}  // namespace qmx
