#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "core/module/FileIo.h"
#include "core/module/ModuleFile.h"
#include "tests/support/TempFolder.h"

using namespace qmx;

namespace {

// Bytes written by hand from the layout tables, independent of the writer.
struct HandFile {
    Bytes b;
    void u8(int v) { b.push_back(static_cast<std::uint8_t>(v)); }
    void field(const std::string& s, std::size_t n) {
        for (std::size_t i = 0; i < n; ++i) u8(i < s.size() ? static_cast<unsigned char>(s[i]) : 0);
    }
    void zeros(std::size_t n) { b.insert(b.end(), n, 0); }
};

// A current-layout module of 2 x 2 hexes and 33 units, version `version`.
HandFile handModule(int version = 156, int units = 33) {
    HandFile f;
    f.u8(7), f.u8(8), f.u8(9);  // ModuleId
    f.u8(2), f.u8(2);           // columns, rows
    f.u8(0);
    f.u8(version);
    f.field("Notes here", 500);
    f.zeros(3);
    f.u8(units / 255), f.u8(units % 255);
    f.field("Att", 4), f.field("Def", 4), f.field("Mov", 4), f.field("", 4), f.field("", 4),
        f.field("Cost", 4);
    f.u8(0), f.u8(166);  // MapTop
    f.u8(4), f.u8(10);   // ImageRows, ImagesPerRow
    f.u8(99), f.u8(99);  // overview
    f.u8(5), f.u8(90);   // value modes 0x555
    f.u8(1);             // ColumnsAligned
    f.b.insert(f.b.end(), 15, 0xFF);
    EXPECT_EQ(f.b.size(), 560u);
    f.u8(2);  // deck 1 has two cards
    f.zeros(19);
    if (version >= 152) {
        for (int i = 0; i < 429; ++i) f.u8(i % 251);
    }
    for (int row = 1; row <= 2; ++row)
        for (int col = 1; col <= 2; ++col) {
            f.u8(0), f.u8(row * 10 + col);
            f.field(defaultHexName(col, row), 32);
        }
    for (int u = 1; u <= units; ++u) {
        f.field("Unit " + std::to_string(u), 36);
        f.u8(0), f.u8(u);  // step 1 image
        f.u8(1), f.u8(0);  // step 2 image 255
        f.zeros(8);
        for (int s = 0; s < 6; ++s)
            for (int v = 0; v < 6; ++v) f.u8(s * 10 + v);
    }
    f.field("Events", 20);
    f.zeros(380);
    return f;
}

void appendCard(HandFile& f, int deck, int card, const std::string& text) {
    const int length = static_cast<int>(text.size()) + 4;
    f.u8(deck), f.u8(card), f.u8(length / 256), f.u8(length % 256);
    for (char c : text) f.u8(static_cast<unsigned char>(c));
}

}  // namespace

