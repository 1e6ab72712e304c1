#include "core/session/PlayerSession.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "core/game/Carrying.h"
#include "core/game/EncodedSave.h"
#include "core/game/HideCommands.h"
#include "core/game/MailText.h"
#include "core/game/PlayerDefinition.h"
#include "core/game/PlayerIdentity.h"
#include "core/game/SavedGame.h"
#include "core/game/UnitRules.h"
#include "core/module/FileIo.h"
#include "core/module/MessageTable.h"
#include "core/module/Random.h"
#include "core/replay/ReplayFile.h"
#include "core/replay/ReplayRecorder.h"
#include "core/session/HelpPrompts.h"
#include "core/session/SaveCheck.h"
#include "core/session/SessionPrompts.h"
#include "core/settings/ProgramFolder.h"
#include "core/settings/Settings.h"

namespace qmx {

namespace {

constexpr std::uint16_t kResolveDeclared = 4;

const std::vector<FileFilter>& loadFilters() {
    static const std::vector<FileFilter> f{{"QMX Saved Games(*.qms)", "*.qms"},
                                           {"Encoded text file(*.txt)", "*.txt"},
                                           {"All Files", "*.*"}};
    return f;
}
const std::vector<FileFilter>& saveFilters() {
    static const std::vector<FileFilter> f{{"QMX Saved Games(*.qms)", "*.qms"},
                                           {"All Files", "*.*"}};
    return f;
}
const std::vector<FileFilter>& encodedFilters() {
    static const std::vector<FileFilter> f{{"QMX Saved Games(*.txt)", "*.txt"},
                                           {"All Files", "*.*"}};
    return f;
}

// The folder of a path with its trailing separator, and the file's title up
// to its last point.
std::string folderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}
std::string titleOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const auto dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0) name.resize(dot);
    return name;
}

}  // namespace

std::string proposedSaveTitle(const std::string& moduleTitle, const std::string& player,
                              std::int64_t secondsNow) {
    const std::time_t t = static_cast<std::time_t>(secondsNow);
    std::tm local{};
    localtime_r(&t, &local);
    char date[16];
    std::strftime(date, sizeof date, "%Y-%m-%d", &local);
    std::string title = moduleTitle + " - " + player + " - " + date;
    for (char& c : title) {
        if (static_cast<unsigned char>(c) < 32 ||
            std::string_view("/\\:*?\"<>|").find(c) != std::string_view::npos)
            c = '_';
    }
    return title;
}

PlayerSession::PlayerSession(const Module& module, GameState& game, ReplayRecorder& recorder,
                             ReplayFile& replayFile, SessionPrompts& prompts, Settings& settings,
                             Random& random, SessionFiles files)
    : m_module(module),
      m_game(game),
      m_recorder(recorder),
      m_replayFile(replayFile),
      m_prompts(prompts),
      m_settings(settings),
      m_random(random),
      m_files(std::move(files)) {}

void PlayerSession::applyState(Change& change, ControlCode code) {
    if (m_states.apply(code, commandContext(m_game))) change.states = true;
}

Change PlayerSession::applyCode(ControlCode code) {
    Change c;
    applyState(c, code);
    return c;
}

void PlayerSession::afterRecorded(std::uint64_t entriesBefore) {
    if (m_recorder.written() != entriesBefore && !carrying()) writeAutosave();
}

// ---- the board ------------------------------------------------------------------

Change PlayerSession::pickUp(Hex hex) {
    Change c;
    const std::vector<int> order = m_game.stackAt(hex.column, hex.row);
    const std::uint16_t head = pickUpStack(m_game, hex);
    if (head == 0) return c;
    m_pickupOrder = order;
    c.ran = true;
    m_pickupHex = hex;
    m_pickupHead = head;
    m_faceUp = m_faceDown = false;
    c.redraw(hex);
    c.carriedPicture = true;
    applyState(c, ControlCode::UnitsPickedUp);
    c.post(Receiver::Panel, ControlCode::ListCarried);
    return c;
}

