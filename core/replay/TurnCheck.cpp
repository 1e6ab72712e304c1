#include "core/replay/TurnCheck.h"

#include <algorithm>
#include <array>

#include "core/game/UserPrompts.h"
#include "core/replay/CardTextSource.h"
#include "core/replay/ReplayNames.h"
#include "core/replay/ReplayPlayback.h"

namespace qmx {
namespace {

// The fields of a unit the check compares, taken from its current or its
// start values.
struct Placed {
    std::uint8_t column = 0;
    std::uint8_t row = 0;
    std::uint16_t link = 0;
    std::uint8_t facing = 0;
    std::uint8_t step = 0;
    std::uint8_t hiddenBy = kNotHidden;
    bool idHidden = false;
    bool operator==(const Placed&) const = default;
};

using Placements = std::vector<Placed>;  // index 0 unused

Placements current(const std::vector<UnitState>& units) {
    Placements out(units.size());
    for (std::size_t n = 1; n < units.size(); ++n) {
        const UnitState& u = units[n];
        out[n] = {u.column,
                  u.row,
                  u.stackLink,
                  u.facing,
                  u.step,
                  u.hiddenBy(),
                  u.has(UnitFlags::kIdHidden)};
    }
    return out;
}

Placements atStart(const std::vector<UnitState>& units) {
    Placements out(units.size());
    for (std::size_t n = 1; n < units.size(); ++n) {
        const UnitState& u = units[n];
        out[n] = {u.startColumn,
                  u.startRow,
                  u.startStackLink,
                  u.startFacing,
                  u.startStep,
                  u.startHiddenBy(),
                  u.has(UnitFlags::kStartIdHidden)};
    }
    return out;
}

int differing(const Placements& a, const Placements& b) {
    int count = 0;
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t u = 1; u < n; ++u) count += a[u] == b[u] ? 0 : 1;
    return count;
}

bool recordContinues(const CheckedGame& sent, const CheckedGame& reply) {
    return !sent.record.empty() && reply.record.size() >= sent.record.size() &&
           std::equal(sent.record.begin(), sent.record.end(), reply.record.begin());
}

// The replay shows no card text while the check plays it.
class NoCardTexts : public CardTextSource {
public:
    CardText cardText(int, int) override { return {}; }
};

std::string facingText(std::uint8_t facing) {
    const int bits = facing & Facing::kDirectionMask;
    if (bits == 0) return "none";
    int side = 1;
    while (side < 6 && (bits & (1 << (side - 1))) == 0) ++side;
    std::string text =
        std::string(facing & Facing::kCorner ? "corner " : "side ") + std::to_string(side);
    if ((facing & Facing::kShown) == 0) text += " (not shown)";
    return text;
}

// Card places as the counts are kept: the eight slots, the discards, the
// twenty decks, and a place byte that is none of them.
constexpr int kDiscardPlace = kSlotCount;
constexpr int kFirstDeckPlace = kSlotCount + 1;  // deck d at kFirstDeckPlace + d - 1
constexpr int kOtherPlace = kFirstDeckPlace + kDeckCount;
using CardCounts = std::array<int, kOtherPlace + 1>;

int placeIndex(std::uint8_t place, int deck) {
    if (place < kSlotCount) return place;
    if (place == kDiscarded) return kDiscardPlace;
    if (place == kInDeck) return kFirstDeckPlace + deck - 1;
    return kOtherPlace;
}

CardCounts countCards(const GameState& state) {
    CardCounts counts{};
    for (int d = 1; d <= kDeckCount; ++d)
        for (int c = 1; c <= state.deckSize(d); ++c) ++counts[placeIndex(state.cardPlace(d, c), d)];
    return counts;
}

class Findings {
public:
    Findings(const Module& module, const GameState& names, std::uint8_t viewer)
        : m_module(module), m_names(names), m_viewer(viewer), m_gm(names.isGameMaster(viewer)) {}

    void add(std::string line) { lines.push_back(std::move(line)); }

