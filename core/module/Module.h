#pragma once
// The records of a game module: map, hex names, units with their steps and
// values, card decks and the author's notes. Both programs share them; the
// player reads them once and never changes them.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace qmx {

constexpr int kMaxColumns = 250;
constexpr int kMaxRows = 249;
constexpr int kMinUnits = 33;
constexpr int kMaxUnits = 65000;
constexpr int kDeckCount = 20;
constexpr int kMaxCards = 250;
constexpr int kStepCount = 6;
constexpr int kValueCount = 6;

constexpr std::size_t kUnitNameSize = 36;
constexpr std::size_t kHexNameSize = 32;
constexpr std::size_t kNotesSize = 500;  // NUL included: at most 499 characters
constexpr std::size_t kValueNameSize = 4;
constexpr std::size_t kDeckNameSize = 20;
constexpr std::size_t kReservedSize = 429;
constexpr std::size_t kMaxCardText = 65531;

enum class GridOrientation : std::uint8_t { RowsAligned = 0, ColumnsAligned = 1 };

// How the panel combines one value of several units.
enum class TotalMode : std::uint8_t { NotComputed = 0, Lowest = 1, Highest = 2, Total = 3 };
// The mode the next press of a total-mode button or menu item gives:
// Lowest -> Highest -> Total -> Lowest; NotComputed -> Lowest.
TotalMode nextTotalMode(TotalMode mode);

struct HexRecord {
    std::uint16_t state = 0;  // HexState
    std::string name;         // HexName, at most 32 bytes
};

struct UnitDefinition {
    std::string name;  // UnitName, at most 36 bytes, no trailing blanks
    std::array<std::uint16_t, kStepCount> stepImage{};  // 1-based image number, 0 = step unused
    // values[s][v]: value v of step s, the byte as stored (the editor's −99..99
    // in two's complement; the player reads it unsigned).
    std::array<std::array<std::uint8_t, kValueCount>, kStepCount> values{};

    // Step s counted from 0. Step 0 always exists.
    bool stepExists(int s) const {
        return s == 0 || (s > 0 && s < kStepCount && stepImage[s] != 0);
    }
};

struct Card {
    std::uint32_t storedLength = 0;  // 0 = never stored, otherwise text length + 4
    std::string text;
};

struct Deck {
    std::string name;  // DeckName, at most 20 bytes
    std::uint8_t cardCount = 0;
    std::array<Card, kMaxCards + 1> cards{};  // 1..250; entry 0 unused

    bool inUse() const { return cardCount > 0; }
};

struct Module {
    std::array<std::uint8_t, 3> moduleId{};  // 0,0,0 = no identity yet
    int columns = 0;
    int rows = 0;
    GridOrientation orientation = GridOrientation::RowsAligned;
    int version = 156;                // ModuleVersion as read; the writer always stores 156
    std::uint8_t extraNameCount = 0;  // header byte 5 (layout 150 only); kept as read
    std::string authorNotes;          // at most 499 bytes
    int unitCount = kMinUnits;
    std::array<std::string, kValueCount> valueNames;  // at most 4 bytes each
    std::uint16_t valueTotalModes = 0x555;
    std::uint16_t mapTop = 0;
    std::uint8_t imageRows = 4;
    std::uint8_t imagesPerRow = 0;
    std::uint8_t overviewWidth = 0;
    std::uint8_t overviewHeight = 0;
    std::array<std::uint8_t, kReservedSize> reserved{};
    bool legacyLayout = false;  // unit cells of 20 x 17 instead of 41 x 41

    std::vector<HexRecord> hexes;              // columns x (rows + 1), row-major from (1,1)
    std::vector<UnitDefinition> units;         // 0..unitCount; unit 0 is a blank spare
    std::array<Deck, kDeckCount + 1> decks{};  // 1..20; entry 0 unused

    // A new module as the editor makes it: default "0101" hex names, units
    // with image 1 on step 1, every value mode Lowest, no identity.
    static Module createEmpty(int columns, int rows, GridOrientation orientation, int unitCount);

    // Allocates the hex and unit tables for the current columns, rows and unit count.
    void allocateTables();

    bool hexInRange(int column, int row) const {
        return column >= 1 && column <= columns && row >= 1 && row <= rows + 1;
    }
    // column 1..columns, row 1..rows + 1 (checked by the caller with hexInRange)
    HexRecord& hex(int column, int row) { return hexes[hexIndex(column, row)]; }
    const HexRecord& hex(int column, int row) const { return hexes[hexIndex(column, row)]; }
    std::size_t hexIndex(int column, int row) const {
        return static_cast<std::size_t>(row - 1) * static_cast<std::size_t>(columns) +
               static_cast<std::size_t>(column - 1);
    }

    // value counted from 0
    TotalMode totalMode(int value) const {
        return static_cast<TotalMode>((valueTotalModes >> (2 * value)) & 3);
    }
    void setTotalMode(int value, TotalMode mode);

    int imageCapacity() const { return imageRows * imagesPerRow; }

    // Overview size from the map size: 144 wide when columns/rows is at least
    // 144/99, otherwise 99 high.
    static std::pair<int, int> overviewSizeFor(int columns, int rows);
};

// "0101": column then row, each with two digits when below 10.
std::string defaultHexName(int column, int row);

}  // namespace qmx