TEST(ModuleFile, ReadsEveryFieldOfAHandWrittenFile) {
    HandFile f = handModule();
    appendCard(f, 1, 1, "First card\r\nsecond line");
    appendCard(f, 1, 2, "");
    for (ModuleReader reader : {ModuleReader::Editor, ModuleReader::Player}) {
        ModuleLoad load = parseModule(f.b, reader);
        ASSERT_TRUE(load.ok);
        EXPECT_TRUE(load.notices.empty());
        const Module& m = load.module;
        EXPECT_EQ(m.moduleId, (std::array<std::uint8_t, 3>{7, 8, 9}));
        EXPECT_EQ(m.columns, 2);
        EXPECT_EQ(m.rows, 2);
        EXPECT_EQ(m.version, 156);
        EXPECT_EQ(m.authorNotes, "Notes here");
        EXPECT_EQ(m.unitCount, 33);
        EXPECT_EQ(m.valueNames[0], "Att");
        EXPECT_EQ(m.valueNames[5], "Cost");
        EXPECT_EQ(m.mapTop, 166);
        EXPECT_EQ(m.imageRows, 4);
        EXPECT_EQ(m.imagesPerRow, 10);
        EXPECT_EQ(m.valueTotalModes, 0x555);
        EXPECT_EQ(m.totalMode(2), TotalMode::Lowest);
        EXPECT_EQ(m.orientation, GridOrientation::ColumnsAligned);
        EXPECT_EQ(m.reserved[428], 428 % 251);
        EXPECT_EQ(m.hex(2, 1).name, "0201");
        EXPECT_EQ(m.hex(2, 1).state, 12);
        EXPECT_EQ(m.hex(1, 3).name, "");  // the game's extra row is not stored
        EXPECT_EQ(m.units[5].name, "Unit 5");
        EXPECT_EQ(m.units[5].stepImage[0], 5);
        EXPECT_EQ(m.units[5].stepImage[1], 255);
        EXPECT_TRUE(m.units[5].stepExists(1));
        EXPECT_FALSE(m.units[5].stepExists(2));
        EXPECT_EQ(m.units[5].values[2][3], 23);  // step-major in the file
        EXPECT_EQ(m.decks[1].name, "Events");
        EXPECT_EQ(m.decks[1].cardCount, 2);
        EXPECT_EQ(m.units[0].name, "");
        if (reader == ModuleReader::Editor) {
            EXPECT_EQ(m.decks[1].cards[1].text, "First card\r\nsecond line");
            EXPECT_EQ(m.decks[1].cards[1].storedLength, 27u);
            EXPECT_EQ(m.decks[1].cards[2].storedLength, 4u);
        } else {
            EXPECT_EQ(load.cardOffset, 560u + 20 + 429 + 4 * 34 + 33 * 84 + 400);
            EXPECT_EQ(findCardText(f.b, load.cardOffset, 1, 1).text, "First card\r\nsecond line");
            EXPECT_EQ(findCardText(f.b, load.cardOffset, 1, 2).status, CardLookup::Found);
            EXPECT_EQ(findCardText(f.b, load.cardOffset, 1, 3).status, CardLookup::NotFound);
        }
    }
}

TEST(ModuleFile, WriterProducesTheHandWrittenBytes) {
    HandFile f = handModule();
    appendCard(f, 1, 1, "Text");
    appendCard(f, 1, 2, "");
    ModuleLoad load = parseModule(f.b, ModuleReader::Editor);
    ASSERT_TRUE(load.ok);
    EXPECT_EQ(serializeModule(load.module), f.b);
}

TEST(ModuleFile, HeaderOffsetsAndBase255Splits) {
    Module m = Module::createEmpty(20, 20, GridOrientation::RowsAligned, 300);
    m.authorNotes = "N";
    m.mapTop = 255;
    m.units[1].stepImage[0] = 255;
    m.units[1].stepImage[1] = 300;
    Bytes b = serializeModule(m);
    EXPECT_EQ(b[5], 0);
    EXPECT_EQ(b[6], 156);
    EXPECT_EQ(b[7], 'N');
    EXPECT_EQ(b[8], 0);
    EXPECT_EQ(b[510], 1);  // 300 -> 1, 45
    EXPECT_EQ(b[511], 45);
    EXPECT_EQ(b[536], 0);  // MapTop 255 -> 0, 255
    EXPECT_EQ(b[537], 255);
    EXPECT_EQ(b[542], 5);  // 0x555 = 1365 -> 5, 90
    EXPECT_EQ(b[543], 90);
    for (int i = 545; i < 560; ++i) EXPECT_EQ(b[i], 0xFF);
    const std::size_t unit1 = 560 + 20 + 429 + 20 * 20 * 34;
    EXPECT_EQ(b[unit1 + 36], 1);  // image 255 elsewhere -> 1, 0
    EXPECT_EQ(b[unit1 + 37], 0);
    EXPECT_EQ(b[unit1 + 38], 1);  // 300 -> 1, 45
    EXPECT_EQ(b[unit1 + 39], 45);
    EXPECT_EQ(b.size(), unit1 + 300 * 84 + 400);

    m.unitCount = 255;
    m.allocateTables();
    b = serializeModule(m);
    EXPECT_EQ(b[510], 0);
    EXPECT_EQ(b[511], 255);
    m.unitCount = 65000;
    m.allocateTables();
    b = serializeModule(m);
    EXPECT_EQ(b[510], 254);
    EXPECT_EQ(b[511], 230);
    ModuleLoad back = parseModule(b, ModuleReader::Player);
    ASSERT_TRUE(back.ok);
    EXPECT_EQ(back.module.unitCount, 65000);
}

