#pragma once
// The game in progress on top of a loaded module: the state of every unit,
// the stacks on the hexes, the carried stack, the player table, the card
// places and the game-wide counters. The player holds exactly one; loading a
// saved game overwrites it in place.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/module/Module.h"

namespace qmx {

// Bits of a unit's `UnitFlags` byte.
struct UnitFlags {
    static constexpr std::uint8_t kIdHidden = 0x01;  // only the identity is concealed
    static constexpr std::uint8_t kMoved = 0x02;
    static constexpr std::uint8_t kInCombat = 0x04;   // has taken part in a combat
    static constexpr std::uint8_t kVisitMark = 0x08;  // scratch: visited while walking stacks
    static constexpr std::uint8_t kStartIdHidden = 0x10;
    static constexpr std::uint8_t kWasHead = 0x20;    // scratch: head of its stack at pick-up
    static constexpr std::uint8_t kLinkSaved = 0x40;  // scratch: StackLink copied to savedLink
    static constexpr std::uint8_t kHeadMark = 0x80;   // scratch: head of a stack
    // The bits that mean nothing between operations.
    static constexpr std::uint8_t kScratch = kVisitMark | kWasHead | kLinkSaved | kHeadMark;
};

// Bits of a unit's `Facing` byte.
struct Facing {
    static constexpr std::uint8_t kShown = 0x80;          // the indicator is drawn
    static constexpr std::uint8_t kCorner = 0x40;         // points at a corner (clear: a side)
    static constexpr std::uint8_t kDirectionMask = 0x3F;  // one of 1, 2, 4, 8, 16, 32, or none
};

// `HiddenBy` value of a unit nobody hides.
constexpr std::uint8_t kNotHidden = 15;
// Hidden byte of a unit hidden neither now nor at the start of the record.
constexpr std::uint8_t kNobodyHides = 0xFF;

constexpr int kSlotCount = 8;
constexpr std::size_t kPlayerNameMax = 14;  // 15-byte field with its NUL
constexpr std::size_t kPlayerNameField = 15;
constexpr std::size_t kStoredPasswordSize = 10;  // 9 scrambled characters and the seed

// `CurrentSlot` of a person who is not identified.
constexpr std::uint8_t kObserver = 31;

// `IdentifyProgress` values besides 2..8 (the next slot, counted from 1, to initialize).
constexpr std::uint8_t kPlayersUndefined = 0;
constexpr std::uint8_t kPlayersNotNeeded = 1;
constexpr std::uint8_t kPlayersComplete = 30;

// `CardPlace` values besides the slot indexes 0..7.
constexpr std::uint8_t kInDeck = 10;
constexpr std::uint8_t kDiscarded = 50;

constexpr int kMaxPendingDeclarations = 120;

// Combat boxes: pseudo-hexes in the row after the map.
constexpr int kAttackBoxColumn = 0;
constexpr int kDefendBoxColumn = 1;

enum class SlotKind : std::uint8_t { NotUsed = 0, Player = 1, CardLocation = 2, GameMaster = 4 };

enum class GameMode : std::uint16_t { Movement = 1, Combat = 2 };

struct PlayerSlot {
    SlotKind kind = SlotKind::NotUsed;
    std::string name;                                          // at most 14 bytes
    std::array<std::uint8_t, kStoredPasswordSize> password{};  // StoredPassword
};

using PlayerTable = std::array<PlayerSlot, kSlotCount>;

struct UnitState {
    std::uint8_t step = 0;               // 0..5
    std::uint8_t facing = 0;             // Facing bits
    std::uint8_t hidden = kNobodyHides;  // high nibble StartHiddenBy, low nibble HiddenBy
    std::uint8_t flags = 0;              // UnitFlags bits
    std::int8_t declaration = 0;         // +n attacker / -n defender in pending declaration n
    std::uint8_t column = 1;             // 0 in column or row: on no hex
    std::uint8_t row = 1;
    std::uint8_t startColumn = 1;
    std::uint8_t startRow = 1;
    std::uint8_t startStep = 0;
    std::uint8_t startFacing = 0;
    std::uint16_t stackLink = 0;       // next unit of the stack, 0 = last
    std::uint16_t startStackLink = 0;  // next unit of the start stack
    std::uint16_t savedLink = 0;       // StackLink kept while a stack is picked apart

    std::uint8_t hiddenBy() const { return hidden & 0x0F; }
    std::uint8_t startHiddenBy() const { return static_cast<std::uint8_t>(hidden >> 4); }
    void setHiddenBy(std::uint8_t slot) {
        hidden = static_cast<std::uint8_t>((hidden & 0xF0) | (slot & 0x0F));
    }
    void setStartHiddenBy(std::uint8_t slot) {
        hidden = static_cast<std::uint8_t>((hidden & 0x0F) | ((slot & 0x0F) << 4));
    }
    bool isHidden() const { return hiddenBy() != kNotHidden; }

    bool has(std::uint8_t flag) const { return (flags & flag) != 0; }
    void set(std::uint8_t flag) { flags |= flag; }
    void clear(std::uint8_t flag) { flags = static_cast<std::uint8_t>(flags & ~flag); }

    bool onHex() const { return column != 0 && row != 0; }
    std::uint8_t direction() const { return facing & Facing::kDirectionMask; }
};

// The game's part of a hex record.
struct HexGameRecord {
    std::uint16_t stackHead = 0;  // HexStackHead: first unit of the stack, 0 = empty
    std::uint8_t state = 0;       // low byte of HexState
};

class GameState {
public:
    GameState() = default;