    void units(const Placements& expected, std::string_view expectedWhere, const Placements& found,
               std::string_view foundWhere) {
        int hidden = 0;
        const std::size_t n = std::min(expected.size(), found.size());
        for (std::size_t u = 1; u < n; ++u) {
            const Placed& e = expected[u];
            const Placed& f = found[u];
            if (e == f) continue;
            if (concealed(e) || concealed(f)) {
                ++hidden;
                continue;
            }
            const std::string who = unitText(static_cast<int>(u));
            auto line = [&](std::string_view field, const std::string& a, const std::string& b) {
                add(who + ": " + std::string(field) + " " + a + " " + std::string(expectedWhere) +
                    ", " + b + " " + std::string(foundWhere));
            };
            if (e.column != f.column || e.row != f.row)
                line("position", placeText(e), placeText(f));
            if (e.step != f.step)
                line("step", std::to_string(e.step + 1), std::to_string(f.step + 1));
            if (e.facing != f.facing) {
                std::string a = facingText(e.facing);
                std::string b = facingText(f.facing);
                if (a == b) {  // the bits no picture shows
                    a += " [" + std::to_string(e.facing) + "]";
                    b += " [" + std::to_string(f.facing) + "]";
                }
                line("facing", a, b);
            }
            if (e.hiddenBy != f.hiddenBy) line("hidden", hiderText(e), hiderText(f));
            if (e.idHidden != f.idHidden)
                line("identity", e.idHidden ? "hidden" : "shown", f.idHidden ? "hidden" : "shown");
            // The stack order: a unit with another unit below it.
            if (e.link != f.link && e.column == f.column && e.row == f.row)
                line("below it in the stack", belowText(e.link, expected),
                     belowText(f.link, found));
        }
        if (hidden == 1) add(std::string(kHiddenUnitFinding));
        if (hidden > 1)
            add(std::to_string(hidden) + " units hidden from you changed outside the record");
    }

    std::vector<std::string> lines;

private:
    bool concealed(const Placed& p) const {
        return p.hiddenBy != kNotHidden && p.hiddenBy != m_viewer && (p.idHidden || !m_gm);
    }

    std::string unitText(int unit) const {
        const std::string name = unitName(m_module, unit);
        return "Unit " + std::to_string(unit) + (name.empty() ? "" : " (" + name + ")");
    }

    std::string placeText(const Placed& p) const {
        if (p.row == m_module.rows + 1 && p.column == kAttackBoxColumn) return "the attack box";
        if (p.row == m_module.rows + 1 && p.column == kDefendBoxColumn) return "the defend box";
        if (!isMapHex(m_module, {p.column, p.row})) return "off the map";
        const std::string name = hexName(m_module, {p.column, p.row});
        return name.empty() ? std::to_string(p.column) + "," + std::to_string(p.row) : name;
    }

    std::string hiderText(const Placed& p) const {
        if (p.hiddenBy == kNotHidden) return "by nobody";
        const std::string name = slotName(m_names, p.hiddenBy);
        return "by " + (name.empty() ? "slot " + std::to_string(p.hiddenBy + 1) : name);
    }

    std::string belowText(std::uint16_t link, const Placements& p) const {
        if (link == 0) return "none";
        if (link < p.size() && concealed(p[link])) return "a unit hidden from you";
        return unitText(link);
    }

public:
    std::string cardPlaceText(int index) const {
        if (index < kSlotCount) {
            const auto& slot = m_names.players[static_cast<std::size_t>(index)];
            const std::string name =
                slot.name.empty() ? "slot " + std::to_string(index + 1) : slot.name;
            return slot.kind == SlotKind::CardLocation ? "the card location " + name
                                                       : name + "'s hand";
        }
        if (index == kDiscardPlace) return "the discards";
        if (index < kOtherPlace)
            return "deck " +
                   m_module.decks[static_cast<std::size_t>(index - kFirstDeckPlace + 1)].name;
        return "no place";
    }

