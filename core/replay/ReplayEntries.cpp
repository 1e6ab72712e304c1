#include "core/replay/ReplayEntries.h"

#include "core/game/Comment.h"

namespace qmx {
namespace {

std::uint8_t byteOf(int v) {
    return static_cast<std::uint8_t>(v & 0xFF);
}

Bytes pair(ReplayCode code) {
    return {kCommandByte, codeByte(code)};
}

void appendPair(Bytes& out, ReplayCode code) {
    out.push_back(kCommandByte);
    out.push_back(codeByte(code));
}

// A number outside 1..65,024 cannot be written without a 255 that would
// start a command in the middle of the list; no unit of a module has one.
void appendUnits(Bytes& out, std::span<const int> units) {
    for (const int u : units)
        if (u >= 1 && u <= kMaxReferencedUnit) {
            const auto [high, low] = unitReferenceBytes(u);
            out.push_back(high);
            out.push_back(low);
        }
}

}  // namespace

void appendUnitReference(Bytes& out, int unit) {
    const auto [high, low] = unitReferenceBytes(unit);
    out.push_back(high);
    out.push_back(low);
}

Bytes commandEntry(ReplayCode code) {
    return pair(code);
}

Bytes argumentEntry(ReplayCode code, int argument) {
    Bytes out = pair(code);
    out.push_back(byteOf(argument));
    out.push_back(0);
    return out;
}

Bytes pathEntry(int column, int row) {
    return {byteOf(column), byteOf(row)};
}

Bytes moveStartEntry(std::span<const int> units, int originColumn, int originRow, int firstColumn,
                     int firstRow) {
    Bytes out = pair(ReplayCode::MoveStart);
    out.reserve(2 + units.size() * 2 + 6);
    appendUnits(out, units);
    appendPair(out, ReplayCode::EndOfUnits);
    out.push_back(byteOf(originColumn));
    out.push_back(byteOf(originRow));
    out.push_back(byteOf(firstColumn));
    out.push_back(byteOf(firstRow));
    return out;
}

Bytes combatEntry(std::span<const int> units) {
    Bytes out = pair(ReplayCode::Combat);
    out.reserve(2 + units.size() * 2 + 2);
    appendUnits(out, units);
    appendPair(out, ReplayCode::EndOfList);
    return out;
}

Bytes resultHead(int dice, int sides) {
    Bytes out = pair(ReplayCode::Result);
    out.push_back(byteOf(dice));
    out.push_back(byteOf(sides));
    return out;
}

Bytes resultEntry(int dice, int sides, std::string_view text) {
    Bytes out = resultHead(dice, sides);
    const Bytes comment = plainCommentEntry(text);
    out.insert(out.end(), comment.begin(), comment.end());
    return out;
}

Bytes cardShownAndReturnedEntry(std::uint8_t card0, std::uint8_t card1, int slot) {
    Bytes out = pair(ReplayCode::CardShownReturned);
    out.insert(out.end(), {card0, card1, byteOf(slot)});
    return out;
}

Bytes cardReturnedEntry(int slot) {
    Bytes out = pair(ReplayCode::CardReturned);
    out.push_back(byteOf(slot));
    return out;
}

Bytes cardPlacedEntry(int locationSlot, int slot) {
    Bytes out = pair(ReplayCode::CardPlaced);
    out.insert(out.end(), {byteOf(locationSlot), byteOf(slot)});
    return out;
}

Bytes cardDiscardedEntry(int slot) {
    Bytes out = pair(ReplayCode::CardDiscarded);
    out.push_back(byteOf(slot));
    return out;
}

Bytes cardGivenEntry(std::uint8_t card0, std::uint8_t card1, int receivingSlot, int givingSlot) {
    Bytes out = pair(ReplayCode::CardGiven);
    out.insert(out.end(), {card0, card1, byteOf(receivingSlot), byteOf(givingSlot)});
    return out;
}

Bytes cardShownEntry(std::uint8_t card0, std::uint8_t card1, int slot) {
    Bytes out = pair(ReplayCode::CardShown);
    out.insert(out.end(), {card0, card1, byteOf(slot)});
    return out;
}

Bytes cardDealtEntry(int deck, int receivingSlot, int dealingSlot) {
    Bytes out = pair(ReplayCode::CardDealt);
    out.insert(out.end(), {byteOf(deck), byteOf(receivingSlot), byteOf(dealingSlot)});
    return out;
}

}  // namespace qmx
