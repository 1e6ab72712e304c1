#pragma once
// The "ASCII Output" reports: Move, Positions, Sorted Positions and Comments
// only. Move and Comments only read the replay record; the two position
// reports read the current game state. The builders return the file's bytes;
// the command functions around them carry the refusals, the file name rule,
// the overwrite question and the writing.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/game/GameState.h"
#include "core/game/UserPrompts.h"
#include "core/module/Bytes.h"
#include "core/module/Module.h"
#include "core/replay/CardTextSource.h"

namespace qmx {

// The "ASCII Save Preferences": all off at start-up, kept while the program
// runs, never stored.
struct ReportOptions {
    bool reportHidden = false;    // "Report Hidden Movement"
    bool includeStep = false;     // "Include Step Information"
    bool includeFacing = false;   // "Include Facing Information"
    bool sortByPosition = false;  // "Sort Units by Position on Map"
    bool showHidden = false;      // "Show Hidden Units in Report"
};

enum class ReportKind { Move, Positions, SortedPositions, CommentsOnly };

// What a report wants shown while it is made: message 34 once for every card
// whose text could not be read.
struct ReportBuild {
    std::string text;
    std::vector<int> messages;
};

// The Move report and the Comments only report of a replay record.
ReportBuild moveReport(std::span<const std::uint8_t> record, const Module& module,
                       const GameState& state, const ReportOptions& options, CardTextSource& cards);
ReportBuild commentsReport(std::span<const std::uint8_t> record, const Module& module,
                           const GameState& state, CardTextSource& cards);
// The position report: in unit-number order, or hex by hex when `sorted`.
std::string positionsReport(const Module& module, const GameState& state,
                            const ReportOptions& options, bool sorted);

// The facing part of a position line: " (Corner: n)" with n = 1..6 for the
// directions 1, 2, 4, ..., 32. A unit receives it when its indicator is
// shown (bit 7) and it points somewhere (a direction bit is set): a unit
// whose indicator is off shows no direction on the board, so none is
// reported. Should a damaged byte hold more than one direction bit, the
// lowest counts, as it would on the board.
std::string facingPart(std::uint8_t facing);

// The ".txt" rule of the report's file dialog.
std::string reportFileName(const std::string& chosen);

// The start of each of the four commands, before the options dialog: refused
// with message 16 while units are carried or in combat mode; "Sorted
// Positions" switches the sort option on for good.
bool beginTextReport(ReportKind kind, const GameState& state, ReportOptions& options,
                     UserPrompts& prompts);

enum class ReportOutcome { Written, Declined, NothingToReplay, CouldNotWrite };

// The rest of the command, after the file dialog gave `chosenName`: the name
// rule, the overwrite question, message 6 when a replay report has no record
// (`record` empty: there is no replay file), the report, and the file.
//
// The file is written whole through a temporary file and a rename, so an
// existing file is replaced only by a complete report and a failed write
// (message 4) leaves it as it was.
ReportOutcome finishTextReport(ReportKind kind, const std::string& chosenName,
                               const std::optional<Bytes>& record, const Module& module,
                               const GameState& state, const ReportOptions& options,
                               CardTextSource& cards, UserPrompts& prompts);

// The report's bytes as finishTextReport writes them, without file or
// questions; nothing for a replay report without a record. Messages go to
// `messages`.
std::optional<std::string> buildTextReport(ReportKind kind, const std::optional<Bytes>& record,
                                           const Module& module, const GameState& state,
                                           const ReportOptions& options, CardTextSource& cards,
                                           std::vector<int>& messages);

}  // namespace qmx
