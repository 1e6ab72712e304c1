#include "core/replay/ReplayRecorder.h"

#include "core/game/Comment.h"
#include "core/game/GameState.h"
#include "core/game/UserPrompts.h"
#include "core/module/MessageTable.h"
#include "core/module/Random.h"
#include "core/replay/ReplayEntries.h"
#include "core/replay/ReplayFile.h"

namespace qmx {
namespace {

// Sub-modes of combat mode (CombatMode of the game-controls panel).
constexpr std::uint16_t kPreDeclare = 3;
constexpr std::uint16_t kResolveDeclared = 4;

}  // namespace

bool ReplayRecorder::append(std::span<const std::uint8_t> entries) {
    m_lastOpenFailed = false;
    if (m_playing) return false;
    m_state.moveSaved = false;
    const ReplayFile::AppendResult result = m_file.append(entries);
    m_lastOpenFailed = result == ReplayFile::AppendResult::OpenFailed;
    switch (result) {
        case ReplayFile::AppendResult::Written:
            ++m_written;
            return true;
        case ReplayFile::AppendResult::OpenFailed:
            m_prompts.showMessage(msg::kCouldNotOpenFile);
            return false;
        case ReplayFile::AppendResult::ShortWrite:
            m_prompts.showMessage(msg::kDataFileWriteError);
            return false;
    }
    return false;
}

bool ReplayRecorder::record(ReplayCode code) {
    return append(commandEntry(code));
}

bool ReplayRecorder::recordHide(ReplayCode code, int slot) {
    return append(argumentEntry(code, slot));
}

bool ReplayRecorder::recordSetStep(int step) {
    const Bytes one = argumentEntry(ReplayCode::SetStep, step);
    Bytes all;
    for (std::size_t i = 0, n = m_state.chain(m_state.carriedStack).size(); i < n; ++i)
        all.insert(all.end(), one.begin(), one.end());
    if (all.empty()) return false;
    return append(all);
}

bool ReplayRecorder::recordPath(int column, int row) {
    return append(pathEntry(column, row));
}

bool ReplayRecorder::recordMoveStart(int firstColumn, int firstRow) {
    const std::vector<int> units = m_state.chain(m_state.carriedStack);
    if (units.empty()) return false;
    const UnitState& first = m_state.unit(units.front());
    return recordMoveStart(units, first.column, first.row, firstColumn, firstRow);
}

bool ReplayRecorder::recordMoveStart(std::span<const int> units, int originColumn, int originRow,
                                     int firstColumn, int firstRow) {
    return append(moveStartEntry(units, originColumn, originRow, firstColumn, firstRow));
}

std::vector<int> ReplayRecorder::combatUnits(const GameState& state) {
    std::vector<int> units;
    if (state.combatMode == kResolveDeclared) {
        for (int u = 1; u <= state.unitCount(); ++u) {
            const int d = state.unit(u).declaration;
            if (d == 1 || d == -1) units.push_back(u);
        }
        return units;
    }
    units = state.stackAt(kAttackBoxColumn, state.combatBoxRow());
    const std::vector<int> defenders = state.stackAt(kDefendBoxColumn, state.combatBoxRow());
    units.insert(units.end(), defenders.begin(), defenders.end());
    return units;
}

bool ReplayRecorder::recordCombat() {
    if (m_playing) return false;
    const std::vector<int> units = combatUnits(m_state);
    if (m_state.combatMode == kPreDeclare) {
        const auto n = static_cast<std::int8_t>(m_state.pendingDeclarations);
        for (const int u : m_state.stackAt(kAttackBoxColumn, m_state.combatBoxRow()))
            m_state.unit(u).declaration = n;
        for (const int u : m_state.stackAt(kDefendBoxColumn, m_state.combatBoxRow()))
            m_state.unit(u).declaration = static_cast<std::int8_t>(-n);
    }
    return append(combatEntry(units));
}

bool ReplayRecorder::recordComment(std::string_view text) {
    return append(plainCommentEntry(text));
}

bool ReplayRecorder::recordEncryptedComment(std::string_view text, std::string_view password,
                                            Random& random) {
    if (m_playing) return false;
    return append(encryptedCommentEntry(text, password, random));
}

bool ReplayRecorder::recordResult(int dice, int sides, std::string_view text) {
    return append(resultEntry(dice, sides, text));
}

bool ReplayRecorder::recordEncryptedResult(int dice, int sides, std::string_view text,
                                           std::string_view password, Random& random) {
    if (m_playing) return false;
    Bytes entry = resultHead(dice, sides);
    const Bytes comment = encryptedCommentEntry(text, password, random);
    entry.insert(entry.end(), comment.begin(), comment.end());
    return append(entry);
}

}  // namespace qmx