TEST(ModuleFile, RoundTripKeepsNamesCardsAndReservedBytes) {
    Module m = Module::createEmpty(21, 20, GridOrientation::ColumnsAligned, 40);
    m.moduleId = {1, 2, 254};
    m.hex(3, 4).name = std::string(32, 'X');  // fills its field: no NUL
    m.hex(4, 4).name = "A1  ";
    m.units[40].name = "1/502 Inf";
    m.units[40].values[5][5] = 0x9D;  // -99
    m.decks[20].name = std::string(20, 'D');
    m.decks[20].cardCount = 250;
    m.decks[20].cards[250] = {9, "Hello"};
    m.decks[3].cards[7] = {4, ""};
    m.reserved[0] = 0xAB;
    m.setTotalMode(5, TotalMode::Highest);
    Bytes b = serializeModule(m);
    ModuleLoad e = parseModule(b, ModuleReader::Editor);
    ASSERT_TRUE(e.ok);
    EXPECT_EQ(e.module.hex(3, 4).name, std::string(32, 'X'));
    EXPECT_EQ(e.module.hex(4, 4).name, "A1  ");  // the editor keeps trailing blanks
    EXPECT_EQ(e.module.units[40].name, "1/502 Inf");
    EXPECT_EQ(e.module.units[40].values[5][5], 0x9D);
    EXPECT_EQ(e.module.decks[20].name, std::string(20, 'D'));
    EXPECT_EQ(e.module.decks[20].cards[250].text, "Hello");
    EXPECT_EQ(e.module.decks[3].cards[7].storedLength, 4u);
    EXPECT_EQ(e.module.reserved[0], 0xAB);
    EXPECT_EQ(e.module.totalMode(5), TotalMode::Highest);
    EXPECT_EQ(serializeModule(e.module), b);
    ModuleLoad p = parseModule(b, ModuleReader::Player);
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.module.hex(4, 4).name, "A1");  // the player drops them
}

TEST(ModuleFile, UnitNamesLoseEverythingAfterTheFirstNulAndTrailingBlanks) {
    HandFile f = handModule();
    const std::size_t unit1 = 560 + 20 + 429 + 4 * 34;
    const char raw[] = "Tank  \0garbage";
    std::copy(raw, raw + sizeof raw - 1, f.b.begin() + static_cast<std::ptrdiff_t>(unit1));
    EXPECT_EQ(parseModule(f.b, ModuleReader::Editor).module.units[1].name, "Tank");
}

TEST(ModuleFile, UnitNamesLoseEveryTrailingWhiteSpaceCharacter) {
    HandFile f = handModule();
    const std::size_t unit1 = 560 + 20 + 429 + 4 * 34;
    const char raw[] = "Tank \t\n\v\f\r \v";
    std::copy(raw, raw + sizeof raw - 1, f.b.begin() + static_cast<std::ptrdiff_t>(unit1));
    EXPECT_EQ(parseModule(f.b, ModuleReader::Player).module.units[1].name, "Tank");
    EXPECT_EQ(parseModule(f.b, ModuleReader::Editor).module.units[1].name, "Tank");
}

TEST(ModuleFile, PlayerVersionRules) {
    auto notices = [](int version) {
        return parseModule(handModule(version).b, ModuleReader::Player);
    };
    EXPECT_TRUE(notices(151).ok);  // no reserved block
    EXPECT_TRUE(notices(160).ok);
    ModuleLoad newer = notices(161);
    EXPECT_FALSE(newer.ok);
    EXPECT_EQ(newer.notices, (std::vector<Notice>{{msg::kNewerModule, {}}}));
    for (int old : {150, 100, 40}) {
        ModuleLoad l = notices(old);
        EXPECT_FALSE(l.ok);
        ASSERT_EQ(l.notices.size(), 1u);
        EXPECT_EQ(l.notices[0].number, msg::kOldModuleFormat);
    }
    ModuleLoad editorNewer = parseModule(handModule(157).b, ModuleReader::Editor);
    EXPECT_FALSE(editorNewer.ok);
    EXPECT_EQ(editorNewer.notices[0].number, editormsg::kNewerModule);
}

