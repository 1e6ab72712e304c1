#pragma once
// The numbered messages of both programs and the texts of file-dialog errors.
// The core raises messages by number; the windows look up text and title here.

#include <optional>
#include <string>
#include <string_view>

namespace qmx {

inline constexpr std::string_view kWarningTitle = "WARNING";
inline constexpr std::string_view kDialogErrorTitle = "Error!";

enum class MessageTable { Player, Editor };

// Player messages that the core raises by number.
namespace msg {
constexpr int kEnterPassword = 3;
constexpr int kCouldNotOpenFile = 4;
constexpr int kNoLosWhileHolding = 5;
constexpr int kNothingToReplay = 6;
constexpr int kDataFileWriteError = 8;
constexpr int kReleaseInCombat = 9;
constexpr int kOldModuleFormat = 11;
constexpr int kUnitCountMismatch = 12;
constexpr int kEarlierVersion = 13;
constexpr int kLaterVersion = 14;
constexpr int kModuleIdMismatch = 15;
constexpr int kNotInCombatOrCarrying = 16;
constexpr int kPasswordIncorrect = 20;
constexpr int kNotAvailableNow = 22;
constexpr int kTooManyDeclarations = 25;
constexpr int kCouldNotParse = 30;
constexpr int kAsciiDecodeFailed = 31;
constexpr int kNewerModule = 32;
constexpr int kCardCountMismatch = 33;
constexpr int kNoCardData = 34;
constexpr int kNoModuleGraphics = 37;
}  // namespace msg

// Editor messages by number.
namespace editormsg {
constexpr int kDeckFull = 1;
constexpr int kCouldNotOpenFile = 4;
constexpr int kNoGraphicsFile = 5;
constexpr int kDataFileWriteError = 8;
constexpr int kAmigaModule = 11;
constexpr int kFinishCoordinates = 16;
constexpr int kNewerModule = 32;
constexpr int kCardDataError = 33;
constexpr int kAddCardFirst = 34;
}  // namespace editormsg

// The text of a numbered message, or nothing for a number the table lacks.
std::optional<std::string_view> messageText(MessageTable table, int number);

// The text for a file dialog's extended error code; nothing for 0 (cancelled)
// and for codes not in the table.
std::optional<std::string_view> dialogErrorText(unsigned code);

// What a core operation wants shown: a numbered message of one of the tables,
// or (number 0) a text of its own, for conditions the tables have no number for.
struct Notice {
    int number = 0;
    std::string text;
    bool operator==(const Notice&) const = default;
};

// The text of a notice in the given table ("" if the number is unknown).
std::string noticeText(MessageTable table, const Notice& n);

}  // namespace qmx