Change PlayerSession::putDown(Hex hex) {
    Change c;
    c.ran = true;
    const std::uint64_t before = m_recorder.written();
    const bool movement = movementMode();
    if (movement && !m_pickupHex.isNone()) {
        // No path was clicked, so no move has been recorded yet. Put down
        // elsewhere, or back on its hex in another order (units hidden from
        // this player stay where they were, the carried ones go on top), it
        // is a move all the same, or the replay would not show it.
        std::vector<int> after = m_game.chain(m_game.carriedStack);
        const std::vector<int> rest = m_game.stackAt(hex.column, hex.row);
        after.insert(after.end(), rest.begin(), rest.end());
        if (hex != m_pickupHex || after != m_pickupOrder) recordPendingPickup(hex);
    }
    if (movement) {
        if (m_faceUp) m_recorder.record(ReplayCode::FaceUp);
        if (m_faceDown) m_recorder.record(ReplayCode::FaceDown);
        m_recorder.record(ReplayCode::Drop);
    }
    m_faceUp = m_faceDown = false;
    putDownStack(m_game, hex, movement, m_pickupHead);
    m_pickupHex = {};
    applyState(c, ControlCode::UnitsPutDown);
    c.redraw(hex);
    c.carriedPicture = true;
    c.cursor = hex;
    m_clickedHex = hex;
    c.post(Receiver::Panel, ControlCode::ListSelectedHex);
    afterRecorded(before);
    return c;
}

Change PlayerSession::doubleClick(Hex mouseHex) {
    if (m_replayRunning) return {};
    const bool movement = movementMode();
    if (!movement && m_game.combatMode == kResolveDeclared) return {};
    Change c;
    if (!carrying()) {
        if (!mouseHex.onMap(m_module)) return c;
        c = pickUp(mouseHex);
        c.cursor = mouseHex;
        m_clickedHex = mouseHex;
        return c;
    }
    const UnitState& head = m_game.unit(m_game.carriedStack);
    const Hex headHex{head.column, head.row};
    if (movement) {
        if (mouseHex.onMap(m_module)) c = putDown(mouseHex);
        return c;
    }
    // Combat mode: units go to the boxes, and back only through UNDO/RELEASE.
    if (mouseHex.onMap(m_module) && mouseHex != headHex) {
        m_prompts.showMessage(msg::kReleaseInCombat);
        c.ran = true;
        return c;
    }
    if (mouseHex == headHex) {
        c = putDown(mouseHex);
        c.merge(pickUp(mouseHex));
        return c;
    }
    if (m_game.isCombatBox(mouseHex.column, mouseHex.row)) c = putDown(mouseHex);
    return c;
}

void PlayerSession::recordPendingPickup(Hex firstPathHex) {
    if (m_pickupHex.isNone() || !movementMode() || !carrying()) return;
    m_recorder.recordMoveStart(firstPathHex.column, firstPathHex.row);
    m_pickupHex = {};
}

Change PlayerSession::click(Hex hex) {
    Change c;
    if (!hex.onMap(m_module)) return c;
    c.ran = true;
    m_clickedHex = hex;
    c.cursor = hex;
    if (!carrying()) {
        c.post(Receiver::Panel, ControlCode::ListSelectedHex);
        return c;
    }
    if (m_replayRunning) return c;
    if (movementMode()) {
        if (m_pickupHex.isNone()) {
            m_recorder.recordPath(hex.column, hex.row);
        } else if (hex != m_pickupHex) {
            recordPendingPickup(hex);
        }
    }
    const UnitState& head = m_game.unit(m_game.carriedStack);
    if (hex.column != head.column || hex.row != head.row) {
        for (const int u : carriedUnits(m_game)) m_game.unit(u).set(UnitFlags::kMoved);
    }
    c.carriedPicture = true;
    return c;
}

Change PlayerSession::stepKey(int n) {
    Change c;
    if (!mayChangeCarried() || n < 1 || n > 6) return c;
    c.ran = true;
    recordPendingPickup(m_clickedHex);
    const std::vector<int> units = carriedUnits(m_game);
    setStep(m_game, m_module, units, n - 1);
    m_recorder.recordSetStep(n - 1);
    c.carriedPicture = true;
    c.post(Receiver::Panel, ControlCode::ListCarried);
    return c;
}

Change PlayerSession::faceUpKey() {
    Change c;
    if (!mayChangeCarried()) return c;
    c.ran = true;
    recordPendingPickup(m_clickedHex);
    faceUp(m_game, carriedUnits(m_game));
    m_faceUp = true;
    c.carriedPicture = true;
    c.post(Receiver::Panel, ControlCode::ListCarried);
    return c;
}

Change PlayerSession::faceDownKey() {
    Change c;
    if (!mayChangeCarried()) return c;
    c.ran = true;
    recordPendingPickup(m_clickedHex);
    faceDown(m_game, m_module, carriedUnits(m_game));
    m_faceDown = true;
    c.carriedPicture = true;
    c.post(Receiver::Panel, ControlCode::ListCarried);
    return c;
}

