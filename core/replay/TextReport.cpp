#include "core/replay/TextReport.h"

#include <filesystem>

#include "core/game/Comment.h"
#include "core/module/FileIo.h"
#include "core/module/MessageTable.h"
#include "core/replay/CardEntry.h"
#include "core/replay/ReplayNames.h"
#include "core/replay/ReplayReader.h"
#include "core/replay/ReportText.h"

namespace qmx {

namespace {

// The person writing the report hid the unit, or is the game master.
bool userMaySee(const GameState& state, const UnitState& u) {
    return u.hiddenBy() == state.currentSlot || state.isGameMaster(state.currentSlot);
}

bool identityConcealed(const GameState& state, const UnitState& u, const ReportOptions& options) {
    return u.has(UnitFlags::kIdHidden) && u.isHidden() &&
           !(options.reportHidden && userMaySee(state, u));
}

class ReplayReport {
public:
    ReplayReport(std::span<const std::uint8_t> record, const Module& module, const GameState& state,
                 const ReportOptions& options, CardTextSource& cards, bool moves)
        : m_reader(record),
          m_module(module),
          m_state(state),
          m_options(options),
          m_cards(cards),
          m_moves(moves) {}

    ReportBuild run() {
        while (auto p = m_reader.pair()) {
            if (!p->isCommand()) continue;
            const auto code = static_cast<ReplayCode>(p->second);
            if (isCardCode(p->second)) {
                if (!card(code)) break;
                continue;
            }
            switch (code) {
                case ReplayCode::MoveStart:
                    if (m_moves) move();
                    break;
                case ReplayCode::Comment:
                    comment();
                    break;
                case ReplayCode::EncryptedComment:
                    skipText();
                    break;
                case ReplayCode::AllFaceUp:
                    m_out.line("Turn all units face-up.");
                    m_out.blankLine();
                    break;
                case ReplayCode::AllFaceDown:
                    m_out.line("Turn all units face-down.");
                    m_out.blankLine();
                    break;
                case ReplayCode::SaveMarker:
                    if (m_moves) {
                        m_out.line("A Save Game occurred at this point.");
                        m_out.blankLine();
                    }
                    break;
                default:
                    break;  // read pair by pair and skipped
            }
        }
        return {m_out.take(), std::move(m_messages)};
    }

private:
    void move() {
        const UnitListRead list = m_reader.unitList(ReplayCode::EndOfUnits);
        // A list broken off by another entry is no move: that entry is read next.
        if (list.end == ListEnd::OtherCommand) return;

        std::vector<bool> seen(static_cast<std::size_t>(m_state.unitCount()) + 1, false);
        std::vector<std::string> names;
        for (int n : list.units) {
            if (!m_state.isUnit(n) || seen[static_cast<std::size_t>(n)]) continue;
            seen[static_cast<std::size_t>(n)] = true;
            const UnitState& u = m_state.unit(n);
            if (u.isHidden() && !u.has(UnitFlags::kIdHidden) &&
                !(m_options.reportHidden && userMaySee(m_state, u)))
                continue;  // hidden from the reader: not even counted
            names.push_back(identityConcealed(m_state, u, m_options) ? std::string(kConcealedName)
                                                                     : unitName(m_module, n));
        }
        if (names.empty()) {
            // The rest of the move is read as ordinary pairs and skipped.
            m_out.line("A hidden stack moved.");
            return;
        }
        m_out.beginList(" ");
        for (const auto& name : names) m_out.addToList(name);
        m_out.endList();

        auto origin = m_reader.hex();
        if (!origin) return;
        m_out.line("From: " + hexName(m_module, *origin));

        // First pass: the destination, the number of hexes and the last face
        // change. The second pass names the hexes passed, so a long path is
        // never held in memory.
        const ReplayReader pathStart = m_reader;
        std::size_t hexCount = 0;
        Hex last = *origin;
        std::optional<ReplayCode> lastFace;
        walkMove(
            m_reader,
            [&](Hex h) {
                ++hexCount;
                last = h;
            },
            &lastFace);
        m_out.line("  To: " + hexName(m_module, last));
        if (hexCount >= 2) {
            ReplayReader again = pathStart;
            std::size_t index = 0;
            m_out.beginList("Via: ");
            walkMove(
                again,
                [&](Hex h) {
                    if (index++ + 1 < hexCount) m_out.addToList(hexName(m_module, h));
                },
                nullptr);
            m_out.endList();
        }
        if (lastFace == ReplayCode::FaceUp) m_out.line("Units flipped face-up");
        if (lastFace == ReplayCode::FaceDown) m_out.line("Units flipped face-down");
        m_out.blankLine();
    }