    // The state as it stands after the player loaded `module` and started:
    // every unit on hex (1, 1) in one stack in number order, no players, every
    // card in its deck. The hex states come from the module.
    explicit GameState(const Module& module) { resetForModule(module); }
    void resetForModule(const Module& module);

    // Sizes of the module the state belongs to.
    int unitCount() const { return m_unitCount; }
    int columns() const { return m_columns; }
    int rows() const { return m_rows; }

    // Units 1..unitCount(); unit 0 is the sentinel record.
    bool isUnit(int n) const { return n >= 1 && n <= m_unitCount; }
    UnitState& unit(int n) { return m_units[static_cast<std::size_t>(n)]; }
    const UnitState& unit(int n) const { return m_units[static_cast<std::size_t>(n)]; }
    std::vector<UnitState>& units() { return m_units; }  // index 0..unitCount
    const std::vector<UnitState>& units() const { return m_units; }
    // Sets the sentinel unit 0 as every load leaves it.
    void setSentinel();

    // The hex table: columns 0..columns, rows 0..rows + 1. Map hexes are
    // columns 1..columns, rows 1..rows; the combat boxes are columns 0 and 1
    // of row rows + 1.
    bool hasHex(int column, int row) const {
        return column >= 0 && column <= m_columns && row >= 0 && row <= m_rows + 1;
    }
    bool isMapHex(int column, int row) const {
        return column >= 1 && column <= m_columns && row >= 1 && row <= m_rows;
    }
    bool isCombatBox(int column, int row) const {
        return row == m_rows + 1 && (column == kAttackBoxColumn || column == kDefendBoxColumn);
    }
    int combatBoxRow() const { return m_rows + 1; }
    HexGameRecord& hex(int column, int row) { return m_hexes[hexIndex(column, row)]; }
    const HexGameRecord& hex(int column, int row) const { return m_hexes[hexIndex(column, row)]; }
    std::uint16_t stackHead(int column, int row) const {
        return hasHex(column, row) ? hex(column, row).stackHead : 0;
    }
    void setStackHead(int column, int row, std::uint16_t head) {
        hex(column, row).stackHead = head;
    }
    std::vector<HexGameRecord>& hexes() { return m_hexes; }
    const std::vector<HexGameRecord>& hexes() const { return m_hexes; }
    std::size_t hexIndex(int column, int row) const {
        return static_cast<std::size_t>(row) * static_cast<std::size_t>(m_columns + 1) +
               static_cast<std::size_t>(column);
    }

    // The units of a chain from `first` along StackLink, in order. Stops at
    // a unit number out of range, and after unitCount() units (a loop).
    std::vector<int> chain(int first) const;
    std::vector<int> stackAt(int column, int row) const { return chain(stackHead(column, row)); }

    // Cards: deck 1..20, card 1..deckSize(deck).
    int deckSize(int deck) const {
        return deck >= 1 && deck <= kDeckCount
                   ? static_cast<int>(m_cardPlaces[static_cast<std::size_t>(deck)].size())
                   : 0;
    }
    std::uint8_t cardPlace(int deck, int card) const {
        return m_cardPlaces[static_cast<std::size_t>(deck)][static_cast<std::size_t>(card - 1)];
    }
    void setCardPlace(int deck, int card, std::uint8_t place) {
        m_cardPlaces[static_cast<std::size_t>(deck)][static_cast<std::size_t>(card - 1)] = place;
    }
    std::vector<std::uint8_t>& deckPlaces(int deck) {
        return m_cardPlaces[static_cast<std::size_t>(deck)];
    }
    const std::vector<std::uint8_t>& deckPlaces(int deck) const {
        return m_cardPlaces[static_cast<std::size_t>(deck)];
    }

    // Game-wide values.
    std::uint16_t carriedStack = 0;  // CarriedStack: first held unit, 0 = none
    PlayerTable players{};
    std::uint8_t identifyProgress = kPlayersUndefined;
    std::uint8_t currentSlot = kObserver;
    std::array<bool, kSlotCount> locationHasCards{};
    std::uint8_t pendingDeclarations = 0;
    std::uint16_t reservedValue = 0;  // carried from load to save
    std::uint8_t headerByte6 = 0;     // saved-game header byte 6, kept as read
    GameMode gameMode = GameMode::Movement;
    std::uint16_t combatMode = 2;  // OneByOne 2, PreDeclare 3, ResolveDeclared 4
    int diceCount = 2;
    int diceSides = 6;
    bool moveSaved = false;

    bool holdingUnits() const { return carriedStack != 0; }
    // Sets the location-has-cards flags from the card places: a slot 2..7 of
    // kind CardLocation that holds at least one card.
    void updateLocationFlags();
    bool isValidSlot(int slot) const { return slot >= 0 && slot < kSlotCount; }
    // A slot index for which `kind` is GameMaster.
    bool isGameMaster(int slot) const {
        return isValidSlot(slot) &&
               players[static_cast<std::size_t>(slot)].kind == SlotKind::GameMaster;
    }

private:
    int m_unitCount = 0;
    int m_columns = 0;
    int m_rows = 0;
    std::vector<UnitState> m_units;      // 0..unitCount
    std::vector<HexGameRecord> m_hexes;  // (columns + 1) x (rows + 2)
    std::array<std::vector<std::uint8_t>, kDeckCount + 1> m_cardPlaces{};  // 1..20
};

}  // namespace qmx