Change PlayerSession::unitCommand(UnitCommand command) {
    Change c;
    if (!mayChangeCarried()) return c;
    // The toolbar's commands run only while their state allows it.
    auto guarded = [this](Command s) { return m_states.enabled(s); };
    switch (command) {
        case UnitCommand::StepIncrease:
            if (m_replayRunning || !guarded(Command::StepIncrease)) return c;
            break;
        case UnitCommand::StepDecrease:
            if (!guarded(Command::StepDecrease)) return c;
            break;
        case UnitCommand::RotateLeft:
            if (!guarded(Command::RotateLeft)) return c;
            break;
        case UnitCommand::RotateRight:
            if (!guarded(Command::RotateRight)) return c;
            break;
        case UnitCommand::HideUnits:
            if (!guarded(Command::HideUnits) || !hideCommandsAvailable(m_game)) return c;
            break;
        case UnitCommand::HideUnitId:
            if (!guarded(Command::HideUnitId) || !hideCommandsAvailable(m_game)) return c;
            break;
        case UnitCommand::UnhideUnits:
            if (!guarded(Command::UnhideUnits) || !hideCommandsAvailable(m_game)) return c;
            break;
        default:
            break;
    }
    c.ran = true;
    recordPendingPickup(m_clickedHex);
    const std::vector<int> units = carriedUnits(m_game);
    const int slot = m_game.currentSlot;
    switch (command) {
        case UnitCommand::StepIncrease:
            stepUp(m_game, units);
            m_recorder.record(ReplayCode::StepUp);
            break;
        case UnitCommand::StepDecrease:
            stepDown(m_game, m_module, units);
            m_recorder.record(ReplayCode::StepDown);
            break;
        case UnitCommand::RotateLeft:
            rotateLeft(m_game, units);
            m_recorder.record(ReplayCode::RotateLeft);
            break;
        case UnitCommand::RotateRight:
            rotateRight(m_game, units);
            m_recorder.record(ReplayCode::RotateRight);
            break;
        case UnitCommand::FacingOn:
            facingOn(m_game, units);
            m_recorder.record(ReplayCode::FacingOn);
            break;
        case UnitCommand::FacingOff:
            facingOff(m_game, units);
            m_recorder.record(ReplayCode::FacingOff);
            break;
        case UnitCommand::FaceCorner:
            faceCorner(m_game, units);
            m_recorder.record(ReplayCode::FaceCorner);
            break;
        case UnitCommand::FaceSide:
            faceSide(m_game, units);
            m_recorder.record(ReplayCode::FaceSide);
            break;
        case UnitCommand::HideUnits:
            if (hideUnits(m_game)) m_recorder.recordHide(ReplayCode::Hide, slot);
            break;
        case UnitCommand::HideUnitId:
            showHelpPrompt(m_settings, m_prompts, kHideIdHelp);
            if (hideUnitIds(m_game)) m_recorder.recordHide(ReplayCode::HideId, slot);
            break;
        case UnitCommand::UnhideUnits:
            if (unhideUnits(m_game)) m_recorder.record(ReplayCode::Unhide);
            break;
    }
    c.carriedPicture = true;
    c.post(Receiver::Panel, ControlCode::ListCarried);
    return c;
}

bool PlayerSession::undoPending() const {
    return carrying() && movementMode() && !m_replayRunning;
}

Hex PlayerSession::undoTarget() const {
    if (!carrying()) return {};
    const UnitState& first = m_game.unit(m_game.carriedStack);
    Hex t{first.startColumn, first.startRow};
    // A start outside the map (a damaged file) sends the units back where
    // they were picked up.
    if (!t.onMap(m_module)) t = {first.column, first.row};
    if (!t.onMap(m_module)) t = {1, 1};
    return t;
}

Change PlayerSession::undoPass() {
    Change c;
    if (!undoPending()) return c;
    c.ran = true;
    const Hex t = undoTarget();
    m_clickedHex = t;
    // The record must bring the units to T whatever was recorded before: a
    // move start when this pass picks units up anew, else a path entry that
    // continues the move already recorded.
    const std::vector<int> units = carriedUnits(m_game);
    if (!m_pickupHex.isNone() || m_undoContinues) {
        const UnitState& first = m_game.unit(units.front());
        m_recorder.recordMoveStart(units, first.column, first.row, t.column, t.row);
    } else {
        m_recorder.recordPath(t.column, t.row);
    }
    const Hex from = m_pickupHex;
    c.merge(putDown(t));
    // The units that started elsewhere go on to their own start hexes.
    m_undoContinues = carryStrangers(m_game, t, units.size());
    if (m_undoContinues) {
        m_pickupHex = from;
        applyState(c, ControlCode::UnitsPickedUp);
    }
    return c;
}