    // Reads the rest of a move up to and including its drop pair, calling
    // `onHex` for every path hex on the map. The argument pair of a hide or
    // set-step entry is no hex. An entry that cannot stand inside a move
    // (a damaged record whose drop is missing) ends the move unread.
    template <typename OnHex>
    void walkMove(ReplayReader& r, OnHex onHex, std::optional<ReplayCode>* lastFace) {
        for (;;) {
            auto p = r.peekPair();
            if (!p) {
                r.pair();
                return;
            }
            if (!p->isCommand()) {
                r.pair();
                const Hex h{p->first, p->second};
                if (isMapHex(m_module, h)) onHex(h);
                continue;
            }
            const std::uint8_t code = p->second;
            if (!isMoveCommand(code) && code != codeByte(ReplayCode::EndOfUnits) &&
                code != codeByte(ReplayCode::EndOfList))
                return;
            r.pair();
            if (code == codeByte(ReplayCode::Drop)) return;
            if (code == codeByte(ReplayCode::FaceUp) || code == codeByte(ReplayCode::FaceDown)) {
                if (lastFace) *lastFace = static_cast<ReplayCode>(code);
            } else if (code == codeByte(ReplayCode::HideId) || code == codeByte(ReplayCode::Hide) ||
                       code == codeByte(ReplayCode::SetStep)) {
                if (auto arg = r.peekPair(); arg && !arg->isCommand()) r.pair();
            }
        }
    }

    // An encrypted comment is passed over byte by byte up to its 255, 249.
    void skipText() { m_reader.moveTo(readPlainComment(m_reader.data(), m_reader.pos()).next); }

    void comment() {
        const RecordedText t = readPlainComment(m_reader.data(), m_reader.pos());
        m_reader.moveTo(t.next);
        std::string bytes;
        bytes.reserve(t.text.size());
        for (char c : t.text) {
            bytes.push_back(c);
            if (c == '\n') bytes.push_back(' ');
        }
        m_out.raw(bytes);
        m_out.raw(ReportText::kBlankLine);
        m_out.blankLine();
    }

    // False when the record ends inside the entry.
    bool card(ReplayCode code) {
        auto entry = readCardEntry(code, m_reader);
        if (!entry) return false;
        m_out.line(cardEntryText(*entry, m_module, m_state));
        m_out.blankLine();
        if (cardEntryShowsCard(*entry, m_state)) cardBlock(*entry);
        return true;
    }

    void cardBlock(const CardEntry& e) {
        const CardText card = m_cards.cardText(e.deckByte, e.cardByte);
        if (card.status == CardLookup::CannotOpen) {
            m_messages.push_back(msg::kNoCardData);
            return;
        }
        m_out.line("-----");
        m_out.raw(card.text);
        m_out.raw(ReportText::kLineEnd);
        m_out.line("-----");
        m_out.blankLine();
    }

