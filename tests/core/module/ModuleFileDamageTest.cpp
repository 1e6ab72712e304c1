// Damaged modules found by fuzzing the readers, each rebuilt here by hand
// from the layout tables.

#include <gtest/gtest.h>

#include "core/module/ModuleFile.h"

using namespace qmx;

namespace {

// A layout-150 module of 2 x 2 hexes that stores no units (the count is
// raised to 33 and nothing is read), its packed block complete.
Bytes packed150WithoutUnits() {
    Bytes b = {0, 0, 0, 2, 2, 0, 150};
    b.resize(510, 0);           // notes and the three reserved bytes
    b.insert(b.end(), {0, 0});  // no units stored
    b.resize(536, 0);           // value names
    b.insert(b.end(), {0, 166, 4, 10, 99, 99, 5, 90, 0});
    b.insert(b.end(), 15, 0xFF);
    Bytes block(560, 0);  // card counts, then four hexes of 19 + 17 bytes
    for (int i = 0; i < 4; ++i) block[20 + 36 * i + 2] = static_cast<std::uint8_t>('A' + i);
    b.insert(b.end(), block.begin(), block.end());
    b.insert(b.end(), 400, 0);  // deck names
    return b;
}

}  // namespace

TEST(ModuleFileDamage, PackedBlockCutShortBeforeTheUnits) {
    const Bytes whole = packed150WithoutUnits();
    ModuleLoad ok = parseModule(whole, ModuleReader::Editor);
    ASSERT_TRUE(ok.ok);
    EXPECT_EQ(ok.module.unitCount, 33);
    EXPECT_EQ(ok.module.hex(2, 2).name, "D");
    EXPECT_EQ(ok.cardOffset, whole.size());

    // The data ends inside the last packed block, after its last hex: the
    // units and deck names would begin past the end of the data.
    for (std::size_t cut : {560u + 200u, 560u + 560u - 1u}) {
        const Bytes part(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(cut));
        ModuleLoad l = parseModule(part, ModuleReader::Editor);
        EXPECT_FALSE(l.ok) << cut;
        ASSERT_EQ(l.notices.size(), 1u) << cut;
        EXPECT_NE(l.notices[0].text.find("damaged"), std::string::npos);
    }
    // Complete blocks but no deck names.
    const Bytes noNames(whole.begin(), whole.end() - 1);
    EXPECT_FALSE(parseModule(noNames, ModuleReader::Editor).ok);
}