Change PlayerSession::flipAll(bool up) {
    Change c;
    if (m_replayRunning) return c;
    const std::uint64_t before = m_recorder.written();
    const bool flipped = up ? flipAllUnitsFaceUp(m_game, m_prompts)
                            : flipAllUnitsFaceDown(m_game, m_module, m_prompts);
    if (!flipped) return c;  // refused with message 22
    c.ran = true;
    m_recorder.record(up ? ReplayCode::AllFaceUp : ReplayCode::AllFaceDown);
    c.repaint = true;
    c.post(Receiver::Panel, ControlCode::ListShownAgain);
    afterRecorded(before);
    return c;
}

Change PlayerSession::clearFlags(bool movement) {
    Change c;
    if (m_replayRunning) return c;
    c.ran = true;
    if (movement) {
        clearMovementFlags(m_game);
    } else {
        clearCombatFlags(m_game);
    }
    c.repaint = true;
    c.post(Receiver::Panel, ControlCode::ListShownAgain);
    return c;
}

// ---- files and people ----------------------------------------------------------------

std::string PlayerSession::caption() const {
    if (m_savedGameTitle.empty()) return m_files.moduleTitle;
    return m_files.moduleTitle + ": " + m_savedGameTitle;
}

bool PlayerSession::askOverwrite(const std::string& path) {
    if (!fileExists(path)) return true;
    // The old file stays until the new one is complete, so "Yes" deletes
    // nothing yet: a failed write must not cost the old save.
    return m_prompts.askYesNo("WARNING", kOverwriteQuestion);
}

bool PlayerSession::mayReplaceGame() {
    return m_game.moveSaved || m_prompts.askYesNo("WARNING", kUnsavedMoveQuestion);
}

Change PlayerSession::loadGame() {
    if (!m_states.enabled(Command::Load) || m_fileDialogOpen) return {};
    if (!mayReplaceGame()) return {};
    m_fileDialogOpen = true;
    const auto path = m_prompts.openFileName("Open", m_files.savedGameFolder, loadFilters());
    m_fileDialogOpen = false;
    if (!path) return {};
    return loadGameFile(*path);
}

Change PlayerSession::loadGameFile(const std::string& path) {
    return loadFile(path, true);
}

Change PlayerSession::loadFile(const std::string& path, bool check) {
    m_files.savedGameFolder = folderOf(path);
    // A load that fails leaves everything as it was: the game (the reader may
    // already have changed the player table), the record and the caption.
    GameState before = m_game;
    const SavedGameLoad load = loadSavedGame(path, m_module, m_game, m_prompts);
    if (!load.ok) {
        m_game = std::move(before);
        Change c;
        c.ran = true;
        return c;
    }
    return finishLoad(load.replay, titleOf(path), path, check);
}

Change PlayerSession::pasteGame() {
    if (!m_states.enabled(Command::Load) || m_fileDialogOpen) return {};
    const std::string text = m_prompts.clipboardText();
    const Bytes data(text.begin(), text.end());
    GameState before = m_game;
    // Only text: the clipboard never holds a binary game.
    if (!findMailTextSave(data).text) {
        m_prompts.showMessage(msg::kAsciiDecodeFailed);
        Change c;
        c.ran = true;
        return c;
    }
    if (!mayReplaceGame()) return {};
    const SavedGameLoad load = readSavedGame(data, m_module, m_game, m_prompts);
    if (!load.ok) {
        m_game = std::move(before);
        Change c;
        c.ran = true;
        return c;
    }
    return finishLoad(load.replay, "Pasted game", {}, true);
}

Change PlayerSession::finishLoad(const Bytes& replay, const std::string& title,
                                 const std::string& path, bool check) {
    Change c;
    c.ran = true;
    if (!m_replayFile.replace(replay)) m_prompts.showMessage(msg::kCouldNotOpenFile);
    m_savedGameTitle = title;
    m_game.currentSlot = kObserver;
    m_pickupHex = {};
    m_faceUp = m_faceDown = false;
    m_undoContinues = false;
    applyState(c, ControlCode::UnitsPutDown);
    applyState(c, ControlCode::MovementMode);  // a load leaves combat mode
    m_loaded = LoadedGame{m_game, replay, path};
    identifyAfterLoad(c);
    if (check) checkLoadedGame(c);
    c.caption = caption();
    c.repaint = true;
    c.post(Receiver::Panel, ControlCode::ListShownAgain);
    return c;
}

namespace {

void showOutcome(const IdentityOutcome& o, Settings& settings, SessionPrompts& prompts) {
    if (o.message != 0) prompts.showMessage(o.message);
    if (!o.text.empty()) prompts.showText(o.title, o.text);
    if (o.helpPrompt != 0) showHelpPrompt(settings, prompts, o.helpPrompt);
}

}  // namespace

