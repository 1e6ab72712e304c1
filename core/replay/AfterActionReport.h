#pragma once
// The after-action report: the saved games of one game, turn by turn, as one
// self-contained HTML page (plus the board pictures beside it).

#include <string>
#include <string_view>
#include <vector>

namespace qmx {

// One saved game of the report. Texts are the module's bytes (Latin-1).
struct AarTurn {
    std::string file;     // the saved game's file name
    std::string picture;  // the board picture's file name, beside the page
    std::string moveReport;
    std::vector<std::string> comments;  // plain comments, in order
    std::vector<std::string> events;    // dice rolls and combat results, in order
};

// Latin-1 bytes as UTF-8 text for HTML: & < > " ' escaped, line ends kept,
// other control bytes dropped.
std::string htmlText(std::string_view latin1);

// The page: a heading per turn (its file and its place in the game), the board
// picture, the Move report, the comments, the dice and combat results.
std::string afterActionPage(const std::string& title, const std::vector<AarTurn>& turns);

}  // namespace qmx
