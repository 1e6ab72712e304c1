#include "core/game/PlayerIdentity.h"

#include "core/game/PasswordKeyTable.h"
#include "core/module/MessageTable.h"
#include "core/module/Random.h"

namespace qmx {
namespace {

// A typed password as the field holds it: at most nine characters, up to a NUL.
std::string_view fieldPassword(std::string_view typed) {
    typed = typed.substr(0, kPasswordMax);
    const auto nul = typed.find('\0');
    return nul == std::string_view::npos ? typed : typed.substr(0, nul);
}

bool kindsDefined(const GameState& state) {
    return state.players[0].kind != SlotKind::NotUsed;
}

}  // namespace

int drawSeed(Random& random) {
    return random.next() % PasswordKeyTable::kSize;
}

bool needsInitialization(const GameState& state) {
    const int p = state.identifyProgress;
    return kindsDefined(state) && (p == kPlayersUndefined || (p >= 2 && p <= kSlotCount));
}

int slotToInitialize(const GameState& state) {
    const int p = state.identifyProgress;
    return p == kPlayersUndefined ? 0 : p - 1;
}

std::string initializePrompt(const GameState& state) {
    return "Enter the name of Player #" + std::to_string(slotToInitialize(state) + 1) + ":";
}

IdentityOutcome initializePlayer(GameState& state, std::string_view name, std::string_view password,
                                 int seed) {
    IdentityOutcome out;
    if (!needsInitialization(state)) return out;
    const std::string_view pw = fieldPassword(password);
    if (pw.empty()) {
        out.message = msg::kEnterPassword;
        return out;
    }
    out.accepted = true;
    const int slot = slotToInitialize(state);
    PlayerSlot& s = state.players[static_cast<std::size_t>(slot)];
    s.name = std::string(name.substr(0, kPlayerNameMax));
    s.password = scramblePassword(pw, seed);

    const int p = state.identifyProgress;
    if (p == kPlayersUndefined) {
        state.identifyProgress = 2;
    } else if (p < kSlotCount) {
        state.identifyProgress = state.players[static_cast<std::size_t>(p)].kind == SlotKind::Player
                                     ? static_cast<std::uint8_t>(p + 1)
                                     : kPlayersComplete;
    } else {
        state.identifyProgress = kPlayersComplete;
    }
    if (state.identifyProgress == kPlayersComplete) {
        state.currentSlot = static_cast<std::uint8_t>(slot);
    } else {
        state.currentSlot = kObserver;
        out.helpPrompt = kTravelOnHelp;
    }
    return out;
}

IdentityOutcome cancelInitialization(GameState& state) {
    state.currentSlot = kObserver;
    IdentityOutcome out;
    out.accepted = true;
    out.helpPrompt = kTravelOnHelp;
    return out;
}

bool needsIdentification(const GameState& state) {
    return state.identifyProgress == kPlayersComplete;
}

std::vector<std::pair<int, std::string>> identificationList(const GameState& state) {
    std::vector<std::pair<int, std::string>> list;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        const PlayerSlot& s = state.players[static_cast<std::size_t>(slot)];
        if (s.kind == SlotKind::Player || s.kind == SlotKind::GameMaster)
            list.emplace_back(slot, s.name);
    }
    return list;
}

bool passwordMatches(const PlayerSlot& slot, std::string_view password) {
    return unscramblePassword(slot.password) == fieldPassword(password);
}

IdentityOutcome identify(GameState& state, int slot, std::string_view password) {
    IdentityOutcome out;
    out.accepted = true;
    out.title = kIdentifyTitle;
    const bool listed =
        state.isValidSlot(slot) &&
        (state.players[static_cast<std::size_t>(slot)].kind == SlotKind::Player ||
         state.players[static_cast<std::size_t>(slot)].kind == SlotKind::GameMaster);
    if (listed && passwordMatches(state.players[static_cast<std::size_t>(slot)], password)) {
        state.currentSlot = static_cast<std::uint8_t>(slot);
        out.text = kWelcome + state.players[static_cast<std::size_t>(slot)].name + ".";
    } else {
        state.currentSlot = kObserver;
        out.text = kUnrecognized;
    }
    return out;
}

IdentityOutcome cancelIdentification(GameState& state) {
    state.currentSlot = kObserver;
    IdentityOutcome out;
    out.accepted = true;
    out.title = kIdentifyTitle;
    out.text = kUnrecognizedCancel;
    return out;
}

bool isIdentified(const GameState& state) {
    return state.identifyProgress == kPlayersComplete && state.currentSlot != kObserver &&
           state.isValidSlot(state.currentSlot);
}

IdentityOutcome checkChangePassword(const GameState& state) {
    IdentityOutcome out;
    if (isIdentified(state)) {
        out.accepted = true;
        return out;
    }
    out.title = kChangePasswordTitle;
    out.text = kMustBeIdentified;
    return out;
}

IdentityOutcome changePassword(GameState& state, std::string_view password, int seed) {
    IdentityOutcome out = checkChangePassword(state);
    if (!out.accepted) return out;
    const std::string_view pw = fieldPassword(password);
    if (pw.empty()) {
        out.accepted = false;
        out.message = msg::kEnterPassword;
        return out;
    }
    state.players[state.currentSlot].password = scramblePassword(pw, seed);
    return out;
}

}  // namespace qmx