void PlayerSession::identifyAfterLoad(Change& c) {
    if (PlayerDefinition::needed(m_game)) {
        showHelpPrompt(m_settings, m_prompts, kDefinePlayersHelp);
        PlayerDefinition definition;
        switch (m_prompts.definePlayers(definition)) {
            case DefinePlayersAnswer::Ok:
                definition.store(m_game);
                PlayerDefinition::nameCardLocations(m_game, m_prompts);
                m_game.moveSaved = false;
                break;
            case DefinePlayersAnswer::Later:
                break;
            case DefinePlayersAnswer::NotNecessary:
                PlayerDefinition::dontAskAgain(m_game);
                m_game.moveSaved = false;
                break;
        }
    }
    if (m_game.identifyProgress == kPlayersNotNeeded) {
        applyState(c, ControlCode::CardsNotUsed);
        applyState(c, ControlCode::HidingNotUsed);
        return;
    }
    if (needsInitialization(m_game)) {
        for (;;) {
            const auto answer = m_prompts.askNewPlayer(initializePrompt(m_game));
            if (!answer) {
                showOutcome(cancelInitialization(m_game), m_settings, m_prompts);
                applyState(c, ControlCode::CardsNotYetAvailable);
                return;
            }
            const IdentityOutcome o =
                initializePlayer(m_game, answer->name, answer->password, drawSeed(m_random));
            if (!o.accepted) {
                showOutcome(o, m_settings, m_prompts);  // "You must enter a password!"
                continue;
            }
            // The new player travels with the next save.
            m_game.moveSaved = false;
            showOutcome(o, m_settings, m_prompts);
            break;
        }
        if (m_game.identifyProgress == kPlayersComplete) {
            applyState(c, ControlCode::CardsAvailable);
            applyState(c, ControlCode::HidingNotPossible);
        } else {
            applyState(c, ControlCode::CardsNotYetAvailable);
        }
        return;
    }
    if (needsIdentification(m_game)) {
        const auto list = identificationList(m_game);
        std::vector<std::string> names;
        for (const auto& entry : list) names.push_back(entry.second);
        const auto answer = m_prompts.askIdentity(names);
        const bool chosen =
            answer && answer->index >= 0 && static_cast<std::size_t>(answer->index) < list.size();
        const IdentityOutcome o =
            chosen ? identify(m_game, list[static_cast<std::size_t>(answer->index)].first,
                              answer->password)
                   : cancelIdentification(m_game);
        showOutcome(o, m_settings, m_prompts);
        if (isIdentified(m_game)) {
            applyState(c, ControlCode::CardsAvailable);
            applyState(c, ControlCode::HidingNotPossible);
        } else {
            // An observer holds no cards: the commands wait for an identified load.
            applyState(c, ControlCode::CardsNotYetAvailable);
            applyState(c, ControlCode::HidingNotPossible);
        }
    }
}

std::optional<std::string> PlayerSession::chooseSaveFile(
    const std::vector<FileFilter>& filters,
    const std::function<std::string(const std::string&)>& target) {
    const bool named =
        m_game.isValidSlot(m_game.currentSlot) && !m_game.players[m_game.currentSlot].name.empty();
    const std::int64_t now =
        m_files.clock ? m_files.clock->secondsNow() : static_cast<std::int64_t>(std::time(nullptr));
    const std::string base = proposedSaveTitle(
        m_files.moduleTitle, named ? m_game.players[m_game.currentSlot].name : "Observer", now);
    // A second save of the same day gets the next free number.
    std::string folder = m_files.savedGameFolder;
    std::string name = base;
    for (int n = 2; n < 100 && fileExists(target(folder + name)); ++n)
        name = base + " (" + std::to_string(n) + ")";
    for (;;) {
        m_fileDialogOpen = true;
        auto chosen = m_prompts.saveFileName("Save As", folder, name, filters);
        m_fileDialogOpen = false;
        if (!chosen || askOverwrite(target(*chosen))) return chosen;
        folder = folderOf(target(*chosen));
        name = titleOf(target(*chosen));
    }
}

std::optional<Bytes> PlayerSession::saveChosenGame(const std::string& chosen, Change& c) {
    c.ran = true;
    const std::string target = savedGameName(chosen);
    m_recorder.record(ReplayCode::SaveMarker);
    Bytes replay = m_replayFile.read().value_or(Bytes{});
    if (!saveGameFile(chosen, m_game, m_module, replay, m_prompts)) return std::nullopt;
    m_settings.noteGameSaved(target);
    m_files.savedGameFolder = folderOf(target);
    m_savedGameTitle = titleOf(target);
    c.caption = caption();
    removeAutosave();
    return replay;
}

