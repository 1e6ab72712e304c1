#include "core/settings/Settings.h"

#include <algorithm>

namespace qmx {

namespace {

constexpr std::array<Rgb, kFacingColorCount> kFacingColors{{
    {0, 0, 255},
    {255, 0, 255},
    {0, 255, 255},
    {255, 255, 255},
    {255, 0, 0},
    {0, 255, 0},
    {255, 255, 0},
    {127, 0, 0},
    {0, 127, 0},
    {127, 127, 0},
    {0, 0, 127},
    {127, 0, 127},
    {0, 127, 127},
    {127, 127, 127},
    {192, 192, 192},
    {0, 192, 192},
}};

// Window coordinates and sizes are kept within what a screen can show; the
// frame moves a window that ends up on no screen back to the origin.
constexpr int kMaxCoordinate = 32000;
constexpr int kMinWidth = 160;
constexpr int kMinHeight = 120;
constexpr int kMaxSize = 16384;

int clampInt(long long v, int lo, int hi) {
    return static_cast<int>(std::clamp<long long>(v, lo, hi));
}

int readClamped(const IniFile& ini, std::string_view section, std::string_view key, int fallback,
                int lo, int hi) {
    return clampInt(ini.integerOr(section, key, fallback), lo, hi);
}

// A flag is on exactly when the stored value is 1; missing or not a number
// gives the default.
bool readFlag(const IniFile& ini, std::string_view key, bool fallback) {
    const auto v = ini.integer(ini::kPreferences, key);
    return v ? *v == 1 : fallback;
}

}  // namespace

Rgb facingColorRgb(int index) {
    const int i = ((index % kFacingColorCount) + kFacingColorCount) % kFacingColorCount;
    return kFacingColors[static_cast<std::size_t>(i)];
}

std::string promptKey(int number) {
    return "Prompt" + std::to_string(number);
}

std::string recentModuleKey(int number) {
    return "Module" + std::to_string(number);
}

std::string recentSaveKey(int number) {
    return "Game" + std::to_string(number);
}

namespace {

// The paths of a recent list, in order, skipping empty keys.
std::vector<std::string> readRecentList(const IniFile& ini, std::string_view section,
                                        std::string (*key)(int), int count) {
    std::vector<std::string> list;
    for (int n = 1; n <= count; ++n) {
        const auto v = ini.value(section, key(n));
        if (v && !v->empty()) list.push_back(*v);
    }
    return list;
}

}  // namespace

Preferences Preferences::clamped() const {
    Preferences p = *this;
    p.replaySpeed = std::clamp(p.replaySpeed, 1, 255);
    p.replayDelay = std::clamp(p.replayDelay, 0, 255);
    p.replayMaxSpeed = std::clamp(p.replayMaxSpeed, std::max(2, p.replaySpeed), 255);
    p.numberOfDice = std::clamp(p.numberOfDice, 1, 20);
    p.sidesOnDice = std::clamp(p.sidesOnDice, 2, 100);
    p.facingColor = std::clamp(p.facingColor, 0, kFacingColorCount - 1);
    return p;
}

Preferences readPreferences(const IniFile& ini) {
    const Preferences d;
    Preferences p;
    const auto section = ini::kPreferences;
    p.replaySpeed = readClamped(ini, section, ini::kReplaySpeed, d.replaySpeed, 1, 255);
    p.replayDelay = readClamped(ini, section, ini::kReplayDelay, d.replayDelay, 0, 255);
    p.replayMaxSpeed = readClamped(ini, section, ini::kReplayMaxSpeed, d.replayMaxSpeed, 2, 255);
    p.numberOfDice = readClamped(ini, section, ini::kNumberOfDice, d.numberOfDice, 1, 20);
    p.sidesOnDice = readClamped(ini, section, ini::kSidesOnDice, d.sidesOnDice, 2, 100);
    p.facingColor =
        readClamped(ini, section, ini::kFacingColor, d.facingColor, 0, kFacingColorCount - 1);
    p.suppressCombatDieRolls = readFlag(ini, ini::kSuppressDieRolls, d.suppressCombatDieRolls);
    p.commentBeforeDice = readFlag(ini, ini::kCommentBeforeDice, d.commentBeforeDice);
    p.defineDiceBeforeRoll = readFlag(ini, ini::kDefineDiceBeforeRoll, d.defineDiceBeforeRoll);
    p.showFacingLines = readFlag(ini, ini::kShowFacingLines, d.showFacingLines);
    p.largeFontComments = readFlag(ini, ini::kLargeFontComments, d.largeFontComments);
    return p.clamped();
}

WindowPlacement firstStartPlacement(ScreenArea screen, int panelWidth) {
    // Room for the window frames and a gap between the two windows.
    constexpr int kGap = 16;
    constexpr int kTitle = 40;
    WindowPlacement w;
    w.x = screen.x + kGap / 2;
    w.y = screen.y + kGap / 2;
    w.width = std::max(kMinWidth, screen.width - panelWidth - 2 * kGap);
    w.height = std::max(kMinHeight, screen.height - kTitle - kGap);
    w.panelX = std::min(w.x + w.width + kGap, screen.x + screen.width - panelWidth);
    w.panelY = w.y;
    return w;
}

WindowPlacement readWindowPlacement(const IniFile& ini) {
    const WindowPlacement d;
    WindowPlacement w;
    const auto section = ini::kWindow;
    for (const auto key :
         {ini::kXSize, ini::kYSize, ini::kXPos, ini::kYPos, ini::kPanelXPos, ini::kPanelYPos})
        w.stored = w.stored || ini.integer(section, key).has_value();
    w.x = readClamped(ini, section, ini::kXPos, d.x, -kMaxCoordinate, kMaxCoordinate);
    w.y = readClamped(ini, section, ini::kYPos, d.y, -kMaxCoordinate, kMaxCoordinate);
    w.width = readClamped(ini, section, ini::kXSize, d.width, kMinWidth, kMaxSize);
    w.height = readClamped(ini, section, ini::kYSize, d.height, kMinHeight, kMaxSize);
    w.panelX =
        readClamped(ini, section, ini::kPanelXPos, d.panelX, -kMaxCoordinate, kMaxCoordinate);
    w.panelY =
        readClamped(ini, section, ini::kPanelYPos, d.panelY, -kMaxCoordinate, kMaxCoordinate);
    w.replayListWidth = readClamped(ini, section, ini::kReplayListWidth, 0, 0, kMaxSize);
    return w;
}

void writePreferences(IniFile& ini, const Preferences& prefs) {
    const auto section = ini::kPreferences;
    ini.set(section, ini::kReplaySpeed, prefs.replaySpeed);
    ini.set(section, ini::kReplayDelay, prefs.replayDelay);
    ini.set(section, ini::kReplayMaxSpeed, prefs.replayMaxSpeed);
    ini.set(section, ini::kNumberOfDice, prefs.numberOfDice);
    ini.set(section, ini::kSidesOnDice, prefs.sidesOnDice);
    ini.set(section, ini::kFacingColor, prefs.facingColor);
    ini.set(section, ini::kSuppressDieRolls, prefs.suppressCombatDieRolls ? 1 : 0);
    ini.set(section, ini::kCommentBeforeDice, prefs.commentBeforeDice ? 1 : 0);
    ini.set(section, ini::kDefineDiceBeforeRoll, prefs.defineDiceBeforeRoll ? 1 : 0);
    ini.set(section, ini::kShowFacingLines, prefs.showFacingLines ? 1 : 0);
    ini.set(section, ini::kLargeFontComments, prefs.largeFontComments ? 1 : 0);
}

Settings::Settings(std::string path) : m_path(std::move(path)) {
    m_prompts.fill(true);
}

void Settings::load() {
    const IniFile ini = IniFile::load(m_path);
    m_preferences = readPreferences(ini);
    m_window = readWindowPlacement(ini);
    for (int n = 1; n <= kPromptCount; ++n) {
        const auto v = ini.integer(ini::kHelpPrompts, promptKey(n));
        m_prompts[static_cast<std::size_t>(n)] = !v || *v == 1;
    }
    m_recentModules = readRecentList(ini, ini::kRecentModules, recentModuleKey, kRecentModuleCount);
    m_recentSaves = readRecentList(ini, ini::kRecentSaves, recentSaveKey, kRecentSaveCount);
}

bool Settings::noteModuleOpened(const std::string& path) {
    return noteRecent(m_recentModules, path, ini::kRecentModules, recentModuleKey,
                      kRecentModuleCount);
}

bool Settings::noteGameSaved(const std::string& path) {
    return noteRecent(m_recentSaves, path, ini::kRecentSaves, recentSaveKey, kRecentSaveCount);
}

bool Settings::noteRecent(std::vector<std::string>& list, const std::string& path,
                          std::string_view section, std::string (*key)(int), int count) {
    std::erase(list, path);
    list.insert(list.begin(), path);
    if (list.size() > std::size_t(count)) list.resize(static_cast<std::size_t>(count));
    return update([&](IniFile& ini) {
        for (int n = 1; n <= count; ++n) {
            const std::size_t i = static_cast<std::size_t>(n - 1);
            ini.set(section, key(n), i < list.size() ? list[i] : std::string());
        }
    });
}

template <typename Change>
bool Settings::update(Change change) {
    if (m_path.empty()) return false;
    IniFile ini = IniFile::load(m_path);
    change(ini);
    return ini.save(m_path);
}

bool Settings::setPreferences(const Preferences& prefs) {
    m_preferences = prefs.clamped();
    return update([&](IniFile& ini) { writePreferences(ini, m_preferences); });
}

int Settings::cycleFacingColor() {
    m_preferences.facingColor = (m_preferences.facingColor + 1) % kFacingColorCount;
    update([&](IniFile& ini) {
        ini.set(ini::kPreferences, ini::kFacingColor, m_preferences.facingColor);
    });
    return m_preferences.facingColor;
}

bool Settings::setWindowSize(int width, int height) {
    m_window.width = width;
    m_window.height = height;
    return update([&](IniFile& ini) {
        ini.set(ini::kWindow, ini::kXSize, width);
        ini.set(ini::kWindow, ini::kYSize, height);
    });
}

bool Settings::setWindowPosition(int x, int y) {
    m_window.x = x;
    m_window.y = y;
    return update([&](IniFile& ini) {
        ini.set(ini::kWindow, ini::kXPos, x);
        ini.set(ini::kWindow, ini::kYPos, y);
    });
}

bool Settings::setPanelPosition(int x, int y) {
    m_window.panelX = x;
    m_window.panelY = y;
    return update([&](IniFile& ini) {
        ini.set(ini::kWindow, ini::kPanelXPos, x);
        ini.set(ini::kWindow, ini::kPanelYPos, y);
    });
}

bool Settings::setReplayListWidth(int width) {
    m_window.replayListWidth = width;
    return update([&](IniFile& ini) { ini.set(ini::kWindow, ini::kReplayListWidth, width); });
}

bool Settings::promptEnabled(int number) const {
    if (number < 1 || number > kPromptCount) return false;
    return m_prompts[static_cast<std::size_t>(number)];
}

bool Settings::setPromptEnabled(int number, bool enabled) {
    if (number < 1 || number > kPromptCount) return false;
    m_prompts[static_cast<std::size_t>(number)] = enabled;
    return update(
        [&](IniFile& ini) { ini.set(ini::kHelpPrompts, promptKey(number), enabled ? 1 : 0); });
}

bool Settings::enableAllPrompts() {
    m_prompts.fill(true);
    return update([&](IniFile& ini) {
        for (int n = 1; n <= kPromptCount; ++n) ini.set(ini::kHelpPrompts, promptKey(n), 1);
    });
}

}  // namespace qmx
