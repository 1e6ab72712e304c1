#pragma once
// The player's settings in QMX.ini: the preferences, the window placement and
// the help prompt switches. They are read once at start-up; every change is
// written at once. A missing file or key gives the default, a value that is not
// a number counts as missing, and numbers out of range are clamped, so a damaged
// or hand-edited file never stops the program.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/settings/IniFile.h"

namespace qmx {

struct Preferences {
    int replaySpeed = 20;     // 1..255
    int replayDelay = 20;     // 0..255
    int replayMaxSpeed = 20;  // 2..255, never below replaySpeed
    int numberOfDice = 2;     // 1..20
    int sidesOnDice = 6;      // 2..100
    int facingColor = 0;      // 0..15, index into the facing colour table
    bool suppressCombatDieRolls = false;
    bool commentBeforeDice = true;
    bool defineDiceBeforeRoll = true;
    bool showFacingLines = true;
    bool largeFontComments = false;

    // The same values brought into their ranges.
    Preferences clamped() const;
    bool operator==(const Preferences&) const = default;
};

struct WindowPlacement {
    int x = 0;
    int y = 0;
    int width = 640;
    int height = 400;
    int panelX = 100;
    int panelY = 0;
    bool stored = false;      // the file held a window place: not a first start
    int replayListWidth = 0;  // 0: as wide as its lines need
    bool operator==(const WindowPlacement&) const = default;
};

// A first start's places on a screen whose free area is `screen`: the main
// window over most of it, the Game Controls panel (`panelWidth` wide) beside
// the board instead of over it.
struct ScreenArea {
    int x = 0, y = 0, width = 0, height = 0;
};
WindowPlacement firstStartPlacement(ScreenArea screen, int panelWidth);

struct Rgb {
    std::uint8_t red = 0, green = 0, blue = 0;
    bool operator==(const Rgb&) const = default;
};

namespace ini {
inline constexpr std::string_view kFileName = "QMX.ini";
inline constexpr std::string_view kPreferences = "PREFERENCES";
inline constexpr std::string_view kWindow = "WINDOW";
inline constexpr std::string_view kHelpPrompts = "HELP PROMPTS";
inline constexpr std::string_view kRecentModules = "RECENT MODULES";
inline constexpr std::string_view kRecentSaves = "RECENT SAVES";

inline constexpr std::string_view kReplaySpeed = "Replay Speed";
inline constexpr std::string_view kReplayDelay = "Replay Delay";
inline constexpr std::string_view kReplayMaxSpeed = "Replay Max Speed";
inline constexpr std::string_view kNumberOfDice = "Number of Dice";
inline constexpr std::string_view kSidesOnDice = "Number of Sides on Dice";
inline constexpr std::string_view kFacingColor = "Facing Pointer Color";
inline constexpr std::string_view kSuppressDieRolls = "Suppress Combat Die Rolls";
inline constexpr std::string_view kCommentBeforeDice = "Enter Comment Before Rolling Dice";
inline constexpr std::string_view kDefineDiceBeforeRoll = "Define Dice Before Each Roll";
inline constexpr std::string_view kShowFacingLines = "Show Lines for Facing";
inline constexpr std::string_view kLargeFontComments = "Use Large Font in Comment";

inline constexpr std::string_view kXPos = "X Pos";
inline constexpr std::string_view kYPos = "Y Pos";
inline constexpr std::string_view kXSize = "X Size";
inline constexpr std::string_view kYSize = "Y Size";
inline constexpr std::string_view kPanelXPos = "Game control X pos";
inline constexpr std::string_view kPanelYPos = "Game control Y pos";
inline constexpr std::string_view kReplayListWidth = "Replay list width";
}  // namespace ini

constexpr int kPromptCount = 15;
constexpr int kFacingColorCount = 16;
constexpr int kRecentModuleCount = 8;
constexpr int kRecentSaveCount = 8;

// The colour of a facing colour index (0..15; other values are wrapped).
Rgb facingColorRgb(int index);

// "Prompt1" .. "Prompt15".
std::string promptKey(int number);
// "Module1" .. "Module8" of [RECENT MODULES].
std::string recentModuleKey(int number);
// "Game1" .. "Game8" of [RECENT SAVES].
std::string recentSaveKey(int number);

class Settings {
public:
    // Settings stored in `path` (the QMX.ini of the program folder); nothing is
    // read until load().
    explicit Settings(std::string path = {});

    const std::string& path() const { return m_path; }

    // Reads every section. Missing file or keys give the defaults.
    void load();

    const Preferences& preferences() const { return m_preferences; }
    const WindowPlacement& window() const { return m_window; }

    // Takes new preferences (clamped) and writes every [PREFERENCES] key.
    bool setPreferences(const Preferences& prefs);
    // The facing colour index one on, 15 wrapping to 0; written at once.
    int cycleFacingColor();

    // The main window: size as the window reports it (written whenever it is
    // resized), position of its normal placement (written whenever it moves).
    bool setWindowSize(int width, int height);
    bool setWindowPosition(int x, int y);
    bool setPanelPosition(int x, int y);
    bool setReplayListWidth(int width);

    // A prompt is shown when its key is 1 or missing.
    bool promptEnabled(int number) const;
    // Writes "0" for a prompt switched off, "1" for one switched on.
    bool setPromptEnabled(int number, bool enabled);
    // "Turn all tips on": writes 1 to each of the fifteen prompt keys.
    bool enableAllPrompts();

    // The modules opened lately, the last one first (at most eight paths).
    const std::vector<std::string>& recentModules() const { return m_recentModules; }
    // Puts `path` first in that list (once) and writes the list.
    bool noteModuleOpened(const std::string& path);
    // The games this player saved lately, the last one first (at most eight),
    // the games a reply is checked against.
    const std::vector<std::string>& recentSaves() const { return m_recentSaves; }
    bool noteGameSaved(const std::string& path);

    // Size stored for a window whose client area is `width` x `height`, and back.
    static std::pair<int, int> storedSizeForClient(int width, int height) {
        return {width + 8, height + 46};
    }
    static std::pair<int, int> clientSizeForStored(int width, int height) {
        return {width - 8, height - 46};
    }

private:
    // Re-reads the file, applies `change` and writes it, so keys written by
    // another copy of the program in the meantime are kept.
    template <typename Change>
    bool update(Change change);
    bool noteRecent(std::vector<std::string>& list, const std::string& path,
                    std::string_view section, std::string (*key)(int), int count);

    std::string m_path;
    Preferences m_preferences;
    WindowPlacement m_window;
    std::array<bool, kPromptCount + 1> m_prompts{};
    std::vector<std::string> m_recentModules;
    std::vector<std::string> m_recentSaves;
};

// The [PREFERENCES] of an ini file, with defaults and clamping.
Preferences readPreferences(const IniFile& ini);
// The [WINDOW] section, with defaults and clamping.
WindowPlacement readWindowPlacement(const IniFile& ini);
// Writes every [PREFERENCES] key as decimal text.
void writePreferences(IniFile& ini, const Preferences& prefs);

}  // namespace qmx