std::string PlayerSession::textSaveOf(const Bytes& replay) const {
    const Bytes text = encodeCheckedTextSave(serializeSavedGame(m_game, m_module, replay));
    // The end marker's NUL stays out: the clipboard and a mail hold text.
    std::string s(text.begin(), text.end());
    while (!s.empty() && s.back() == '\0') s.pop_back();
    return s;
}

Change PlayerSession::saveGame() {
    if (!m_states.enabled(Command::Save) || m_fileDialogOpen) return {};
    const auto chosen =
        chooseSaveFile(saveFilters(), [](const std::string& s) { return savedGameName(s); });
    Change c;
    if (chosen) saveChosenGame(*chosen, c);
    return c;
}

Change PlayerSession::saveEncoded() {
    if (!m_states.enabled(Command::Save) || m_fileDialogOpen) return {};
    showHelpPrompt(m_settings, m_prompts, prompt::kEncodedSave);
    const auto chosen =
        chooseSaveFile(encodedFilters(), [](const std::string& s) { return textSaveName(s); });
    Change c;
    if (!chosen) return c;
    c.ran = true;
    const std::string target = textSaveName(*chosen);
    const Bytes replay = m_replayFile.read().value_or(Bytes{});
    if (!saveGameFile(*chosen, m_game, m_module, replay, m_prompts, SaveForm::Text)) return c;
    m_settings.noteGameSaved(target);
    m_files.savedGameFolder = folderOf(target);
    m_savedGameTitle = titleOf(*chosen);
    c.caption = caption();
    removeAutosave();
    return c;
}

Change PlayerSession::sendTurnByMail() {
    if (!m_states.enabled(Command::Save) || m_fileDialogOpen) return {};
    const auto chosen =
        chooseSaveFile(saveFilters(), [](const std::string& s) { return savedGameName(s); });
    Change c;
    if (!chosen) return c;
    const auto replay = saveChosenGame(*chosen, c);
    if (!replay) return c;
    const std::string target = savedGameName(*chosen);
    const std::string textPath = textSaveName(*chosen);

    // The text save of the same bytes beside it, as Internet Encoded writes it.
    std::string text = textSaveOf(*replay);
    const bool textWritten =
        (!fileExists(textPath) || askOverwrite(textPath)) &&
        saveGameFile(*chosen, m_game, m_module, *replay, m_prompts, SaveForm::Text);

    const bool named =
        m_game.isValidSlot(m_game.currentSlot) && !m_game.players[m_game.currentSlot].name.empty();
    const std::string player = named ? m_game.players[m_game.currentSlot].name : "Observer";
    TurnMail mail;
    mail.subject = "QMX: " + m_files.moduleTitle + ", " + player + "'s move";
    mail.body = player + "'s move in " + m_files.moduleTitle +
                ": open the attached saved game in QMX, or copy this whole mail and choose "
                "File > Paste Game from Mail.\n\n";
    mail.attachments.push_back(target);
    if (text.size() <= kMailBodyLimit || !textWritten) {
        mail.body += text;
    } else {
        mail.body += "(The game is too long for the text of a mail: " + titleOf(textPath) +
                     ".txt, attached too, holds it as text.)\n";
        mail.attachments.push_back(textPath);
    }
    mail.gamePath = target;
    mail.textPath = textWritten ? textPath : std::string();
    mail.text = std::move(text);
    m_prompts.handToMailProgram(mail);
    return c;
}

std::optional<PlayerSession::AarChoice> PlayerSession::chooseAfterActionReport() {
    if (m_fileDialogOpen) return std::nullopt;
    m_fileDialogOpen = true;
    AarChoice choice;
    choice.saves = m_prompts.openFileNames("Export After-Action Report: the saved games",
                                           m_files.savedGameFolder, loadFilters());
    std::optional<std::string> folder;
    if (!choice.saves.empty())
        folder = m_prompts.chooseFolder("Export After-Action Report: the folder for the page",
                                        m_files.savedGameFolder);
    m_fileDialogOpen = false;
    if (!folder) return std::nullopt;
    choice.folder = *folder;
    // In the order they were saved: the game's turns. Files of the same
    // second (copied together) keep the order of their names.
    auto when = [](const std::string& path) {
        std::error_code ec;
        const auto t = std::filesystem::last_write_time(path, ec);
        return ec ? std::int64_t{0}
                  : std::chrono::duration_cast<std::chrono::seconds>(t.time_since_epoch()).count();
    };
    std::sort(choice.saves.begin(), choice.saves.end(),
              [&](const std::string& a, const std::string& b) {
                  const auto ta = when(a), tb = when(b);
                  return ta != tb ? ta < tb : a < b;
              });
    if (m_game.isValidSlot(m_game.currentSlot))
        choice.viewer = m_game.players[m_game.currentSlot].name;
    return choice;
}