TEST(ModuleFile, UnitCountBelow33IsRaised) {
    HandFile f = handModule(156, 3);
    ModuleLoad l = parseModule(f.b, ModuleReader::Editor);
    ASSERT_TRUE(l.ok);
    EXPECT_EQ(l.module.unitCount, 33);
    EXPECT_EQ(l.module.units[3].name, "Unit 3");
    EXPECT_EQ(l.module.units[4].name, "");
    EXPECT_EQ(l.module.units[4].stepImage[0], 0);
    EXPECT_EQ(l.module.decks[1].name, "Events");
}

TEST(ModuleFile, CardRecordCases) {
    // empty card, then a card after it
    HandFile f = handModule();
    appendCard(f, 2, 1, "");
    appendCard(f, 2, 2, "After the empty one");
    ModuleLoad l = parseModule(f.b, ModuleReader::Editor);
    ASSERT_TRUE(l.ok);
    EXPECT_TRUE(l.notices.empty());
    EXPECT_EQ(l.module.decks[2].cards[1].storedLength, 4u);
    EXPECT_EQ(l.module.decks[2].cards[2].text, "After the empty one");

    // a bad deck number stops the reading but keeps what came before
    for (auto [deck, card] : {std::pair{0, 1}, {21, 1}, {1, 0}, {1, 251}}) {
        HandFile g = handModule();
        appendCard(g, 1, 1, "kept");
        appendCard(g, deck, card, "bad");
        appendCard(g, 1, 2, "lost");
        ModuleLoad lg = parseModule(g.b, ModuleReader::Editor);
        ASSERT_TRUE(lg.ok);
        EXPECT_EQ(lg.notices, (std::vector<Notice>{{editormsg::kCardDataError, {}}}));
        EXPECT_EQ(lg.module.decks[1].cards[1].text, "kept");
        EXPECT_EQ(lg.module.decks[1].cards[2].storedLength, 0u);
    }

    // a text cut short, and a length below 4
    HandFile h = handModule();
    appendCard(h, 1, 1, "0123456789");
    h.b.resize(h.b.size() - 3);
    EXPECT_EQ(parseModule(h.b, ModuleReader::Editor).notices.size(), 1u);
    HandFile k = handModule();
    k.u8(1), k.u8(1), k.u8(0), k.u8(2);
    EXPECT_EQ(parseModule(k.b, ModuleReader::Editor).notices.size(), 1u);
    EXPECT_EQ(findCardText(k.b, parseModule(k.b, ModuleReader::Player).cardOffset, 1, 1).status,
              CardLookup::NotFound);

    // a file that ends right after the deck names loads quietly
    ModuleLoad none = parseModule(handModule().b, ModuleReader::Editor);
    EXPECT_TRUE(none.ok);
    EXPECT_TRUE(none.notices.empty());
}