    ReplayReader m_reader;
    const Module& m_module;
    const GameState& m_state;
    const ReportOptions& m_options;
    CardTextSource& m_cards;
    bool m_moves;
    ReportText m_out;
    std::vector<int> m_messages;
};

void positionLine(ReportText& out, const Module& module, const GameState& state,
                  const ReportOptions& options, int n, bool sorted) {
    const UnitState& u = state.unit(n);
    if (u.isHidden() && !(options.showHidden && userMaySee(state, u))) return;
    std::string line;
    if (identityConcealed(state, u, options)) {
        line = std::string(kConcealedName) + "  " + std::string(8, ' ');
    } else {
        line = unitName(module, n);
        if (options.includeStep)
            line += " (Step: " + std::to_string(u.step) + ")";
        else
            line += std::string(sorted ? 3 : 8, ' ');
    }
    if (options.includeFacing) line += facingPart(u.facing);
    line += hexName(module, Hex{u.column, u.row});
    out.line(line);
}

}  // namespace

ReportBuild moveReport(std::span<const std::uint8_t> record, const Module& module,
                       const GameState& state, const ReportOptions& options,
                       CardTextSource& cards) {
    return ReplayReport(record, module, state, options, cards, true).run();
}

ReportBuild commentsReport(std::span<const std::uint8_t> record, const Module& module,
                           const GameState& state, CardTextSource& cards) {
    const ReportOptions options;
    return ReplayReport(record, module, state, options, cards, false).run();
}

std::string facingPart(std::uint8_t facing) {
    if (!(facing & Facing::kShown)) return {};
    const int directions = facing & Facing::kDirectionMask;
    for (int k = 0; k < 6; ++k)
        if (directions & (1 << k)) return " (Corner: " + std::to_string(k + 1) + ")";
    return {};
}

std::string positionsReport(const Module& module, const GameState& state,
                            const ReportOptions& options, bool sorted) {
    ReportText out;
    if (!sorted) {
        for (int n = 1; n <= state.unitCount(); ++n)
            positionLine(out, module, state, options, n, false);
        return out.take();
    }
    for (int row = 1; row <= state.rows() + 1; ++row)
        for (int column = 1; column <= state.columns(); ++column)
            for (int n : state.stackAt(column, row))
                positionLine(out, module, state, options, n, true);
    return out.take();
}

std::string reportFileName(const std::string& chosen) {
    return forceExtension(chosen, "txt");
}

bool beginTextReport(ReportKind kind, const GameState& state, ReportOptions& options,
                     UserPrompts& prompts) {
    if (state.holdingUnits() || state.gameMode == GameMode::Combat) {
        prompts.showMessage(msg::kNotInCombatOrCarrying);
        return false;
    }
    if (kind == ReportKind::SortedPositions) options.sortByPosition = true;
    return true;
}

std::optional<std::string> buildTextReport(ReportKind kind, const std::optional<Bytes>& record,
                                           const Module& module, const GameState& state,
                                           const ReportOptions& options, CardTextSource& cards,
                                           std::vector<int>& messages) {
    switch (kind) {
        case ReportKind::Move:
        case ReportKind::CommentsOnly: {
            if (!record) return std::nullopt;
            ReportBuild b = kind == ReportKind::Move
                                ? moveReport(*record, module, state, options, cards)
                                : commentsReport(*record, module, state, cards);
            messages.insert(messages.end(), b.messages.begin(), b.messages.end());
            return std::move(b.text);
        }
        case ReportKind::Positions:
            return positionsReport(module, state, options, options.sortByPosition);
        case ReportKind::SortedPositions:
            return positionsReport(module, state, options, true);
    }
    return std::nullopt;
}

ReportOutcome finishTextReport(ReportKind kind, const std::string& chosenName,
                               const std::optional<Bytes>& record, const Module& module,
                               const GameState& state, const ReportOptions& options,
                               CardTextSource& cards, UserPrompts& prompts) {
    const std::string path = reportFileName(chosenName);
    std::error_code ec;
    if (std::filesystem::exists(path, ec) &&
        !prompts.askYesNo(std::string(kWarningTitle),
                          "This file already exists!  Do you wish to overwrite it?"))
        return ReportOutcome::Declined;
    std::vector<int> messages;
    auto text = buildTextReport(kind, record, module, state, options, cards, messages);
    for (int m : messages) prompts.showMessage(m);
    if (!text) {
        prompts.showMessage(msg::kNothingToReplay);
        return ReportOutcome::NothingToReplay;
    }
    const auto* data = reinterpret_cast<const std::uint8_t*>(text->data());
    if (!writeFileAtomically(path, std::span<const std::uint8_t>(data, text->size()))) {
        prompts.showMessage(msg::kCouldNotOpenFile);
        return ReportOutcome::CouldNotWrite;
    }
    return ReportOutcome::Written;
}

}  // namespace qmx