std::string turnMailFailureText(const TurnMail& mail, const std::string& reason) {
    std::string s = "The turn could not be handed to your mail program: " + reason +
                    ".\n\nIt is saved in\n" + mail.gamePath + "\n";
    if (!mail.textPath.empty()) s += "and as text in\n" + mail.textPath + "\n";
    return s + "\nThe text is on the clipboard: paste it into a mail, or attach the saved game.";
}

Change PlayerSession::copyGameAsText() {
    if (!m_states.enabled(Command::Save)) return {};
    Change c;
    c.ran = true;
    m_prompts.setClipboardText(textSaveOf(m_replayFile.read().value_or(Bytes{})));
    return c;
}

// ---- the turn check --------------------------------------------------------------------

void PlayerSession::checkLoadedGame(Change& c) {
    if (!m_loaded) return;
    std::vector<std::string> folders{m_files.programFolder + std::string(kSavedGamesFolder)};
    if (!m_loaded->path.empty()) folders.push_back(folderOf(m_loaded->path));
    const auto candidates = saveCandidates(m_settings.recentSaves(), folders, m_loaded->path);
    if (candidates.empty()) return;
    const Bytes loadedBytes =
        m_loaded->path.empty() ? Bytes{} : readWholeFile(m_loaded->path).value_or(Bytes{});
    const auto found = checkAgainstSaves(m_module, {m_loaded->state, m_loaded->record}, candidates,
                                         m_game.currentSlot, loadedBytes);
    if (found) showCheck(c, found->savePath, found->check);
}

void PlayerSession::showCheck(Change& c, const std::string& savePath, const TurnCheck& check) {
    if (check.consistent()) {
        c.notice = checkedNotice(savePath);
    } else {
        m_prompts.showFindings(kTurnCheckTitle, findingsHeading(savePath), check.findings);
    }
}

Change PlayerSession::checkAgainstSave() {
    Change c;
    if (m_fileDialogOpen) return c;
    c.ran = true;
    if (!m_loaded) {
        m_prompts.showText(kTurnCheckTitle,
                           "Load the game that came back first; then choose the save you sent.");
        return c;
    }
    m_fileDialogOpen = true;
    const auto path = m_prompts.openFileName("Check Against My Save",
                                             m_files.programFolder + std::string(kSavedGamesFolder),
                                             loadFilters());
    m_fileDialogOpen = false;
    if (!path) return c;
    const auto check = qmx::checkAgainstSave(m_module, {m_loaded->state, m_loaded->record}, *path,
                                             m_game.currentSlot);
    if (!check) {
        m_prompts.showText(kTurnCheckTitle, titleOf(*path) +
                                                " is not a saved game of this module, or it "
                                                "cannot be read.");
        return c;
    }
    showCheck(c, *path, *check);
    if (c.notice) m_prompts.showText(kTurnCheckTitle, *c.notice);
    return c;
}

Change PlayerSession::identifyAgain() {
    if (!m_states.enabled(Command::Load) || m_replayRunning) return {};
    Change c;
    c.ran = true;
    if (isIdentified(m_game)) {
        m_prompts.showText("Identify Player",
                           "You are identified as " +
                               m_game.players[static_cast<std::size_t>(m_game.currentSlot)].name +
                               ". To play as another player, load the game again.");
        return c;
    }
    identifyAfterLoad(c);
    c.caption = caption();
    c.repaint = true;
    c.post(Receiver::Panel, ControlCode::ListShownAgain);
    return c;
}

Change PlayerSession::changePassword() {
    Change c;
    c.ran = true;
    const IdentityOutcome refusal = checkChangePassword(m_game);
    if (!refusal.accepted) {
        showOutcome(refusal, m_settings, m_prompts);
        return c;
    }
    for (;;) {
        const auto typed = m_prompts.askNewPassword();
        if (!typed) return c;
        const IdentityOutcome o = qmx::changePassword(m_game, *typed, drawSeed(m_random));
        if (o.accepted) break;
        showOutcome(o, m_settings, m_prompts);
    }
    // The new password travels with the next save.
    m_game.moveSaved = false;
    return c;
}