TEST(ModuleFile, DamagedFilesAreRefusedNotGuessed) {
    const Bytes good = handModule().b;
    // every cut inside blocks 1 to 6 is refused, for both readers
    for (std::size_t n = 0; n < good.size(); n += (n < 600 ? 1 : 37)) {
        Bytes cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n));
        for (ModuleReader reader : {ModuleReader::Editor, ModuleReader::Player}) {
            ModuleLoad l = parseModule(cut, reader);
            EXPECT_FALSE(l.ok) << n;
            EXPECT_FALSE(l.notices.empty()) << n;
        }
    }
    auto withByte = [&](std::size_t at, std::uint8_t v) {
        Bytes b = good;
        b[at] = v;
        return parseModule(b, ModuleReader::Player);
    };
    EXPECT_FALSE(withByte(3, 0).ok);      // no columns
    EXPECT_FALSE(withByte(4, 0).ok);      // no rows
    EXPECT_FALSE(withByte(3, 251).ok);    // too many columns
    EXPECT_FALSE(withByte(4, 250).ok);    // too many rows
    EXPECT_FALSE(withByte(560, 251).ok);  // a deck of 251 cards
    Bytes many = good;
    many[510] = 254, many[511] = 231;  // 65,001 units
    EXPECT_FALSE(parseModule(many, ModuleReader::Player).ok);
    many[510] = 254, many[511] = 254;  // more units than the file holds
    EXPECT_FALSE(parseModule(many, ModuleReader::Player).ok);
    EXPECT_NE(noticeText(MessageTable::Player, parseModule(many, ModuleReader::Player).notices[0])
                  .find("damaged"),
              std::string::npos);
}

namespace {

// Layout 150: blocks 2 and 4 packed into 560-byte blocks.
HandFile layout150(int columns, int rows, int extraNames) {
    HandFile f;
    f.zeros(3);
    f.u8(columns), f.u8(rows), f.u8(extraNames), f.u8(150);
    f.field("old notes", 500);
    f.zeros(3);
    f.u8(0), f.u8(33);
    f.zeros(24);
    f.u8(0), f.u8(166), f.u8(4), f.u8(10), f.u8(99), f.u8(99), f.u8(5), f.u8(90), f.u8(0);
    f.b.insert(f.b.end(), 15, 0xFF);
    // the packed blocks, written with the reader's thresholds
    std::vector<std::uint8_t> block(560, 0);
    std::size_t pos = 0;
    auto flush = [&] {
        f.b.insert(f.b.end(), block.begin(), block.end());
        std::fill(block.begin(), block.end(), 0);
        pos = 0;
    };
    auto put = [&](const std::string& s, std::size_t n) {
        for (std::size_t i = 0; i < n; ++i) block[pos + i] = i < s.size() ? s[i] : 0;
        pos += n;
    };
    block[0] = 3;  // deck 1: 3 cards
    pos = 20;
    for (int i = 1; i <= extraNames; ++i) {
        put("X" + std::to_string(i), 14);
        if (pos > 546) flush();
    }
    if (pos > 541) flush();
    for (int r = 1; r <= rows; ++r)
        for (int c = 1; c <= columns; ++c) {
            put(std::string("\0\7", 2) + "H" + std::to_string(c) + "." + std::to_string(r), 19);
            if (pos > 541) flush();
            put("ignored", 17);
            if (pos > 541) flush();
        }
    flush();
    for (int u = 1; u <= 33; ++u) {
        f.field("U" + std::to_string(u), 36);
        f.u8(0), f.u8(1);
        f.zeros(10 + 36);
    }
    f.zeros(400);
    return f;
}

}  // namespace

TEST(ModuleFile, EditorReadsLayout150) {
    HandFile f = layout150(20, 20, 45);
    appendCard(f, 1, 3, "old card");
    ModuleLoad l = parseModule(f.b, ModuleReader::Editor);
    ASSERT_TRUE(l.ok);
    const Module& m = l.module;
    EXPECT_EQ(m.authorNotes, "old notes");
    EXPECT_EQ(m.decks[1].cardCount, 3);
    EXPECT_EQ(m.hex(1, 21).name, "X1");
    EXPECT_EQ(m.hex(20, 21).name, "X20");  // names beyond the columns are dropped
    EXPECT_EQ(m.hex(1, 1).name, "H1.1");
    EXPECT_EQ(m.hex(1, 1).state, 7);
    EXPECT_EQ(m.hex(20, 20).name, "H20.20");
    EXPECT_EQ(m.units[33].name, "U33");
    EXPECT_EQ(m.decks[1].cards[3].text, "old card");
    // saved again it is a current module
    ModuleLoad again = parseModule(serializeModule(m), ModuleReader::Player);
    ASSERT_TRUE(again.ok);
    EXPECT_EQ(again.module.hex(20, 20).name, "H20.20");
}