    bool cardSeen(int index) const {
        return index == kDiscardPlace || (index < kSlotCount && index == m_viewer);
    }

private:
    const Module& m_module;
    const GameState& m_names;
    std::uint8_t m_viewer;
    bool m_gm;
};

void checkPlayers(const GameState& sent, const GameState& reply, std::uint8_t viewer,
                  Findings& out) {
    if (sent.identifyProgress == kPlayersUndefined) return;  // the players are defined later
    const int progress = sent.identifyProgress;
    for (int s = 0; s < kSlotCount; ++s) {
        const PlayerSlot& a = sent.players[static_cast<std::size_t>(s)];
        const PlayerSlot& b = reply.players[static_cast<std::size_t>(s)];
        const std::string who =
            "Slot " + std::to_string(s + 1) + (a.name.empty() ? "" : " (" + a.name + ")");
        if (a.kind != b.kind) {
            out.add(who + ": its kind was changed in the reply");
            continue;
        }
        // A player's name and password are set when his turn to initialize comes.
        const bool named = a.kind == SlotKind::CardLocation || progress == kPlayersComplete ||
                           (progress >= 2 && progress <= kSlotCount && s < progress - 1);
        if (!named) continue;
        if (a.name != b.name)
            out.add(who + ": name \"" + a.name + "\" in your save, \"" + b.name +
                    "\" in the reply");
        // A player may change his own password at any time; the check speaks
        // only of the viewer's.
        if (s == viewer && a.password != b.password)
            out.add("your password was changed in the reply");
    }
    if (progress == kPlayersComplete && reply.identifyProgress != kPlayersComplete)
        out.add("the players' identification was reset in the reply");
}

void checkCards(const GameState& sent, const GameState& reply,
                const std::vector<std::pair<std::size_t, CardEntry>>& entries,
                std::size_t fromOffset, Findings& out) {
    std::vector<CardEntry> moves;
    for (const auto& [offset, entry] : entries)
        if (offset > fromOffset && entry.code != ReplayCode::CardShown) moves.push_back(entry);

    if (moves.empty()) {
        // No card moved in the record: every card is where it was.
        for (int d = 1; d <= kDeckCount; ++d) {
            for (int c = 1; c <= std::min(sent.deckSize(d), reply.deckSize(d)); ++c) {
                const int a = placeIndex(sent.cardPlace(d, c), d);
                const int b = placeIndex(reply.cardPlace(d, c), d);
                if (a == b) continue;
                if (out.cardSeen(a) && out.cardSeen(b))
                    out.add("Card " + std::to_string(c) + " of " +
                            out.cardPlaceText(kFirstDeckPlace + d - 1) + ": in " +
                            out.cardPlaceText(a) + " in your save, in " + out.cardPlaceText(b) +
                            " in the reply");
                else
                    out.add("a card went from " + out.cardPlaceText(a) + " to " +
                            out.cardPlaceText(b) + " outside the record");
            }
        }
        return;
    }

    // Cards that moved unseen are followed by count.
    CardCounts expected = countCards(sent);
    int toSomeDeck = 0;
    auto slot = [](int s) { return s >= 0 && s < kSlotCount ? s : kOtherPlace; };
    for (const CardEntry& e : moves) {
        switch (e.code) {
            case ReplayCode::CardShownReturned:
                --expected[slot(e.slot)];
                ++expected[e.deckByte < kDeckCount ? kFirstDeckPlace + e.deckByte : kOtherPlace];
                break;
            case ReplayCode::CardReturned:
                --expected[slot(e.slot)];
                ++toSomeDeck;
                break;
            case ReplayCode::CardPlaced:
            case ReplayCode::CardGiven:
                --expected[slot(e.slot)];
                ++expected[slot(e.otherSlot)];
                break;
            case ReplayCode::CardDiscarded:
                --expected[slot(e.slot)];
                ++expected[kDiscardPlace];
                break;
            case ReplayCode::CardDealt:
                --expected[e.source < kDeckCount ? kFirstDeckPlace + e.source
                                                 : slot(e.source - kDeckCount)];
                ++expected[slot(e.otherSlot)];
                break;
            default:
                break;
        }
    }
    const CardCounts found = countCards(reply);
    auto line = [&](const std::string& place, int a, int b) {
        out.add(place + ": " + std::to_string(a) + " cards after the record, " + std::to_string(b) +
                " in the reply");
    };
    for (int p = 0; p <= kOtherPlace; ++p) {
        if (p >= kFirstDeckPlace && p < kOtherPlace) continue;
        if (expected[p] != found[p]) line(out.cardPlaceText(p), expected[p], found[p]);
    }
    // A card returned unseen went back to its own deck, whichever that was.
    int expectedInDecks = 0, foundInDecks = 0;
    bool eachDeckCanHold = true;
    for (int p = kFirstDeckPlace; p < kOtherPlace; ++p) {
        expectedInDecks += expected[p];
        foundInDecks += found[p];
        eachDeckCanHold =
            eachDeckCanHold && found[p] >= expected[p] && found[p] - expected[p] <= toSomeDeck;
    }
    if (toSomeDeck == 0) {
        for (int p = kFirstDeckPlace; p < kOtherPlace; ++p)
            if (expected[p] != found[p]) line(out.cardPlaceText(p), expected[p], found[p]);
    } else if (!eachDeckCanHold || expectedInDecks + toSomeDeck != foundInDecks) {
        line("the decks", expectedInDecks + toSomeDeck, foundInDecks);
    }
}

}  // namespace

