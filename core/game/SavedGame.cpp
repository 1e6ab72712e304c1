#include "core/game/SavedGame.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <string_view>

#include "core/game/EncodedSave.h"
#include "core/game/MailText.h"
#include "core/game/StackRepair.h"
#include "core/game/UnitRules.h"
#include "core/game/UserPrompts.h"
#include "core/module/FileIo.h"
#include "core/module/MessageTable.h"

namespace qmx {
namespace {

const std::string kWarning(kWarningTitle);

const char* const kTruncatedText =
    "This saved game ends before its game state is complete: the file is damaged or was not "
    "transferred whole. Load terminated.";
const char* const kTooLargeText =
    "This file is far too large to be a saved game (more than 64 MB). Load terminated.";

bool validPlace(std::uint8_t p) {
    return p < kSlotCount || p == kInDeck || p == kDiscarded;
}
bool validHider(int nibble) {
    return nibble < kSlotCount || nibble == kNotHidden;
}
bool validProgress(std::uint8_t v) {
    return v == kPlayersUndefined || v == kPlayersNotNeeded || (v >= 2 && v <= 8) ||
           v == kPlayersComplete;
}

// What a damaged file needed mending, counted while reading.
struct Mending {
    int linksBeyond = 0;
    int offMap = 0;
    int badSteps = 0;
    int badHiders = 0;
    int severalDirections = 0;
    int staleDeclarations = 0;
    bool tooManyDeclarations = false;
    int badPlaces = 0;
    int badKinds = 0;
    int longNames = 0;
    bool badProgress = false;