namespace {

// The oldest layout, in 120-byte blocks; `units` stored.
HandFile legacy(int version, int columns, int rows, int units) {
    HandFile f;
    std::vector<std::uint8_t> block(120, 0);
    std::size_t pos = 0;
    auto flush = [&] {
        f.b.insert(f.b.end(), block.begin(), block.end());
        std::fill(block.begin(), block.end(), 0);
        pos = 0;
    };
    auto put = [&](const std::string& s, std::size_t n) {
        for (std::size_t i = 0; i < n; ++i)
            if (pos + i < block.size()) block[pos + i] = i < s.size() ? s[i] : 0;
        pos += n;
    };
    block[3] = static_cast<std::uint8_t>(columns);
    block[4] = static_cast<std::uint8_t>(rows);
    block[5] = 0b0000'0110;  // values 1 and 2 Lowest, others Total
    block[6] = static_cast<std::uint8_t>(version);
    block[11] = 0, block[12] = static_cast<std::uint8_t>(units);
    std::copy_n("Att\0Def\0", 8, block.begin() + 13);
    block[37] = 0, block[38] = 80;
    block[39] = 4, block[40] = 12;
    block[41] = 99, block[42] = 99;
    pos = 57;
    for (int c = 1; c <= 18; ++c) {
        put("E" + std::to_string(c), 14);
        if (pos > 106) flush();
    }
    for (int i = 0; i < columns * rows; ++i) {
        put("\0\0", 2);
        if (pos > 118) flush();
    }
    if (pos > 103) flush();
    for (int r = 1; r <= rows; ++r)
        for (int c = 1; c <= columns; ++c) {
            // a name reaching past the block end continues into the next block's bytes
            const std::string name = "L" + std::to_string(c) + "-" + std::to_string(r);
            for (std::size_t i = 0; i < 34; ++i) {
                const std::uint8_t ch = i < name.size() ? name[i] : 0;
                if (pos + i < 120)
                    block[pos + i] = ch;
                else if (ch != 0)
                    ADD_FAILURE() << "test layout puts text past a block";
            }
            pos += 34;
            if (pos > 102) flush();
        }
    for (int i = 0; i < 20; ++i)
        if (pos > 99) flush();
    for (int u = 1; u <= units; ++u) {
        put("Old" + std::to_string(u), 11);
        block[pos++] = static_cast<std::uint8_t>(u + 20);  // step 1 image
        for (int v = 0; v < 6; ++v) block[pos++] = static_cast<std::uint8_t>(v + 1);
        block[pos++] = 30;      // step 2 image
        block[pos++] = 0b0110;  // step 1 +510, step 2 +255
        if (pos > 100) flush();
    }
    if (pos > 0) flush();
    return f;
}

}  // namespace

TEST(ModuleFile, EditorReadsTheLegacyLayout) {
    HandFile f = legacy(120, 3, 3, 40);
    ModuleLoad l = parseModule(f.b, ModuleReader::Editor);
    ASSERT_TRUE(l.ok);
    EXPECT_TRUE(l.notices.empty());
    const Module& m = l.module;
    EXPECT_TRUE(m.legacyLayout);
    EXPECT_EQ(m.unitCount, 40);
    EXPECT_EQ(m.valueNames[1], "Def");
    EXPECT_EQ(m.totalMode(0), TotalMode::Lowest);
    EXPECT_EQ(m.totalMode(1), TotalMode::Lowest);
    EXPECT_EQ(m.totalMode(2), TotalMode::Total);
    EXPECT_EQ(m.mapTop, 80);
    EXPECT_EQ(m.imagesPerRow, 12);
    EXPECT_EQ(m.hex(1, 4).name, "E1");
    EXPECT_EQ(m.hex(3, 4).name, "E3");
    EXPECT_EQ(m.hex(1, 1).name, "L1-1");
    EXPECT_EQ(m.hex(3, 3).name, "L3-3");
    EXPECT_EQ(m.units[40].name, "Old40");
    EXPECT_EQ(m.units[40].stepImage[0], 60 + 510);
    EXPECT_EQ(m.units[40].stepImage[1], 30 + 255);
    EXPECT_EQ(m.units[40].values[1][5], 6);
    EXPECT_EQ(m.units[40].values[0][0], 1);
    EXPECT_FALSE(m.units[40].stepExists(2));
    // The player does not read it.
    EXPECT_FALSE(parseModule(f.b, ModuleReader::Player).ok);
}