int startMatches(const CheckedGame& sent, const CheckedGame& reply) {
    const Placements start = atStart(reply.state.units());
    const int n = static_cast<int>(start.size()) - 1;
    return n - std::min(differing(start, current(sent.state.units())),
                        differing(start, atStart(sent.state.units())));
}

TurnCheck checkTurn(const Module& module, const CheckedGame& sent, const CheckedGame& reply,
                    std::uint8_t viewer) {
    TurnCheck result;
    Findings out(module, reply.state, viewer);
    if (sent.state.unitCount() != reply.state.unitCount()) {
        out.add("the two games have different unit counts");
        result.findings = std::move(out.lines);
        return result;
    }

    // Did the reply's player reset the recorder? His units start either as I
    // left them or as mine started, and his record tells which.
    const Placements replyStart = atStart(reply.state.units());
    const Placements sentNow = current(sent.state.units());
    const Placements sentStart = atStart(sent.state.units());
    const bool prefix = recordContinues(sent, reply);
    const int resetDiff = differing(replyStart, sentNow);
    const int continueDiff = differing(replyStart, sentStart);
    result.continued =
        prefix ? continueDiff <= resetDiff : !sent.record.empty() && continueDiff < resetDiff;
    if (result.continued && !prefix) out.add(std::string(kRecordPrefixFinding));
    if (result.continued)
        out.units(sentStart, "at your save's start", replyStart, "at the reply's start");
    else
        out.units(sentNow, "in your save", replyStart, "at the reply's start");

    checkPlayers(sent.state, reply.state, viewer, out);

    // The reply's record played from its start must end where the reply ends.
    GameState replayed = reply.state;
    replayed.carriedStack = 0;
    replayed.gameMode = GameMode::Movement;
    replayed.currentSlot = viewer;
    NoPrompts prompts;
    NoCardTexts cards;
    ReplayPlayback playback(replayed, module, prompts, cards);
    auto played = playback.playThrough(Bytes(reply.record.begin(), reply.record.end()));
    if (played) {
        checkCards(sent.state, reply.state, played->cards,
                   result.continued && prefix ? sent.record.size() : 0, out);
        out.units(current(played->units), "after the replay", current(reply.state.units()),
                  "in the reply");
    }
    result.findings = std::move(out.lines);
    return result;
}

}  // namespace qmx
