#include "core/replay/ReplayLines.h"

#include "core/replay/ReplayCodes.h"
#include "core/replay/ReplayNames.h"

namespace qmx {

namespace {

std::string hexText(const Module& module, Hex h) {
    const std::string name = hexName(module, h);
    return name.empty() ? std::to_string(h.column) + "," + std::to_string(h.row) : name;
}

std::string unitsText(const Module& module, const GameState& state, const std::vector<int>& units) {
    std::string s;
    for (int u : units) s += (s.empty() ? "" : ", ") + shownUnitName(module, state, u);
    return s;
}

}  // namespace

const char* unitCommandName(std::uint8_t code) {
    switch (static_cast<ReplayCode>(code)) {
        case ReplayCode::StepDown:
            return "step decrease";
        case ReplayCode::StepUp:
            return "step increase";
        case ReplayCode::HideId:
            return "hide unit ID";
        case ReplayCode::Unhide:
            return "unhide units";
        case ReplayCode::Hide:
            return "hide units";
        case ReplayCode::SetStep:
            return "set step";
        case ReplayCode::RotateRight:
            return "rotate right";
        case ReplayCode::RotateLeft:
            return "rotate left";
        case ReplayCode::FaceSide:
            return "face side";
        case ReplayCode::FaceCorner:
            return "face corner";
        case ReplayCode::FacingOff:
            return "facing off";
        case ReplayCode::FacingOn:
            return "facing on";
        case ReplayCode::FaceUp:
            return "face up";
        case ReplayCode::FaceDown:
            return "face down";
        default:
            return kOtherCommandName;
    }
}

std::string replayEventLine(const ReplayEvent& e, const Module& module, const GameState& state) {
    const auto units = [&] { return unitsText(module, state, e.units); };
    switch (e.kind) {
        case ReplayEventKind::NothingToReplay:
        case ReplayEventKind::Refused:
            return {};
        case ReplayEventKind::Started:
            return "start: every unit at its start position";
        case ReplayEventKind::MoveStart:
            return e.shown ? "move: " + units() + " leave " + hexText(module, e.from)
                           : "move: hidden";
        case ReplayEventKind::PathStep:
            return e.shown ? "  step: " + hexText(module, e.from) + " -> " + hexText(module, e.to)
                           : "  step: hidden";
        case ReplayEventKind::UnitCommand: {
            std::string s = std::string("  ") + unitCommandName(e.code);
            if (e.shown) s += ": " + units();
            return s;
        }
        case ReplayEventKind::Drop:
            return e.shown ? "drop: " + units() + " at " + hexText(module, e.to) : "drop: hidden";
        case ReplayEventKind::Combat: {
            std::string s = "combat: " + (e.units.empty() ? "(no unit you may see)" : units());
            if (!e.to.isNone()) s += " at " + hexText(module, e.to);
            return s;
        }
        case ReplayEventKind::Result:
            return "result: " + e.status.value_or("");
        case ReplayEventKind::Comment:
            return "comment:";
        case ReplayEventKind::EncryptedComment:
            return "encrypted comment: not read";
        case ReplayEventKind::FlipAll:
            return "flip all";
        case ReplayEventKind::SaveMarker:
            return "save marker";
        case ReplayEventKind::Card:
            return "card:";
        case ReplayEventKind::End:
            return "end";
    }
    return {};
}

}  // namespace qmx