Change PlayerSession::comment(bool mayCancel) {
    Change c;
    if (mayCancel && !m_states.enabled(Command::Comment)) return c;
    const auto answer = m_prompts.askComment(m_settings.preferences().largeFontComments, mayCancel);
    if (!answer) return c;
    c.ran = true;
    const std::uint64_t before = m_recorder.written();
    if (answer->encode) {
        const auto password = m_prompts.askCommentPassword();
        if (!password) return c;
        m_recorder.recordEncryptedComment(answer->text, *password, m_random);
    } else {
        m_recorder.recordComment(answer->text);
    }
    afterRecorded(before);
    return c;
}

// ---- the autosave -----------------------------------------------------------------------

std::string PlayerSession::autosavePath() const {
    return m_files.programFolder + kAutosaveName;
}

void PlayerSession::writeAutosave() {
    const Bytes replay = m_replayFile.read().value_or(Bytes{});
    if (writeFileAtomically(autosavePath(), serializeSavedGame(m_game, m_module, replay))) {
        ++m_autosaves;
        m_autosaveWarned = false;
        return;
    }
    // The game goes on; the player is told once that the safety net is gone
    // (a full disk, a folder he may not write to) until a write succeeds again.
    if (m_autosaveWarned) return;
    m_autosaveWarned = true;
    m_prompts.showText(std::string(kWarningTitle), autosaveFailedText(autosavePath()));
}

void PlayerSession::removeAutosave() {
    std::error_code ec;
    std::filesystem::remove(autosavePath(), ec);
}

Change PlayerSession::offerAutosave() {
    const std::string path = autosavePath();
    const auto head = readFilePrefix(path, 3);
    if (!head || head->size() < 3) return {};
    // Only a game of this module is offered; another module's stays for it.
    if (!std::equal(head->begin(), head->end(), m_module.moduleId.begin())) return {};
    // Declined, the file stays until the next recorded action replaces it.
    if (!m_prompts.askYesNo("WARNING", kAutosaveQuestion)) return {};
    // The autosave is this player's own work: there is nothing to check.
    Change c = loadFile(path, false);
    // The continued game has not been saved by the player yet.
    m_savedGameTitle.clear();
    m_files.savedGameFolder = m_files.programFolder + std::string(kSavedGamesFolder);
    m_game.moveSaved = false;
    c.caption = caption();
    return c;
}

// ---- the game-controls panel ------------------------------------------------------------

Change PlayerSession::pickOne(Hex hex, int unit) {
    Change c;
    if (m_replayRunning || !m_game.isUnit(unit) || !m_game.hasHex(hex.column, hex.row)) return c;
    if (!movementMode() && m_game.combatMode == kResolveDeclared) return c;
    std::vector<int> stack = m_game.stackAt(hex.column, hex.row);
    if (std::find(stack.begin(), stack.end(), unit) == stack.end()) return c;
    std::vector<int> carried = carriedUnits(m_game);
    if (!carried.empty()) {
        const UnitState& head = m_game.unit(carried.front());
        if (head.column != hex.column || head.row != hex.row) return c;
    }
    c.ran = true;
    const bool fresh = carried.empty();
    if (fresh) {
        m_pickupOrder = stack;
        // The stack as it stood, for combat mode to restore.
        const int head = stack.front();
        if (!m_game.unit(head).has(UnitFlags::kLinkSaved)) {
            m_game.unit(head).set(UnitFlags::kWasHead);
            for (const int u : stack) {
                UnitState& s = m_game.unit(u);
                s.savedLink = s.stackLink;
                s.set(UnitFlags::kLinkSaved);
            }
        }
        m_pickupHex = hex;
        m_pickupHead = static_cast<std::uint16_t>(head);
        m_faceUp = m_faceDown = false;
    }
    std::erase(stack, unit);
    carried.push_back(unit);
    auto link = [this](const std::vector<int>& units) -> std::uint16_t {
        for (std::size_t i = 0; i < units.size(); ++i)
            m_game.unit(units[i]).stackLink =
                i + 1 < units.size() ? static_cast<std::uint16_t>(units[i + 1]) : 0;
        return units.empty() ? 0 : static_cast<std::uint16_t>(units.front());
    };
    m_game.setStackHead(hex.column, hex.row, link(stack));
    m_game.carriedStack = link(carried);
    if (fresh) applyState(c, ControlCode::UnitsPickedUp);
    c.redraw(hex);
    c.carriedPicture = true;
    c.post(Receiver::Panel, ControlCode::ListShownAgain);
    return c;
}

bool PlayerSession::mayStartStraightEdge() {
    if (!carrying()) return true;
    m_prompts.showMessage(msg::kNoLosWhileHolding);
    return false;
}

}  // namespace qmx