    std::vector<std::string> list() const {
        std::vector<std::string> out;
        auto add = [&](int n, const char* one, const char* many) {
            if (n == 1) out.emplace_back(one);
            if (n > 1) out.push_back(std::to_string(n) + many);
        };
        add(linksBeyond, "A stack link pointed beyond the last unit and was removed.",
            " stack links pointed beyond the last unit and were removed.");
        add(offMap, "A unit stood off the map and was moved to its edge.",
            " units stood off the map and were moved to its edge.");
        add(badSteps, "A unit had a step that no unit can have and was set to its highest step.",
            " units had a step that no unit can have and were set to their highest step.");
        add(badHiders,
            "A unit was hidden by a player position that does not exist; nobody hides it now.",
            " units were hidden by a player position that does not exist; nobody hides them now.");
        add(severalDirections,
            "A unit faced several directions at once; it now faces the first of them.",
            " units faced several directions at once; each now faces the first of them.");
        if (tooManyDeclarations) {
            out.emplace_back("More than 120 combat declarations were pending; 120 are kept.");
        }
        add(staleDeclarations,
            "A unit belonged to a combat declaration that is not pending; it is no longer "
            "declared.",
            " units belonged to combat declarations that are not pending; they are no longer "
            "declared.");
        add(badPlaces, "A card was in no valid place; it is back in its deck.",
            " cards were in no valid place; they are back in their decks.");
        add(badKinds, "A player position had an unknown kind and was changed.",
            " player positions had an unknown kind and were changed.");
        add(longNames, "A player name was longer than 14 characters and was shortened.",
            " player names were longer than 14 characters and were shortened.");
        if (badProgress)
            out.emplace_back(
                "The progress of defining the players had an unknown value and was reset.");
        return out;
    }
};

// The facing with at most one direction bit: the lowest of several.
std::uint8_t oneDirection(std::uint8_t facing, Mending& m) {
    const std::uint8_t d = facing & Facing::kDirectionMask;
    if ((d & (d - 1)) == 0) return facing;
    ++m.severalDirections;
    return static_cast<std::uint8_t>((facing & ~Facing::kDirectionMask) | (d & (~d + 1)));
}

std::uint8_t onMap(std::uint8_t value, int limit, bool& moved) {
    if (value > limit) {
        moved = true;
        return static_cast<std::uint8_t>(limit);
    }
    return value;
}

// Lowers a step until the unit has it (step 0 always exists).
std::uint8_t existingStep(const Module& module, int unit, std::uint8_t step) {
    if (step > 5) step = 5;
    while (step > 0 && !unitStepExists(module, unit, step)) --step;
    return step;
}

SlotKind slotKind(std::uint8_t raw, int slot, Mending& m) {
    switch (raw) {
        case 0:
            return SlotKind::NotUsed;
        case 1:
            return SlotKind::Player;
        case 2:
            return SlotKind::CardLocation;
        case 4:
            if (slot == 0) return SlotKind::GameMaster;
            ++m.badKinds;
            return SlotKind::Player;
        default:
            ++m.badKinds;
            return SlotKind::NotUsed;
    }
}

std::uint8_t identifyProgressOf(std::uint8_t raw, const PlayerTable& players, Mending& m) {
    if (validProgress(raw)) return raw;
    m.badProgress = true;
    // With positions defined the players identify as usual; otherwise the
    // definition starts again.
    return players[0].kind != SlotKind::NotUsed ? kPlayersComplete : kPlayersUndefined;
}

struct GameBlock {
    std::uint16_t reserved = 0;
    std::uint8_t pending = 0;
    PlayerTable players{};
    std::array<std::uint8_t, kDeckCount> cardCounts{};
};

GameBlock readGameBlock(ByteReader& r, Mending& m) {
    GameBlock b;
    b.reserved = static_cast<std::uint16_t>(r.base255());
    b.pending = r.u8();
    for (int s = 0; s < kSlotCount; ++s)
        b.players[static_cast<std::size_t>(s)].kind = slotKind(r.u8(), s, m);
    for (auto& p : b.players) {
        p.name = r.text(kPlayerNameField);
        if (p.name.size() > kPlayerNameMax) {
            ++m.longNames;
            p.name.resize(kPlayerNameMax);
        }
    }
    for (auto& p : b.players) {
        const auto pw = r.raw(kStoredPasswordSize);
        std::copy(pw.begin(), pw.end(), p.password.begin());
    }
    for (auto& c : b.cardCounts) c = r.u8();
    return b;
}

}  // namespace

std::pair<std::uint8_t, std::uint8_t> saveBase255(int value) {
    value = std::clamp(value, 0, 255 * 255 + 255);
    if (value <= 255) return {0, static_cast<std::uint8_t>(value)};
    const int high = std::min(value / 255, 255);
    return {static_cast<std::uint8_t>(high), static_cast<std::uint8_t>(value - high * 255)};
}

Bytes serializeSavedGame(const GameState& state, const Module& module,
                         std::span<const std::uint8_t> replay) {
    ByteWriter w;
    auto number = [&](int v) {
        const auto [high, low] = saveBase255(v);
        w.u8(high);
        w.u8(low);
    };
    const int n = state.unitCount();
    std::size_t cards = 0;
    for (int d = 1; d <= kDeckCount; ++d)
        cards += module.decks[static_cast<std::size_t>(d)].cardCount;
    w.bytes().reserve(kSaveHeaderSize + kSaveGameBlockSize + cards +
                      static_cast<std::size_t>(state.rows()) *
                          static_cast<std::size_t>(state.columns()) +
                      static_cast<std::size_t>(n) * kSaveUnitRecordSize + replay.size());
    w.raw(std::span<const std::uint8_t>(module.moduleId));
    w.u8(kSaveFormatVersion);
    number(n);
    w.u8(state.headerByte6);
    w.u8(state.identifyProgress);
    w.u8(0);

    number(state.reservedValue);
    w.u8(state.pendingDeclarations);
    for (const auto& p : state.players) w.u8(static_cast<int>(p.kind));
    for (const auto& p : state.players) {
        w.text(std::string_view(p.name).substr(0, std::min(p.name.size(), kPlayerNameMax)),
               kPlayerNameField);
    }
    for (const auto& p : state.players) w.raw(std::span<const std::uint8_t>(p.password));
    for (int d = 1; d <= kDeckCount; ++d) w.u8(module.decks[static_cast<std::size_t>(d)].cardCount);

    for (int d = 1; d <= kDeckCount; ++d) {
        const int count = module.decks[static_cast<std::size_t>(d)].cardCount;
        for (int c = 1; c <= count; ++c)
            w.u8(c <= state.deckSize(d) ? state.cardPlace(d, c) : kInDeck);
    }
    for (int r = 1; r <= state.rows(); ++r) {
        for (int c = 1; c <= state.columns(); ++c) w.u8(state.hex(c, r).state);
    }
    for (int u = 1; u <= n; ++u) {
        const UnitState& s = state.unit(u);
        number(s.stackLink);
        number(s.startStackLink);
        w.u8(s.startColumn);
        w.u8(s.startRow);
        w.u8(s.column);
        w.u8(s.row);
        w.u8(static_cast<std::uint8_t>(s.declaration));
        w.u8(s.flags);
        w.u8(s.facing);
        w.u8(s.startFacing);
        w.u8(s.step);
        w.u8(s.startStep);
        w.u8(s.hidden);
    }
    w.raw(replay);
    return std::move(w.bytes());
}

std::string savedGameName(const std::string& chosen, SaveForm form) {
    return form == SaveForm::Text ? textSaveName(chosen) : forceExtension(chosen, "qms");
}

bool saveGameFile(const std::string& chosen, GameState& state, const Module& module,
                  std::span<const std::uint8_t> replay, UserPrompts& prompts, SaveForm form) {
    Bytes bytes = serializeSavedGame(state, module, replay);
    if (form == SaveForm::Text) bytes = encodeCheckedTextSave(bytes);
    if (!writeFileAtomically(savedGameName(chosen, form), bytes)) {
        prompts.showMessage(msg::kCouldNotOpenFile);
        return false;
    }
    state.moveSaved = true;
    return true;
}

std::string damagedFileText(const std::vector<std::string>& corrections) {
    std::string text = "This saved game is damaged. Loading it needs these corrections:";
    for (const auto& c : corrections) text += "\n- " + c;
    return text;
}

SavedGameLoad readBinarySavedGame(std::span<const std::uint8_t> data, const Module& module,
                                  GameState& state, UserPrompts& prompts) {
    SavedGameLoad out;
    if (data.size() > kMaxSavedGameSize) {
        prompts.showText(kWarning, kTooLargeText);
        return out;
    }
    if (data.size() < kSaveHeaderSize) {
        prompts.showText(kWarning, kTruncatedText);
        return out;
    }
    ByteReader r(data);
    std::array<std::uint8_t, 3> id{};
    for (auto& b : id) b = r.u8();
    const int version = r.u8();
    const int unitCount = r.base255();
    const std::uint8_t byte6 = r.u8();
    const std::uint8_t progress = r.u8();
    r.u8();  // byte 8
    out.formatVersion = version;

    if (unitCount != module.unitCount || unitCount != state.unitCount()) {
        prompts.showMessage(msg::kUnitCountMismatch);
        return out;
    }
    if (id != module.moduleId) prompts.showMessage(msg::kModuleIdMismatch);
    if (version < kSaveFormatVersion && (version > 100 || version == 50)) {
        prompts.showMessage(msg::kEarlierVersion);
    } else if (version > kSaveFormatVersion) {
        prompts.showMessage(msg::kLaterVersion);
    }

    Mending m;
    // Every check that can fail the load comes before the first change, so
    // the file is read straight into the game.
    GameState& next = state;
    const int n = unitCount;
    if (version > kLastVersionWithoutState) {
        if (r.remaining() < kSaveGameBlockSize) {
            prompts.showText(kWarning, kTruncatedText);
            return out;
        }
        GameBlock block = readGameBlock(r, m);
        const std::uint8_t identify = identifyProgressOf(progress, block.players, m);
        for (int d = 0; d < kDeckCount; ++d) {
            if (block.cardCounts[static_cast<std::size_t>(d)] !=
                module.decks[static_cast<std::size_t>(d) + 1].cardCount) {
                // Header byte 6 has been kept, the location flags cleared and
                // the player table read into the game already.
                state.headerByte6 = byte6;
                state.locationHasCards = {};
                state.players = block.players;
                state.identifyProgress = identify;
                prompts.showMessage(msg::kCardCountMismatch);
                return out;
            }
        }
        std::size_t cards = 0;
        for (const auto c : block.cardCounts) cards += c;
        const std::size_t need =
            cards +
            static_cast<std::size_t>(next.rows()) * static_cast<std::size_t>(next.columns()) +
            static_cast<std::size_t>(n) * kSaveUnitRecordSize;
        if (r.remaining() < need) {
            prompts.showText(kWarning, kTruncatedText);
            return out;
        }
        next.players = block.players;
        next.identifyProgress = identify;
        next.reservedValue = block.reserved;
        next.pendingDeclarations = block.pending;
        if (next.pendingDeclarations > kMaxPendingDeclarations) {
            m.tooManyDeclarations = true;
            next.pendingDeclarations = kMaxPendingDeclarations;
        }

        for (int d = 1; d <= kDeckCount; ++d) {
            auto& places = next.deckPlaces(d);
            places.assign(block.cardCounts[static_cast<std::size_t>(d) - 1], kInDeck);
            for (auto& p : places) {
                p = r.u8();
                if (!validPlace(p)) {
                    ++m.badPlaces;
                    p = kInDeck;
                }
            }
        }
        for (int row = 1; row <= next.rows(); ++row) {
            for (int c = 1; c <= next.columns(); ++c) next.hex(c, row).state = r.u8();
        }
        const int pending = next.pendingDeclarations;
        for (int u = 1; u <= n; ++u) {
            UnitState& s = next.unit(u);
            auto link = [&](int v) -> std::uint16_t {
                if (v > n) {
                    ++m.linksBeyond;
                    return 0;
                }
                return static_cast<std::uint16_t>(v);
            };
            s.stackLink = link(r.base255());
            s.startStackLink = link(r.base255());
            bool moved = false;
            s.startColumn = onMap(r.u8(), next.columns(), moved);
            s.startRow = onMap(r.u8(), next.rows(), moved);
            s.column = onMap(r.u8(), next.columns(), moved);
            s.row = onMap(r.u8(), next.rows(), moved);
            m.offMap += moved ? 1 : 0;
            s.declaration = static_cast<std::int8_t>(r.u8());
            if (s.declaration > pending || s.declaration < -pending) {
                ++m.staleDeclarations;
                s.declaration = 0;
            }
            s.flags = r.u8();
            s.facing = oneDirection(r.u8(), m);
            s.startFacing = oneDirection(r.u8(), m);
            s.step = r.u8();
            s.startStep = r.u8();
            if (s.step > 5 || s.startStep > 5) {
                ++m.badSteps;
                if (s.startStep > 5) s.startStep = existingStep(module, u, s.startStep);
            }
            // A step the module does not have is shown at the highest one below it.
            s.step = existingStep(module, u, s.step);
            s.hidden = r.u8();
            if (!validHider(s.hiddenBy()) || !validHider(s.startHiddenBy())) {
                ++m.badHiders;
                if (!validHider(s.hiddenBy())) s.setHiddenBy(kNotHidden);
                if (!validHider(s.startHiddenBy())) s.setStartHiddenBy(kNotHidden);
            }
            s.savedLink = 0;
        }
    }
    next.headerByte6 = byte6;
    next.setSentinel();
    const auto tail = r.raw(r.remaining());
    out.replay.assign(tail.begin(), tail.end());

    next.updateLocationFlags();
    next.carriedStack = 0;
    next.currentSlot = kObserver;
    next.gameMode = GameMode::Movement;
    next.moveSaved = true;
    out.stackingError = repairStacks(next).stackingError;

    out.corrections = m.list();
    // The person decides before the mended game replaces his own.
    if (!out.corrections.empty() &&
        !prompts.askLoadDamaged(kWarning, damagedFileText(out.corrections)))
        return SavedGameLoad{};
    if (out.stackingError) prompts.showText(kWarning, std::string(kStackingErrorText));
    out.ok = true;
    return out;
}

SavedGameLoad readSavedGame(std::span<const std::uint8_t> data, const Module& module,
                            GameState& state, UserPrompts& prompts) {
    // A text save may come as a whole mail: base64, quoted-printable, HTML.
    const MailTextSave mail = findMailTextSave(data);
    if (!mail.text && !mail.mail) return readBinarySavedGame(data, module, state, prompts);
    const std::optional<Bytes> binary = mail.text ? decodeTextSave(*mail.text) : std::nullopt;
    if (!binary) {
        prompts.showMessage(msg::kAsciiDecodeFailed);
        return {};
    }
    if (mail.check && !matchesCheck(*mail.check, *binary)) {
        prompts.showText(kWarning, std::string(kTextSaveChangedText));
        return {};
    }
    SavedGameLoad out = readBinarySavedGame(*binary, module, state, prompts);
    out.textForm = true;
    return out;
}

SavedGameLoad loadSavedGame(const std::string& path, const Module& module, GameState& state,
                            UserPrompts& prompts) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (!ec && size > kMaxSaveFileSize) {
        prompts.showText(kWarning, kTooLargeText);
        return {};
    }
    const std::optional<Bytes> data = readWholeFile(path, kMaxSaveFileSize);
    if (!data) {
        prompts.showMessage(msg::kCouldNotParse);
        return {};
    }
    return readSavedGame(*data, module, state, prompts);
}

}  // namespace qmx
