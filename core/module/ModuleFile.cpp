#include "core/module/ModuleFile.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>

#include "core/module/FileIo.h"
#include "core/module/Random.h"

namespace qmx {
namespace {

// A unit name field: everything after the first NUL counts as blank, and
// trailing blanks are not part of the name.
std::string unitNameFrom(ByteReader& r, std::size_t size) {
    return trimRight(r.text(size));
}

Notice damaged(const std::string& what) {
    return {0, "The module file is damaged (" + what + ") and cannot be loaded."};
}

// Reads a sequence of fixed-size blocks: the reader moves a position through
// the current block and starts the next block when told to. Items that
// reach past the block end read the bytes that follow in the file.
class BlockReader {
public:
    BlockReader(std::span<const std::uint8_t> data, std::size_t start, std::size_t blockSize)
        : m_data(data), m_start(start), m_blockSize(blockSize) {}

    std::size_t pos() const { return m_pos; }
    void setPos(std::size_t pos) { m_pos = pos; }
    void nextBlock() {
        m_start += m_blockSize;
        m_pos = 0;
    }
    void nextBlockIfPast(std::size_t threshold) {
        if (m_pos > threshold) nextBlock();
    }
    // The bytes of an item at the current position, which then moves on.
    ByteReader item(std::size_t size) {
        const std::size_t at = m_start + m_pos;
        m_pos += size;
        if (at >= m_data.size()) {
            m_short = true;
            return ByteReader({});
        }
        const std::size_t n = std::min(size, m_data.size() - at);
        if (n < size) m_short = true;
        return ByteReader(m_data.subspan(at, n));
    }
    bool shortRead() const { return m_short; }
    // Where plain reading goes on after the current block.
    std::size_t endOfBlock() const { return m_start + m_blockSize; }

private:
    std::span<const std::uint8_t> m_data;
    std::size_t m_start;
    std::size_t m_blockSize;
    std::size_t m_pos = 0;
    bool m_short = false;
};

bool checkSize(const Module& m, ModuleLoad& out) {
    if (m.columns < 1 || m.columns > kMaxColumns || m.rows < 1 || m.rows > kMaxRows) {
        out.notices.push_back(damaged("the map is " + std::to_string(m.columns) + " x " +
                                      std::to_string(m.rows) + " hexes"));
        return false;
    }
    return true;
}

// Unit count as stored: a count above 65,000 is damage, a count below 33 is raised.
bool takeUnitCount(Module& m, int stored, ModuleLoad& out) {
    if (stored > kMaxUnits) {
        out.notices.push_back(damaged("it claims " + std::to_string(stored) + " units"));
        return false;
    }
    m.unitCount = std::max(stored, kMinUnits);
    return true;
}

// True when the data holds `size` bytes from `at` on (`at` may lie past its end).
bool holds(std::span<const std::uint8_t> data, std::size_t at, std::size_t size) {
    return at <= data.size() && data.size() - at >= size;
}

std::size_t hexCount(const Module& m) {
    return static_cast<std::size_t>(m.columns) * static_cast<std::size_t>(m.rows);
}

// The hex table for the stored rows is built record by record; this adds the
// game's extra row (no state, no name) and checks the table's size.
void finishHexTable(Module& m) {
    m.hexes.resize(static_cast<std::size_t>(m.columns) * static_cast<std::size_t>(m.rows + 1));
}

// A unit record of 84 bytes, which the caller has checked to be there.
void readUnitRecord(const std::uint8_t* p, UnitDefinition& u) {
    u.name = std::string(trimRightView(fieldText({p, kUnitNameSize})));
    p += kUnitNameSize;
    for (auto& img : u.stepImage) {
        img = static_cast<std::uint16_t>(decodeBase255(p[0], p[1]));
        p += 2;
    }
    static_assert(sizeof(u.values) == kStepCount * kValueCount, "values are one block of bytes");
    std::memcpy(&u.values, p, sizeof(u.values));
}

// Block 7 as the editor reads it: records until the data runs out; a bad
// record stops the reading with "Error Saving Card data.".
void readCards(std::span<const std::uint8_t> data, std::size_t offset, Module& m, ModuleLoad& out) {
    ByteReader r(data, offset);
    while (r.remaining() >= 4) {
        const int deck = r.u8();
        const int card = r.u8();
        const int length = r.bigEndian16();
        if (deck < 1 || deck > kDeckCount || card < 1 || card > kMaxCards || length < 4 ||
            r.remaining() < static_cast<std::size_t>(length - 4)) {
            out.notices.push_back({editormsg::kCardDataError, {}});
            return;
        }
        auto text = r.raw(static_cast<std::size_t>(length - 4));
        Card& c = m.decks[deck].cards[card];
        c.storedLength = static_cast<std::uint32_t>(length);
        c.text.assign(reinterpret_cast<const char*>(text.data()), text.size());
    }
}

// Header fields shared by layout 150 and the current layout.
void readHeader(ByteReader& r, Module& m, int& storedUnits) {
    for (auto& b : m.moduleId) b = r.u8();
    m.columns = r.u8();
    m.rows = r.u8();
    m.extraNameCount = r.u8();
    m.version = r.u8();
    std::string notes = r.text(kNotesSize);
    if (notes.size() > kNotesSize - 1) notes.resize(kNotesSize - 1);
    m.authorNotes = std::move(notes);
    r.skip(3);
    storedUnits = r.base255();
    for (auto& name : m.valueNames) name = r.text(kValueNameSize);
    m.mapTop = static_cast<std::uint16_t>(r.base255());
    m.imageRows = r.u8();
    m.imagesPerRow = r.u8();
    m.overviewWidth = r.u8();
    m.overviewHeight = r.u8();
    m.valueTotalModes = static_cast<std::uint16_t>(r.base255() & 0x0FFF);
    m.orientation = r.u8() == 0 ? GridOrientation::RowsAligned : GridOrientation::ColumnsAligned;
    r.skip(15);
}

// Layout 150: card counts, extra-row names and hexes packed into 560-byte
// blocks. Returns where the units begin, or 0 when the data ends first.
std::size_t readPackedHexes(std::span<const std::uint8_t> data, Module& m, std::size_t unitsToRead,
                            ModuleLoad& out) {
    // Every packed item takes its own bytes, so the file holds at least their
    // sum: a header claiming more is refused before the tables are allocated.
    const std::size_t least = kModuleHeaderSize + kDeckCount + std::size_t(m.extraNameCount) * 14 +
                              hexCount(m) * 36 + unitsToRead * kUnitRecordSize + kDeckNamesSize;
    if (data.size() < least) {
        out.notices.push_back(damaged("it is shorter than its header says"));
        return 0;
    }
    m.hexes.assign(static_cast<std::size_t>(m.columns) * static_cast<std::size_t>(m.rows + 1),
                   HexRecord{});
    BlockReader b(data, kModuleHeaderSize, kModuleHeaderSize);
    ByteReader counts = b.item(kDeckCount);
    for (int d = 1; d <= kDeckCount; ++d) m.decks[d].cardCount = counts.u8();
    for (int i = 0; i < m.extraNameCount; ++i) {
        ByteReader name = b.item(14);
        if (i < m.columns) m.hex(i + 1, m.rows + 1).name = name.text(14);
        b.nextBlockIfPast(546);
    }
    b.nextBlockIfPast(541);
    for (int row = 1; row <= m.rows; ++row)
        for (int col = 1; col <= m.columns; ++col) {
            ByteReader first = b.item(19);
            HexRecord& h = m.hex(col, row);
            h.state = static_cast<std::uint16_t>(first.base255());
            h.name = first.text(17);
            b.nextBlockIfPast(541);
            b.item(17);  // a second name, not used
            b.nextBlockIfPast(541);
        }
    if (b.shortRead()) {
        out.notices.push_back(damaged("it ends inside the hex names"));
        return 0;
    }
    return b.endOfBlock();
}

// Layout 151 and later (and, for the editor, 150, whose blocks 2 and 4 are packed).
//
// The sizes of blocks 2 to 6 follow from the header, so the data is checked
// to hold all of them before anything is allocated, and the records are then
// read straight from the bytes.
ModuleLoad readCurrent(std::span<const std::uint8_t> data, ModuleReader reader, bool withCards) {
    ModuleLoad out;
    Module& m = out.module;
    ByteReader r(data);
    int storedUnits = 0;
    readHeader(r, m, storedUnits);
    if (r.shortRead()) {
        out.notices.push_back(damaged("it ends inside its header"));
        return out;
    }
    if (!checkSize(m, out) || !takeUnitCount(m, storedUnits, out)) return out;
    // A count below 33 is raised; only the records stored are read.
    const std::size_t unitsToRead = static_cast<std::size_t>(std::min(storedUnits, m.unitCount));
    const std::uint8_t* const p = data.data();

    std::size_t unitsAt = 0;
    if (m.version == 150) {
        unitsAt = readPackedHexes(data, m, unitsToRead, out);
        if (unitsAt == 0) return out;
        if (!holds(data, unitsAt, unitsToRead * kUnitRecordSize)) {
            out.notices.push_back(damaged("it ends inside the units"));
            return out;
        }
    } else {
        const std::size_t countsAt = kModuleHeaderSize;
        const std::size_t reservedAt = countsAt + kDeckCount;
        const std::size_t hexesAt = reservedAt + (m.version >= 152 ? kReservedSize : 0);
        unitsAt = hexesAt + hexCount(m) * kHexRecordSize;
        if (!holds(data, 0, unitsAt)) {
            out.notices.push_back(damaged("it ends inside the hex names"));
            return out;
        }
        if (!holds(data, unitsAt, unitsToRead * kUnitRecordSize)) {
            out.notices.push_back(damaged("it ends inside the units"));
            return out;
        }
        for (int d = 1; d <= kDeckCount; ++d) m.decks[d].cardCount = p[countsAt + d - 1];
        if (m.version >= 152) std::memcpy(m.reserved.data(), p + reservedAt, kReservedSize);

        const bool trimNames = reader == ModuleReader::Player;
        m.hexes.clear();
        m.hexes.reserve(static_cast<std::size_t>(m.columns) * static_cast<std::size_t>(m.rows + 1));
        const std::uint8_t* h = p + hexesAt;
        for (std::size_t i = hexCount(m); i > 0; --i, h += kHexRecordSize) {
            const std::string_view name = fieldText({h + 2, kHexNameSize});
            m.hexes.push_back({static_cast<std::uint16_t>(decodeBase255(h[0], h[1])),
                               std::string(trimNames ? trimRightView(name) : name)});
        }
        finishHexTable(m);
    }

    const std::size_t deckNamesAt = unitsAt + unitsToRead * kUnitRecordSize;
    if (!holds(data, deckNamesAt, kDeckNamesSize)) {
        out.notices.push_back(damaged("it ends inside the deck names"));
        return out;
    }
    for (int d = 1; d <= kDeckCount; ++d)
        if (m.decks[d].cardCount > kMaxCards) {
            out.notices.push_back(damaged("deck " + std::to_string(d) + " claims " +
                                          std::to_string(m.decks[d].cardCount) + " cards"));
            return out;
        }

    m.units.clear();
    m.units.reserve(static_cast<std::size_t>(m.unitCount) + 1);
    m.units.emplace_back();  // unit 0, the blank spare
    const std::uint8_t* u = p + unitsAt;
    for (std::size_t i = 0; i < unitsToRead; ++i, u += kUnitRecordSize)
        readUnitRecord(u, m.units.emplace_back());
    m.units.resize(static_cast<std::size_t>(m.unitCount) + 1);
    for (int d = 1; d <= kDeckCount; ++d)
        m.decks[d].name.assign(
            fieldText({p + deckNamesAt + (d - 1) * kDeckNameSize, kDeckNameSize}));

    out.cardOffset = deckNamesAt + kDeckNamesSize;
    if (reader == ModuleReader::Editor && withCards) readCards(data, out.cardOffset, m, out);
    out.ok = true;
    return out;
}

// The hex part of the oldest layout: 18 extra-row names, the hex states and
// the hex names, walked through 120-byte blocks. `name` gets each name's
// bytes with its column and row (row rows + 1 for the extra row).
template <class NameSink>
void walkLegacyHexes(BlockReader& b, int columns, int rows, NameSink name) {
    for (int col = 1; col <= 18; ++col) {
        ByteReader field = b.item(14);
        if (col <= columns) name(col, rows + 1, field, 14);
        b.nextBlockIfPast(106);
    }
    const int hexes = columns * rows;
    for (int i = 0; i < hexes; ++i) {
        b.item(2);  // hex states are not kept
        b.nextBlockIfPast(118);
    }
    b.nextBlockIfPast(103);
    for (int row = 1; row <= rows; ++row)
        for (int col = 1; col <= columns; ++col) {
            ByteReader field = b.item(34);
            name(col, row, field, 34);
            b.nextBlockIfPast(102);
        }
    for (int i = 0; i < kDeckCount; ++i) b.nextBlockIfPast(99);
}

// The unit records of the oldest layout, 20 bytes each. Stops at the end of
// the data; false when that comes before record `needed`.
template <class UnitSink>
bool walkLegacyUnits(BlockReader& b, int toRead, int needed, UnitSink unit) {
    for (int i = 1; i <= toRead; ++i) {
        ByteReader rec = b.item(20);
        if (b.shortRead()) return i > needed;
        unit(i, rec);
        b.nextBlockIfPast(100);
    }
    return true;
}

// The layout of the oldest modules, read in 120-byte blocks.
ModuleLoad readLegacy(std::span<const std::uint8_t> data) {
    ModuleLoad out;
    Module& m = out.module;
    m.legacyLayout = true;
    BlockReader b(data, 0, 120);
    ByteReader head = b.item(57);
    head.skip(3);
    m.columns = head.u8();
    m.rows = head.u8();
    const int modes = head.u8();
    m.version = head.u8();
    head.skip(4);
    const int storedUnits = head.base255();
    for (auto& name : m.valueNames) name = head.text(kValueNameSize);
    m.mapTop = static_cast<std::uint16_t>(head.base255());
    m.imageRows = head.u8();
    m.imagesPerRow = head.u8();
    m.overviewWidth = head.u8();
    m.overviewHeight = head.u8();
    if (head.shortRead()) {
        out.notices.push_back(damaged("it ends inside its header"));
        return out;
    }
    m.valueTotalModes = 0;
    for (int k = 1; k <= kValueCount; ++k)
        m.setTotalMode(k - 1, (modes >> k) & 1 ? TotalMode::Lowest : TotalMode::Total);
    if (!checkSize(m, out) || !takeUnitCount(m, storedUnits, out)) return out;
    // With fewer than 33 units stored, the raised count less one is read;
    // records the file does not have stay empty.
    const int toRead = storedUnits < kMinUnits ? m.unitCount - 1 : m.unitCount;

    // A first walk only moves through the blocks: a file that does not hold
    // the hexes and units its header claims is refused before the tables
    // are allocated.
    {
        BlockReader dry = b;
        walkLegacyHexes(dry, m.columns, m.rows, [](int, int, ByteReader&, std::size_t) {});
        if (dry.shortRead()) {
            out.notices.push_back(damaged("it ends inside the hex names"));
            return out;
        }
        if (!walkLegacyUnits(dry, toRead, storedUnits, [](int, ByteReader&) {})) {
            out.notices.push_back(damaged("it ends inside the units"));
            return out;
        }
    }
    m.allocateTables();
    walkLegacyHexes(b, m.columns, m.rows,
                    [&](int col, int row, ByteReader& field, std::size_t size) {
                        std::string name = field.text(size);
                        if (name.size() > kHexNameSize) name.resize(kHexNameSize);
                        m.hex(col, row).name = std::move(name);
                    });
    walkLegacyUnits(b, toRead, storedUnits, [&](int i, ByteReader& rec) {
        UnitDefinition& u = m.units[static_cast<std::size_t>(i)];
        u.name = unitNameFrom(rec, 11);
        int image1 = rec.u8();
        std::array<std::uint8_t, kValueCount> values{};
        for (auto& v : values) v = rec.u8();
        int image2 = rec.u8();
        const int high = rec.u8();
        image1 += (high & 2) ? 510 : (high & 1) ? 255 : 0;
        image2 += (high & 8) ? 510 : (high & 4) ? 255 : 0;
        if (m.version < 41) {
            image1 = std::max(image1 - 10, 0);
            image2 = std::max(image2 - 10, 0);
        }
        u.stepImage[0] = static_cast<std::uint16_t>(image1);
        u.stepImage[1] = static_cast<std::uint16_t>(image2);
        u.values[0] = values;
        u.values[1] = values;
    });
    m.units[0] = UnitDefinition{};
    out.ok = true;
    return out;
}

}  // namespace

namespace {

// The editor's card records are read from `data` only `withCards`.
ModuleLoad parse(std::span<const std::uint8_t> data, ModuleReader reader, bool withCards) {
    if (data.size() < 7) {
        ModuleLoad out;
        out.notices.push_back(damaged("it is too short to be a module"));
        return out;
    }
    const int version = data[6];
    if (reader == ModuleReader::Player) {
        if (version > kPlayerMaxVersion) return ModuleLoad{false, {}, {{msg::kNewerModule, {}}}, 0};
        if (version < kPlayerMinVersion)
            return ModuleLoad{false, {}, {{msg::kOldModuleFormat, {}}}, 0};
        return readCurrent(data, reader, withCards);
    }
    if (version > kEditorMaxVersion)
        return ModuleLoad{false, {}, {{editormsg::kNewerModule, {}}}, 0};
    if (version >= 150) return readCurrent(data, reader, withCards);
    ModuleLoad out;
    if (version < 50) out.notices.push_back({editormsg::kAmigaModule, {}});
    ModuleLoad legacy = readLegacy(data);
    out.notices.insert(out.notices.end(), legacy.notices.begin(), legacy.notices.end());
    legacy.notices = std::move(out.notices);
    return legacy;
}

}  // namespace

ModuleLoad parseModule(std::span<const std::uint8_t> data, ModuleReader reader) {
    return parse(data, reader, true);
}

namespace {

// The oldest layout walks at most one 120-byte block per item: the header,
// 18 extra-row names, a state and a name per hex, 20 deck steps and the units.
constexpr std::size_t kLegacyLimit =
    120 * (2 + 18 + 2 * std::size_t(kMaxColumns) * kMaxRows + kDeckCount + kMaxUnits + 1);

// How many bytes from the start of a module file hold blocks 1 to 6, decided
// from its header; a header the reader will refuse needs no more than itself.
// Layout 150 packs its items into 560-byte blocks, each of which uses at least
// 541 of its bytes: twice the sum of its items is more than it can take.
std::size_t modulePrefixSize(std::span<const std::uint8_t> head, ModuleReader reader) {
    if (head.size() < kModuleHeaderSize) return kModuleHeaderSize;
    const int version = head[6];
    if (reader == ModuleReader::Editor && version < 150) return kLegacyLimit;
    ByteReader r(head);
    Module m;
    int storedUnits = 0;
    readHeader(r, m, storedUnits);
    ModuleLoad ignored;
    if (!checkSize(m, ignored) || storedUnits > kMaxUnits) return kModuleHeaderSize;
    const std::size_t units = static_cast<std::size_t>(storedUnits) * kUnitRecordSize;
    if (version == 150)
        return 2 * (kModuleHeaderSize + kDeckCount + std::size_t(m.extraNameCount) * 14 +
                    hexCount(m) * 36 + units + kDeckNamesSize);
    return kModuleHeaderSize + kDeckCount + (version >= 152 ? kReservedSize : 0) +
           hexCount(m) * kHexRecordSize + units + kDeckNamesSize;
}

// Block 7 as the editor reads it, record by record from the file: only the
// records there are take memory, never more than one record's text at a time
// beyond the cards kept.
void readCardsFrom(std::istream& in, Module& m, ModuleLoad& out) {
    for (;;) {
        std::uint8_t head[4];
        in.read(reinterpret_cast<char*>(head), 4);
        if (in.gcount() < 4) return;  // fewer than four bytes left: the end
        const int deck = head[0];
        const int card = head[1];
        const int length = head[2] * 256 + head[3];
        std::string text;
        if (deck >= 1 && deck <= kDeckCount && card >= 1 && card <= kMaxCards && length >= 4) {
            text.resize(static_cast<std::size_t>(length - 4));
            in.read(text.data(), static_cast<std::streamsize>(text.size()));
        }
        if (text.size() + 4 != static_cast<std::size_t>(length) ||
            in.gcount() != static_cast<std::streamsize>(text.size())) {
            out.notices.push_back({editormsg::kCardDataError, {}});
            return;
        }
        Card& c = m.decks[deck].cards[card];
        c.storedLength = static_cast<std::uint32_t>(length);
        c.text = std::move(text);
    }
}

}  // namespace

ModuleLoad loadModuleFile(const std::string& path, ModuleReader reader) {
    ModuleLoad out;
    std::error_code ec;
    std::ifstream in;
    if (!std::filesystem::is_directory(path, ec)) in.open(path, std::ios::binary);
    if (!in.is_open() || !in) {
        // The player's start-up reports its own failure to load.
        if (reader == ModuleReader::Editor)
            out.notices.push_back({editormsg::kCouldNotOpenFile, {}});
        return out;
    }
    // Only the bytes the header implies are read: a file claiming a great deal
    // more than it holds, or holding a great deal more than it claims, costs
    // no more memory than the largest module.
    std::uint8_t head[kModuleHeaderSize];
    in.read(reinterpret_cast<char*>(head), static_cast<std::streamsize>(kModuleHeaderSize));
    std::size_t size = static_cast<std::size_t>(in.gcount());
    std::size_t wanted = modulePrefixSize({head, size}, reader);
    if (wanted > size && size == kModuleHeaderSize) {
        in.seekg(0, std::ios::end);
        const auto end = in.tellg();
        if (end >= 0) wanted = std::min(wanted, static_cast<std::size_t>(end));
        in.seekg(static_cast<std::streamoff>(size));
    } else {
        wanted = size;
    }
    // The buffer is filled by the read alone: no bytes are cleared first.
    auto buffer = std::make_unique_for_overwrite<std::uint8_t[]>(std::max<std::size_t>(wanted, 1));
    std::memcpy(buffer.get(), head, size);
    if (wanted > size) {
        in.read(reinterpret_cast<char*>(buffer.get() + size),
                static_cast<std::streamsize>(wanted - size));
        size += static_cast<std::size_t>(in.gcount());
    }
    const std::span<const std::uint8_t> data(buffer.get(), size);
    out = parse(data, reader, false);
    // The editor keeps the card texts: the records after block 6, in the file.
    if (out.ok && reader == ModuleReader::Editor && !out.module.legacyLayout) {
        in.clear();
        in.seekg(static_cast<std::streamoff>(out.cardOffset));
        readCardsFrom(in, out.module, out);
    }
    return out;
}

Bytes serializeModule(const Module& m) {
    ByteWriter w;
    const std::size_t size = kModuleHeaderSize + kDeckCount + kReservedSize +
                             static_cast<std::size_t>(m.columns) * m.rows * kHexRecordSize +
                             static_cast<std::size_t>(m.unitCount) * kUnitRecordSize +
                             kDeckNamesSize;
    w.bytes().reserve(size);
    for (auto b : m.moduleId) w.u8(b);
    w.u8(m.columns);
    w.u8(m.rows);
    w.u8(0);
    w.u8(kModuleWriteVersion);
    w.text(m.authorNotes.substr(0, kNotesSize - 1), kNotesSize);
    w.fill(0, 3);
    w.base255Low(m.unitCount);
    for (const auto& name : m.valueNames) w.text(name, kValueNameSize);
    w.base255Low(m.mapTop);
    w.u8(m.imageRows);
    w.u8(m.imagesPerRow);
    w.u8(m.overviewWidth);
    w.u8(m.overviewHeight);
    w.base255(m.valueTotalModes & 0x0FFF);
    w.u8(static_cast<int>(m.orientation));
    w.fill(0xFF, 15);

    for (int d = 1; d <= kDeckCount; ++d) w.u8(m.decks[d].cardCount);
    w.raw(m.reserved);
    for (int row = 1; row <= m.rows; ++row)
        for (int col = 1; col <= m.columns; ++col) {
            const HexRecord& h = m.hex(col, row);
            w.base255(h.state);
            w.text(h.name, kHexNameSize);
        }
    for (int i = 1; i <= m.unitCount; ++i) {
        const UnitDefinition& u = m.units[i];
        w.text(u.name, kUnitNameSize);
        for (auto img : u.stepImage) w.base255(img);
        for (const auto& step : u.values)
            for (auto v : step) w.u8(v);
    }
    for (int d = 1; d <= kDeckCount; ++d) w.text(m.decks[d].name, kDeckNameSize);
    for (int d = 1; d <= kDeckCount; ++d)
        for (int c = 1; c <= kMaxCards; ++c) {
            const Card& card = m.decks[d].cards[c];
            if (card.storedLength == 0) continue;
            const std::string_view text = std::string_view(card.text).substr(0, kMaxCardText);
            w.u8(d);
            w.u8(c);
            w.bigEndian16(static_cast<int>(text.size() + 4));
            w.raw(text);
        }
    return std::move(w.bytes());
}

void assignModuleId(Module& module, const Clock& clock) {
    if (module.moduleId != std::array<std::uint8_t, 3>{0, 0, 0}) return;
    Random random;
    random.seedFrom(clock);
    for (auto& b : module.moduleId) b = static_cast<std::uint8_t>(random.next() % 255);
}

bool saveModuleFile(const std::string& path, Module& module, const Clock& clock) {
    assignModuleId(module, clock);
    return writeFileAtomically(path, serializeModule(module));
}

CardText findCardText(std::span<const std::uint8_t> data, std::size_t offset, int deck, int card) {
    ByteReader r(data, offset);
    while (r.remaining() >= 4) {
        const int d = r.u8();
        const int c = r.u8();
        const int length = r.bigEndian16();
        if (length < 4 || r.remaining() < static_cast<std::size_t>(length - 4)) break;
        auto text = r.raw(static_cast<std::size_t>(length - 4));
        if (d == deck && c == card)
            return {CardLookup::Found,
                    std::string(reinterpret_cast<const char*>(text.data()), text.size())};
    }
    return {CardLookup::NotFound, {}};
}

CardText readCardText(const std::string& modulePath, std::size_t offset, int deck, int card) {
    std::ifstream in(modulePath, std::ios::binary);
    if (!in) return {CardLookup::CannotOpen, {}};
    in.seekg(static_cast<std::streamoff>(offset));
    std::string text;
    for (;;) {
        unsigned char head[4];
        if (!in.read(reinterpret_cast<char*>(head), 4)) break;
        const int length = head[2] * 256 + head[3];
        if (length < 4) break;
        text.resize(static_cast<std::size_t>(length - 4));
        if (!in.read(text.data(), static_cast<std::streamsize>(text.size()))) break;
        if (head[0] == deck && head[1] == card) return {CardLookup::Found, std::move(text)};
    }
    return {CardLookup::NotFound, {}};
}

}  // namespace qmx