TEST(ModuleFile, LegacyQuirks) {
    // Before version 50: a warning, then the load goes on. Before 41 images lose 10.
    ModuleLoad amiga = parseModule(legacy(40, 2, 2, 33).b, ModuleReader::Editor);
    ASSERT_TRUE(amiga.ok);
    EXPECT_EQ(amiga.notices, (std::vector<Notice>{{editormsg::kAmigaModule, {}}}));
    EXPECT_EQ(amiga.module.units[1].stepImage[0], 21 + 510 - 10);
    // Fewer than 33 units: 33 of them, 32 read, the rest empty.
    ModuleLoad few = parseModule(legacy(120, 2, 2, 5).b, ModuleReader::Editor);
    ASSERT_TRUE(few.ok);
    EXPECT_EQ(few.module.unitCount, 33);
    EXPECT_EQ(few.module.units[5].name, "Old5");
    EXPECT_EQ(few.module.units[6].name, "");
    // Cut inside the units it claims: refused.
    HandFile cut = legacy(120, 2, 2, 40);
    cut.b.resize(cut.b.size() - 120);
    EXPECT_FALSE(parseModule(cut.b, ModuleReader::Editor).ok);
}

TEST(ModuleFile, SavingAssignsAnIdentityOnceAndWritesSafely) {
    const test::TempFolder folder("qmx_module_test");
    const std::string path = (folder / "Save.qm4").string();
    Module m = Module::createEmpty(20, 20, GridOrientation::RowsAligned, 33);
    FixedClock clock(1234567);
    ASSERT_TRUE(saveModuleFile(path, m, clock));
    const auto id = m.moduleId;
    for (auto b : id) EXPECT_LT(b, 255);
    EXPECT_NE(id, (std::array<std::uint8_t, 3>{0, 0, 0}));
    clock.set(7654321);
    ASSERT_TRUE(saveModuleFile(path, m, clock));
    EXPECT_EQ(m.moduleId, id);
    ModuleLoad l = loadModuleFile(path, ModuleReader::Player);
    ASSERT_TRUE(l.ok);
    EXPECT_EQ(l.module.moduleId, id);
    EXPECT_EQ(readCardText(path, l.cardOffset, 1, 1).status, CardLookup::NotFound);
    EXPECT_EQ(readCardText(path + ".missing", 0, 1, 1).status, CardLookup::CannotOpen);
    // no temporary files are left behind
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()),
                            std::filesystem::directory_iterator()),
              1);
    // a save into a folder that does not exist fails and says so
    EXPECT_FALSE(saveModuleFile((folder / "no/such/folder.qm4").string(), m, clock));
    EXPECT_EQ(loadModuleFile(path + ".missing", ModuleReader::Editor).notices,
              (std::vector<Notice>{{editormsg::kCouldNotOpenFile, {}}}));
}

