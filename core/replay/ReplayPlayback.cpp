#include "core/replay/ReplayPlayback.h"

#include <algorithm>

#include "core/game/Comment.h"
#include "core/game/UnitRules.h"
#include "core/game/Visibility.h"
#include "core/module/MessageTable.h"
#include "core/replay/CardEntry.h"
#include "core/replay/ReplayNames.h"
#include "core/replay/ReplayRecorder.h"

namespace qmx {

namespace {

constexpr std::string_view kReplayTitle = "REPLAY";      // end, flips, save marker
constexpr std::string_view kUnitReplayTitle = "Replay";  // hide messages, hidden moves

// Codes that begin an entry of their own. Inside a move they can only come
// from a damaged record whose drop is missing.
bool beginsEntry(std::uint8_t code) {
    return (code >= 231 && code <= 239) || (code >= 241 && code <= 244) || code == 253 ||
           code == 254;
}

ReplayMessage box(std::string_view title, std::string_view text) {
    return {0, std::string(title), std::string(text)};
}

}  // namespace

ReplayPlayback::ReplayPlayback(GameState& state, const Module& module, UserPrompts& prompts,
                               CardTextSource& cards, ReplayRecorder* recorder)
    : m_state(state), m_module(module), m_prompts(prompts), m_cards(cards), m_recorder(recorder) {}

ReplayEvent ReplayPlayback::start(std::optional<Bytes> record) {
    ReplayEvent event;
    if (m_active) {
        event.kind = ReplayEventKind::Refused;
        return event;
    }
    if (m_state.holdingUnits() || m_state.gameMode == GameMode::Combat) {
        event.kind = ReplayEventKind::Refused;
        event.messages.push_back({msg::kNotInCombatOrCarrying, {}, {}});
        return event;
    }
    if (!record) {
        event.kind = ReplayEventKind::NothingToReplay;
        event.messages.push_back({msg::kNothingToReplay, {}, {}});
        return event;
    }
    m_record = std::move(*record);
    m_reader = ReplayReader(m_record);
    m_active = true;
    m_inMove = false;
    m_highlight = false;
    m_shownUnit = 0;
    m_position = {};
    m_carried.clear();
    if (m_recorder) m_recorder->setPlaying(true);

    m_endUnits = m_state.units();
    m_endHexes = m_state.hexes();
    putUnitsAtStart();
    rebuildStacks();
    event.kind = ReplayEventKind::Started;
    return event;
}

void ReplayPlayback::putUnitsAtStart() {
    for (int n = 1; n <= m_state.unitCount(); ++n) {
        UnitState& u = m_state.unit(n);
        u.column = u.startColumn;
        u.row = u.startRow;
        u.facing = u.startFacing;
        u.step = u.startStep;
        u.stackLink = u.startStackLink;
        u.setHiddenBy(u.startHiddenBy());
        // The identity mark is the one the unit had when the record began. A
        // unit whose identity was hidden only later (it was wholly hidden at
        // the start) must not be shown from the start on: that would give
        // away where it stood and how it moved while wholly hidden.
        if (u.has(UnitFlags::kStartIdHidden))
            u.flags = UnitFlags::kIdHidden;  // every other mark is cleared
        else
            u.clear(UnitFlags::kIdHidden);
    }
}

namespace {

// The hex under which a unit at (column, row) is filed in the stacks: the
// column capped at the column count, a row beyond rows + 1 taken as the last
// row; none when either is 0.
std::optional<std::pair<int, int>> stackHex(const GameState& state, int column, int row) {
    if (column > state.columns()) column = state.columns();
    if (row > state.rows() + 1) row = state.rows();
    if (column <= 0 || row <= 0 || !state.hasHex(column, row)) return std::nullopt;
    return std::pair{column, row};
}

}  // namespace

void ReplayPlayback::rebuildStacks() {
    const int n = m_state.unitCount();
    for (auto& h : m_state.hexes()) h.stackHead = 0;
    m_previous.assign(static_cast<std::size_t>(n) + 1, 0);
    m_isCarried.assign(static_cast<std::size_t>(n) + 1, false);
    for (int u = 1; u <= n; ++u) {
        const int next = m_state.unit(u).stackLink;
        if (m_state.isUnit(next) && m_previous[static_cast<std::size_t>(next)] == 0)
            m_previous[static_cast<std::size_t>(next)] = static_cast<std::uint16_t>(u);
    }
    for (int u = 1; u <= n; ++u) {
        if (m_previous[static_cast<std::size_t>(u)] != 0) continue;  // linked: no head
        const UnitState& s = m_state.unit(u);
        if (auto hex = stackHex(m_state, s.column, s.row))
            m_state.setStackHead(hex->first, hex->second, static_cast<std::uint16_t>(u));
    }
}

void ReplayPlayback::takeFromStack(int unit) {
    UnitState& s = m_state.unit(unit);
    const int next = m_state.isUnit(s.stackLink) ? s.stackLink : 0;
    const auto hex = stackHex(m_state, s.column, s.row);
    const int previous = m_previous[static_cast<std::size_t>(unit)];
    if (hex && m_state.stackHead(hex->first, hex->second) == unit) {
        m_state.setStackHead(hex->first, hex->second, static_cast<std::uint16_t>(next));
        if (next) m_previous[static_cast<std::size_t>(next)] = 0;
    } else if (previous && m_state.unit(previous).stackLink == unit) {
        m_state.unit(previous).stackLink = static_cast<std::uint16_t>(next);
        if (next) m_previous[static_cast<std::size_t>(next)] = static_cast<std::uint16_t>(previous);
    } else if (next && m_previous[static_cast<std::size_t>(next)] == unit) {
        // A unit in no hex's chain (its hex had two heads in a damaged
        // state): the rest of its chain just loses it.
        m_previous[static_cast<std::size_t>(next)] = 0;
    }

    // Onto the end of the carried chain.
    s.stackLink = 0;
    if (m_carried.empty()) {
        m_state.carriedStack = static_cast<std::uint16_t>(unit);
        m_previous[static_cast<std::size_t>(unit)] = 0;
    } else {
        m_state.unit(m_carried.back()).stackLink = static_cast<std::uint16_t>(unit);
        m_previous[static_cast<std::size_t>(unit)] = static_cast<std::uint16_t>(m_carried.back());
    }
    m_carried.push_back(unit);
    m_isCarried[static_cast<std::size_t>(unit)] = true;
}

Hex ReplayPlayback::unitHex(int unit) const {
    const UnitState& s = m_state.unit(unit);
    return {s.column, s.row};
}

std::vector<int> ReplayPlayback::visibleCarried() const {
    std::vector<int> out;
    for (int u : m_carried)
        if (visibleToMe(m_state, m_state.unit(u))) out.push_back(u);
    return out;
}

void ReplayPlayback::setStatus(std::string_view text) {
    m_status.assign(text.substr(0, kStatusTextMax));
}

ReplayEvent ReplayPlayback::step() {
    if (!m_active) return {};  // End without a box: nothing is playing
    if (auto event = nextEntry()) return std::move(*event);
    return finish();
}

std::optional<ReplayEvent> ReplayPlayback::nextEntry() {
    for (;;) {
        auto pair = m_reader.pair();
        if (!pair) return std::nullopt;
        std::optional<ReplayEvent> event;
        if (m_inMove) {
            event = playInMove(*pair);
        } else {
            event = playOutsideMove(*pair);
        }
        if (m_reader.endHit()) return std::nullopt;  // the record ended inside the entry
        if (event) return event;
    }
}

std::optional<ReplayPlayback::PlayedRecord> ReplayPlayback::playThrough(Bytes record) {
    if (start(std::move(record)).kind != ReplayEventKind::Started) return std::nullopt;
    PlayedRecord played;
    m_cardLog = &played.cards;
    while (nextEntry()) {
    }
    m_cardLog = nullptr;
    played.units = m_state.units();
    finish();
    return played;
}

ReplayEvent ReplayPlayback::stop() {
    if (!m_active) return {};
    return finish();
}

std::optional<ReplayEvent> ReplayPlayback::playInMove(ReplayPair pair) {
    if (!pair.isCommand()) {
        // A path hex. A hex off the map cannot be played and is passed over.
        const Hex hex{pair.first, pair.second};
        if (!isMapHex(m_module, hex)) return std::nullopt;
        ReplayEvent e;
        e.kind = ReplayEventKind::PathStep;
        e.shown = m_shownUnit != 0;
        if (e.shown) {
            e.shownUnit = m_shownUnit;
            e.units = visibleCarried();
            e.from = isMapHex(m_module, m_position) ? m_position : Hex{};
            e.to = hex;
        } else {
            e.continueAtOnce = true;  // nothing to see, and no key press to count
        }
        m_position = hex;
        return e;
    }
    const std::uint8_t code = pair.second;
    if (code == codeByte(ReplayCode::Drop)) return drop();
    if (isMoveCommand(code)) return unitCommand(code);
    if (beginsEntry(code)) {
        // The drop is missing: the move ends here and the entry is played next.
        m_reader.moveTo(m_reader.pos() - 2);
        ReplayEvent e = drop();
        e.code = 0;
        return e;
    }
    return std::nullopt;
}

std::optional<ReplayEvent> ReplayPlayback::unitCommand(std::uint8_t code) {
    const auto c = static_cast<ReplayCode>(code);
    int argument = 0;
    if (c == ReplayCode::HideId || c == ReplayCode::Hide || c == ReplayCode::SetStep) {
        auto arg = m_reader.peekPair();
        if (!arg) {
            m_reader.pair();  // the end of the record
            return std::nullopt;
        }
        if (arg->isCommand()) return std::nullopt;  // no argument: nothing to play
        m_reader.pair();
        argument = arg->first;
        const bool valid =
            c == ReplayCode::SetStep ? argument < kStepCount : m_state.isValidSlot(argument);
        if (!valid) return std::nullopt;
    }

    ReplayEvent e;
    e.kind = ReplayEventKind::UnitCommand;
    e.code = code;
    const UnitList units(m_carried);
    const auto slot = static_cast<std::uint8_t>(argument);
    switch (c) {
        case ReplayCode::StepDown:
            stepDown(m_state, m_module, units);
            break;
        case ReplayCode::StepUp:
            stepUp(m_state, units);
            break;
        case ReplayCode::HideId:
            applyHideId(m_state, units, slot);
            e.messages.push_back(box(kUnitReplayTitle, "The ID of these units have been hidden"));
            break;
        case ReplayCode::Unhide:
            applyUnhide(m_state, units);
            e.messages.push_back(
                box(kUnitReplayTitle, "These units were hidden and are now revealed."));
            m_shownUnit = m_carried.empty() ? 0 : m_carried.front();
            break;
        case ReplayCode::Hide:
            applyHide(m_state, units, slot);
            e.messages.push_back(box(kUnitReplayTitle, "These units have been hidden"));
            if (slot != m_state.currentSlot && !isGameMasterHere(m_state)) m_shownUnit = 0;
            break;
        case ReplayCode::SetStep:
            setStep(m_state, m_module, units, argument);
            break;
        case ReplayCode::RotateRight:
            rotateRight(m_state, units);
            break;
        case ReplayCode::RotateLeft:
            rotateLeft(m_state, units);
            break;
        case ReplayCode::FaceSide:
            faceSide(m_state, units);
            break;
        case ReplayCode::FaceCorner:
            faceCorner(m_state, units);
            break;
        case ReplayCode::FacingOff:
            facingOff(m_state, units);
            break;
        case ReplayCode::FacingOn:
            facingOn(m_state, units);
            break;
        case ReplayCode::FaceUp:
            faceUp(m_state, units);
            break;
        case ReplayCode::FaceDown:
            faceDown(m_state, m_module, units);
            break;
        default:
            return std::nullopt;
    }
    e.shown = m_shownUnit != 0;
    if (e.shown) {
        e.shownUnit = m_shownUnit;
        e.units = visibleCarried();
        e.to = isMapHex(m_module, m_position) ? m_position : Hex{};
    }
    // The hide messages have been seen already; a change to unseen units
    // shows nothing at all.
    e.continueAtOnce = !e.messages.empty() || !e.shown;
    return e;
}

ReplayEvent ReplayPlayback::drop() {
    ReplayEvent e;
    e.kind = ReplayEventKind::Drop;
    e.code = codeByte(ReplayCode::Drop);
    e.shown = m_shownUnit != 0;
    if (e.shown) {
        e.shownUnit = m_shownUnit;
        e.units = visibleCarried();
        e.to = isMapHex(m_module, m_position) ? m_position : Hex{};
    } else {
        e.messages.push_back(box(kUnitReplayTitle, "Hidden units have just moved."));
    }

    for (int u : m_carried) {
        UnitState& s = m_state.unit(u);
        s.column = static_cast<std::uint8_t>(m_position.column);
        s.row = static_cast<std::uint8_t>(m_position.row);
    }
    if (!m_carried.empty()) {
        if (auto hex = stackHex(m_state, m_position.column, m_position.row)) {
            // On top of the stack there: the last carried unit links to the
            // former head, the first carried unit becomes the head.
            const int head = m_state.stackHead(hex->first, hex->second);
            m_state.unit(m_carried.back()).stackLink = static_cast<std::uint16_t>(head);
            if (m_state.isUnit(head))
                m_previous[static_cast<std::size_t>(head)] =
                    static_cast<std::uint16_t>(m_carried.back());
            m_state.setStackHead(hex->first, hex->second,
                                 static_cast<std::uint16_t>(m_carried.front()));
        }
        m_previous[static_cast<std::size_t>(m_carried.front())] = 0;
    }
    for (int u : m_carried) m_isCarried[static_cast<std::size_t>(u)] = false;
    m_carried.clear();
    m_state.carriedStack = 0;
    m_shownUnit = 0;
    m_inMove = false;
    return e;
}

std::optional<ReplayEvent> ReplayPlayback::moveStart() {
    const UnitListRead list = m_reader.unitList(ReplayCode::EndOfUnits);
    // Cut by the end of the record, or broken off by another entry (which is
    // played next): no move.
    if (list.end != ListEnd::Terminator) return std::nullopt;
    for (int u : list.units)
        if (m_state.isUnit(u) && !m_isCarried[static_cast<std::size_t>(u)]) takeFromStack(u);
    // The origin pair is read but not used: the stack starts where its first
    // unit stands.
    if (!m_reader.hex()) return std::nullopt;
    m_inMove = true;
    m_position = m_carried.empty() ? Hex{} : unitHex(m_carried.front());
    m_shownUnit = 0;
    for (int u : m_carried)
        if (visibleToMe(m_state, m_state.unit(u))) {
            m_shownUnit = u;
            break;
        }

    ReplayEvent e;
    e.kind = ReplayEventKind::MoveStart;
    e.code = codeByte(ReplayCode::MoveStart);
    e.shown = m_shownUnit != 0;
    if (e.shown) {
        e.shownUnit = m_shownUnit;
        e.units = visibleCarried();
        e.from = isMapHex(m_module, m_position) ? m_position : Hex{};
    } else {
        e.continueAtOnce = true;
    }
    return e;
}

std::optional<ReplayEvent> ReplayPlayback::combat() {
    const UnitListRead list = m_reader.unitList(ReplayCode::EndOfList);
    if (list.end != ListEnd::Terminator) return std::nullopt;
    for (int u = 1; u <= m_state.unitCount(); ++u) m_state.unit(u).clear(UnitFlags::kVisitMark);
    ReplayEvent e;
    e.kind = ReplayEventKind::Combat;
    e.code = codeByte(ReplayCode::Combat);
    int last = 0;
    for (int u : list.units) {
        if (!m_state.isUnit(u)) continue;
        UnitState& s = m_state.unit(u);
        // The board draws the marked units instead of the visible ones while
        // the highlight is on: a unit hidden from this person is never marked.
        if (!visibleToMe(m_state, s) || s.has(UnitFlags::kVisitMark)) continue;
        s.set(UnitFlags::kVisitMark);
        e.units.push_back(u);
        last = u;
    }
    if (last && isMapHex(m_module, unitHex(last))) e.to = unitHex(last);
    e.shown = !e.units.empty();
    m_highlight = true;
    e.highlightOn = true;
    return e;
}

void ReplayPlayback::endHighlightOn(ReplayEvent& e) {
    if (!m_highlight) return;
    // The highlight goes once this comment has been shown.
    for (int u = 1; u <= m_state.unitCount(); ++u) m_state.unit(u).set(UnitFlags::kVisitMark);
    m_highlight = false;
    e.highlightEnds = true;
}

std::optional<ReplayEvent> ReplayPlayback::playOutsideMove(ReplayPair pair) {
    if (!pair.isCommand()) return std::nullopt;
    const std::uint8_t code = pair.second;
    if (isCardCode(code)) {
        auto entry = readCardEntry(static_cast<ReplayCode>(code), m_reader);
        if (!entry) return std::nullopt;
        if (m_cardLog) m_cardLog->emplace_back(m_reader.pos(), *entry);
        ReplayEvent e;
        e.kind = ReplayEventKind::Card;
        e.code = code;
        e.messages.push_back(box(cardEntryTitle(*entry), cardEntryText(*entry, m_module, m_state)));
        if (auto status = cardEntryStatus(*entry, m_state)) setStatus(*status), e.status = m_status;
        if (cardEntryShowsCard(*entry, m_state)) {
            CardText card = m_cards.cardText(entry->deckByte, entry->cardByte);
            if (card.status == CardLookup::CannotOpen)
                e.messages.push_back({msg::kNoCardData, {}, {}});
            else
                e.display = std::move(card.text);
        }
        e.continueAtOnce = true;
        return e;
    }
    switch (static_cast<ReplayCode>(code)) {
        case ReplayCode::MoveStart:
            return moveStart();
        case ReplayCode::Combat:
            return combat();
        case ReplayCode::Result: {
            auto b = m_reader.bytes(2);
            if (!b) return std::nullopt;
            ReplayEvent e;
            e.kind = ReplayEventKind::Result;
            e.code = code;
            setStatus("Roll: " + std::to_string((*b)[0]) + " die," + std::to_string((*b)[1]) +
                      " sides.");
            e.status = m_status;
            return e;
        }
        case ReplayCode::Comment: {
            const RecordedText t = readPlainComment(m_reader.data(), m_reader.pos());
            m_reader.moveTo(t.next);
            if (!t.complete) {
                m_reader.pair();  // cut by the end of the record
                return std::nullopt;
            }
            ReplayEvent e;
            e.kind = ReplayEventKind::Comment;
            e.code = code;
            e.displayCut = t.text.size() > kReplayDisplayLimit;
            e.display = t.text.substr(0, kReplayDisplayLimit);
            setStatus("Comment");
            e.status = m_status;
            endHighlightOn(e);
            return e;
        }
        case ReplayCode::EncryptedComment: {
            auto c = readEncryptedComment(m_reader.data(), m_reader.pos());
            m_reader.moveTo(c ? c->next : m_reader.size());
            if (!c || !c->complete) {
                m_reader.pair();  // cut by the end of the record
                return std::nullopt;
            }
            ReplayEvent e;
            e.code = code;
            // Asks for the comment's password; a wrong one has shown message 20.
            if (std::optional<std::string> text = openEncryptedComment(*c, m_prompts)) {
                e.kind = ReplayEventKind::Comment;
                e.displayCut = text->size() > kReplayDisplayLimit;
                if (e.displayCut) text->resize(kReplayDisplayLimit);
                e.display = std::move(*text);
            } else {
                e.kind = ReplayEventKind::EncryptedComment;
            }
            setStatus("Comment");
            e.status = m_status;
            endHighlightOn(e);
            return e;
        }
        case ReplayCode::AllFaceUp:
        case ReplayCode::AllFaceDown: {
            const bool up = code == codeByte(ReplayCode::AllFaceUp);
            if (up)
                flipAllFaceUp(m_state);
            else
                flipAllFaceDown(m_state, m_module);
            ReplayEvent e;
            e.kind = ReplayEventKind::FlipAll;
            e.code = code;
            e.messages.push_back(box(kReplayTitle, up ? "All units have been flipped up"
                                                      : "All units have been flipped down"));
            e.continueAtOnce = true;
            return e;
        }
        case ReplayCode::SaveMarker: {
            ReplayEvent e;
            e.kind = ReplayEventKind::SaveMarker;
            e.code = code;
            e.messages.push_back(box(kReplayTitle, "A Save Game occurred at this point."));
            e.continueAtOnce = true;
            return e;
        }
        default:
            return std::nullopt;  // unit commands and drops outside a move, stray codes
    }
}

ReplayEvent ReplayPlayback::finish() {
    m_state.units() = m_endUnits;
    m_state.hexes() = m_endHexes;
    m_state.carriedStack = 0;
    m_carried.clear();
    m_active = false;
    m_inMove = false;
    m_highlight = false;
    m_shownUnit = 0;
    m_position = {};
    m_reader = ReplayReader(std::span<const std::uint8_t>{});
    m_record.clear();
    m_endUnits.clear();
    m_endHexes.clear();
    if (m_recorder) m_recorder->setPlaying(false);
    ReplayEvent e;
    e.kind = ReplayEventKind::End;
    e.messages.push_back(box(kReplayTitle, "End of Replay"));
    return e;
}

}  // namespace qmx