TEST(ModuleFile, TheFileReaderReadsOnlyWhatTheHeaderImplies) {
    const test::TempFolder folder("qmx_module_test");
    const std::string path = (folder / "Huge.qm4").string();
    Module m = Module::createEmpty(20, 20, GridOrientation::RowsAligned, 33);
    m.decks[3].cardCount = 1;
    m.decks[3].cards[1] = {1, "Reinforcements"};
    FixedClock clock;
    ASSERT_TRUE(saveModuleFile(path, m, clock));
    const std::size_t blocks = 560 + 20 + 429 + 20 * 20 * 34 + 33 * 84 + 400;
    const std::size_t cards = 4 + 14;
    ASSERT_EQ(std::filesystem::file_size(path), blocks + cards);

    // The editor reads the card records from the file, one by one.
    ModuleLoad e = loadModuleFile(path, ModuleReader::Editor);
    ASSERT_TRUE(e.ok);
    EXPECT_TRUE(e.notices.empty());
    EXPECT_EQ(e.module.decks[3].cards[1].text, "Reinforcements");
    EXPECT_EQ(e.module.decks[3].cards[1].storedLength, 18u);

    // Grown (sparsely) past 2 GiB of zeros: the player reads its blocks 1 to 6
    // as before; the editor reads its card, then stops at the first bad record.
    std::filesystem::resize_file(path, (std::uintmax_t(3) << 30));
    ModuleLoad p = loadModuleFile(path, ModuleReader::Player);
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.cardOffset, blocks);
    EXPECT_EQ(readCardText(path, p.cardOffset, 3, 1).text, "Reinforcements");
    e = loadModuleFile(path, ModuleReader::Editor);
    ASSERT_TRUE(e.ok);
    EXPECT_EQ(e.module.decks[3].cards[1].text, "Reinforcements");
    EXPECT_EQ(e.notices, (std::vector<Notice>{{editormsg::kCardDataError, {}}}));

    // Cut inside the card record: the editor says so; a file cut inside
    // block 6 is refused as before.
    std::filesystem::resize_file(path, blocks + cards - 1);
    EXPECT_EQ(loadModuleFile(path, ModuleReader::Editor).notices,
              (std::vector<Notice>{{editormsg::kCardDataError, {}}}));
    std::filesystem::resize_file(path, blocks - 1);
    EXPECT_FALSE(loadModuleFile(path, ModuleReader::Player).ok);
    EXPECT_FALSE(loadModuleFile(path, ModuleReader::Editor).ok);

    // A file that cannot be opened: the editor's message 4; the player shows
    // nothing itself, its start-up reports the failed load.
    EXPECT_TRUE(loadModuleFile(path + ".missing", ModuleReader::Player).notices.empty());
    EXPECT_FALSE(loadModuleFile(path + ".missing", ModuleReader::Player).ok);
    EXPECT_TRUE(loadModuleFile(folder.path().string(), ModuleReader::Player).notices.empty());
}

TEST(ModuleFile, CardTextsFromTheFileByDeckAndNumber) {
    const test::TempFolder folder("qmx_module_test");
    const std::string path = (folder / "Cards.qm4").string();
    Module m = Module::createEmpty(20, 20, GridOrientation::RowsAligned, 33);
    m.decks[2].cardCount = 2;
    m.decks[2].cards[1] = {0, ""};
    m.decks[2].cards[2] = {1, "Ambush!\r\nPlay before combat."};
    m.decks[5].cardCount = 1;
    m.decks[5].cards[1] = {1, std::string(1064, 'z')};
    FixedClock clock;
    ASSERT_TRUE(saveModuleFile(path, m, clock));
    ModuleLoad l = loadModuleFile(path, ModuleReader::Player);
    ASSERT_TRUE(l.ok);
    EXPECT_EQ(readCardText(path, l.cardOffset, 2, 2).text, "Ambush!\r\nPlay before combat.");
    EXPECT_EQ(readCardText(path, l.cardOffset, 5, 1).text, std::string(1064, 'z'));
    EXPECT_EQ(readCardText(path, l.cardOffset, 2, 1).status, CardLookup::NotFound);  // never stored
}

TEST(FileIo, ExtensionAndNameRules) {
    EXPECT_EQ(forceExtension("game.qms", "qm4"), "game.qm4");
    EXPECT_EQ(forceExtension("game.QM4", "qm4"), "game.QM4");
    EXPECT_EQ(forceExtension("game", "qm4"), "game.qm4");
    EXPECT_EQ(forceExtension("ga.me.x", "qm4"), "ga.me.x.qm4");
    EXPECT_EQ(replaceLastThree("turn.qm4", "PNG"), "turn.PNG");
    EXPECT_EQ(replaceLastThree("turn.qm4", "BAK"), "turn.BAK");
    EXPECT_EQ(replaceLastThree("map.x", "PNG"), "maPNG");
}
