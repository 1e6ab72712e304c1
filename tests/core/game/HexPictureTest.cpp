#include <gtest/gtest.h>

#include <initializer_list>

#include "core/game/HexPicture.h"
#include "core/game/Visibility.h"

using namespace qmx;

namespace {

// A 10 x 8 module of 40 units; every unit starts off the map.
struct Board {
    Module module = Module::createEmpty(10, 8, GridOrientation::RowsAligned, 40);
    GameState state{module};

    Board() {
        state.setStackHead(1, 1, 0);
        for (int u = 1; u <= state.unitCount(); ++u) {
            state.unit(u) = UnitState{};
            state.unit(u).column = 0;
            state.unit(u).row = 0;
        }
    }
    // Chains the units on the hex in the order given.
    void stack(Hex h, std::initializer_list<int> units) {
        int previous = 0;
        for (int u : units) {
            UnitState& s = state.unit(u);
            s.column = static_cast<std::uint8_t>(h.column);
            s.row = static_cast<std::uint8_t>(h.row);
            s.stackLink = 0;
            if (previous == 0) {
                state.setStackHead(h.column, h.row, static_cast<std::uint16_t>(u));
            } else {
                state.unit(previous).stackLink = static_cast<std::uint16_t>(u);
            }
            previous = u;
        }
    }
    void hide(int u, int slot, bool idOnly = false) {
        state.unit(u).setHiddenBy(static_cast<std::uint8_t>(slot));
        if (idOnly) state.unit(u).set(UnitFlags::kIdHidden);
    }
};

}  // namespace

TEST(Visibility, WhoSeesAUnit) {
    Board b;
    b.state.players[0].kind = SlotKind::Player;
    b.state.players[1].kind = SlotKind::Player;
    b.state.players[2].kind = SlotKind::Player;
    UnitState& u = b.state.unit(1);
    b.state.currentSlot = 2;
    EXPECT_TRUE(visibleToMe(b.state, u));  // nobody hides it
    b.hide(1, 1);
    EXPECT_FALSE(visibleToMe(b.state, u));  // hidden by another player
    b.state.currentSlot = 1;
    EXPECT_TRUE(visibleToMe(b.state, u));  // hidden by me
    b.state.currentSlot = kObserver;
    EXPECT_FALSE(visibleToMe(b.state, u));
    u.set(UnitFlags::kIdHidden);
    EXPECT_TRUE(visibleToMe(b.state, u));  // only the identity is hidden
    EXPECT_TRUE(identityConcealedFromMe(b.state, u));

    // the game master sees hidden units, but not hidden identities
    b.state.players[0].kind = SlotKind::GameMaster;
    b.state.currentSlot = 0;
    u.clear(UnitFlags::kIdHidden);
    EXPECT_TRUE(visibleToMe(b.state, u));
    u.set(UnitFlags::kIdHidden);
    EXPECT_TRUE(identityConcealedFromMe(b.state, u));
    // the owner sees its identity
    b.state.currentSlot = 1;
    EXPECT_FALSE(identityConcealedFromMe(b.state, u));
    // IdHidden alone, with nobody hiding, conceals nothing
    u.setHiddenBy(kNotHidden);
    b.state.currentSlot = 2;
    EXPECT_FALSE(identityConcealedFromMe(b.state, u));
    // an observer is never the game master, whatever slot 0 is
    b.state.currentSlot = kObserver;
    EXPECT_FALSE(isGameMasterHere(b.state));
}

TEST(HexPicture, TopUnitAndStackMarker) {
    Board b;
    b.state.currentSlot = 0;
    EXPECT_EQ(hexPicture(b.state, {2, 2}, false), (HexPicture{0, false}));  // empty hex

    b.stack({2, 2}, {5});
    EXPECT_EQ(hexPicture(b.state, {2, 2}, false), (HexPicture{5, false}));
    b.stack({2, 2}, {5, 6});
    EXPECT_EQ(hexPicture(b.state, {2, 2}, false), (HexPicture{5, true}));

    // one visible unit and any number of invisible ones: no marker
    b.stack({3, 3}, {7, 8, 9, 10});
    b.hide(7, 1);
    b.hide(9, 1);
    b.hide(10, 1);
    EXPECT_EQ(hexPicture(b.state, {3, 3}, false), (HexPicture{8, false}));
    // the middle unit hidden: first and third visible
    b.stack({4, 4}, {11, 12, 13});
    b.hide(12, 1);
    EXPECT_EQ(hexPicture(b.state, {4, 4}, false), (HexPicture{11, true}));
    // all hidden: bare map, and the stack stays
    b.stack({5, 5}, {14, 15});
    b.hide(14, 1);
    b.hide(15, 1);
    EXPECT_EQ(hexPicture(b.state, {5, 5}, false), (HexPicture{0, false}));
    EXPECT_EQ(b.state.stackHead(5, 5), 14);
    // an identity-hidden unit of another player is seen
    b.hide(15, 1, true);
    EXPECT_EQ(hexPicture(b.state, {5, 5}, false), (HexPicture{15, false}));
    // the game master sees all
    b.state.players[0].kind = SlotKind::GameMaster;
    EXPECT_EQ(hexPicture(b.state, {5, 5}, false), (HexPicture{14, true}));
}

TEST(HexPicture, CombatHighlightDrawsMarkedUnitsOnly) {
    Board b;
    b.stack({2, 2}, {1, 2, 3});
    b.state.unit(2).set(UnitFlags::kVisitMark);
    EXPECT_EQ(hexPicture(b.state, {2, 2}, true), (HexPicture{2, false}));
    b.state.unit(3).set(UnitFlags::kVisitMark);
    b.hide(3, 4);  // marked units are drawn whoever hides them
    EXPECT_EQ(hexPicture(b.state, {2, 2}, true), (HexPicture{2, true}));
    EXPECT_EQ(hexPicture(b.state, {2, 2}, false), (HexPicture{1, true}));
}

TEST(HexPicture, DamagedChainsEnd) {
    Board b;
    b.stack({2, 2}, {1, 2});
    b.hide(1, 3);
    b.hide(2, 3);
    b.state.unit(2).stackLink = 1;  // a loop of hidden units
    EXPECT_EQ(hexPicture(b.state, {2, 2}, false), (HexPicture{0, false}));
    b.state.unit(2).stackLink = 60000;  // beyond the unit count
    EXPECT_EQ(hexPicture(b.state, {2, 2}, false), (HexPicture{0, false}));
    b.state.setStackHead(3, 3, 41);  // head beyond the unit count
    EXPECT_EQ(hexPicture(b.state, {3, 3}, false), (HexPicture{0, false}));
    // a hex outside the table
    EXPECT_EQ(hexPicture(b.state, {200, 200}, false), (HexPicture{0, false}));
}

TEST(HexPicture, ShownStepAndImage) {
    Board b;
    UnitDefinition& d = b.module.units[3];
    d.stepImage = {7, 8, 9, 10, 0, 0};  // steps 0..3 have pictures
    b.stack({2, 2}, {3});
    UnitState& u = b.state.unit(3);
    u.step = 3;
    EXPECT_EQ(shownStep(b.module, b.state, 3), 3);
    EXPECT_EQ(shownImage(b.module, b.state, 3), 10);
    u.step = 5;  // no picture for 5 or 4: the highest existing step below
    EXPECT_EQ(shownStep(b.module, b.state, 3), 3);
    u.step = 200;  // damaged
    EXPECT_EQ(shownStep(b.module, b.state, 3), 3);
    u.step = 2;
    b.state.players[0].kind = SlotKind::GameMaster;
    b.state.players[1].kind = SlotKind::Player;
    b.hide(3, 1, true);
    b.state.currentSlot = 0;  // the game master sees step 0
    EXPECT_EQ(shownImage(b.module, b.state, 3), 7);
    b.state.currentSlot = 1;  // the owner sees the real step
    EXPECT_EQ(shownImage(b.module, b.state, 3), 9);
    EXPECT_EQ(shownImage(b.module, b.state, 0), 0);
    EXPECT_EQ(shownImage(b.module, b.state, 41), 0);
}

TEST(HexPicture, UnitLayoutAtEveryZoom) {
    UnitLayout l = unitLayout({100, 50}, 1.0f, kFacingShown | 4);
    EXPECT_EQ(l.marker, (PixelRect{102, 52, 41, 41}));
    EXPECT_EQ(l.image, (PixelRect{100, 50, 40, 40}));
    EXPECT_EQ(l.facingDot, (PixelPoint{133, 83}));
    EXPECT_EQ(l.centre, (PixelPoint{120, 70}));

    l = unitLayout({100, 50}, 0.5f, kFacingShown | kFacingCorner | 8);
    EXPECT_EQ(l.marker, (PixelRect{101, 51, 20, 20}));
    EXPECT_EQ(l.image, (PixelRect{100, 50, 20, 20}));
    EXPECT_EQ(l.facingDot, (PixelPoint{110, 68}));
    EXPECT_EQ(l.centre, (PixelPoint{110, 60}));

    l = unitLayout({100, 50}, 2.0f, 4);  // indicator not shown
    EXPECT_EQ(l.marker, (PixelRect{104, 54, 82, 82}));
    EXPECT_EQ(l.image, (PixelRect{100, 50, 80, 80}));
    EXPECT_FALSE(l.facingDot.has_value());

    l = unitLayout({0, 0}, 0.75f, kFacingShown);  // shown, no direction yet
    EXPECT_EQ(l.marker, (PixelRect{1, 1, 31, 31}));
    EXPECT_EQ(l.image, (PixelRect{0, 0, 30, 30}));
    EXPECT_FALSE(l.facingDot.has_value());
}

TEST(HexPicture, CellBox) {
    const HexGeometry g(GridOrientation::RowsAligned, 10, 8);
    CellBox box = cellBox(g, {2, 2}, 1.0f, {0, 0});
    EXPECT_EQ(box.source, (PixelRect{49, 41, 60, 60}));
    EXPECT_EQ(box.target, (PixelRect{49, 41, 60, 60}));
    box = cellBox(g, {2, 2}, 1.5f, {10, 20});
    EXPECT_EQ(box.target, (PixelRect{58, 31, 90, 90}));
}

// Every hex whose unit picture reaches into an area is in the range the
// painter walks (checked against all hexes of the map).
TEST(HexPicture, HexRangeCoversEveryPictureInTheArea) {
    for (GridOrientation o : {GridOrientation::RowsAligned, GridOrientation::ColumnsAligned}) {
        const HexGeometry g(o, 30, 25);
        for (float z : kZoomFactors) {
            for (PixelRect area : {PixelRect{0, 0, 300, 200}, PixelRect{137, 91, 13, 7},
                                   PixelRect{400, 350, 1, 1}, PixelRect{-50, -50, 60, 60}}) {
                const PixelPoint scroll{57, 33};
                const HexRange range = hexesTouching(g, area, z, scroll);
                for (int c = 1; c <= g.columns(); ++c) {
                    for (int r = 1; r <= g.rows(); ++r) {
                        const PixelRect p =
                            unitPictureArea(g.unitWindowPosition({c, r}, z, scroll), z);
                        const bool touches = p.x < area.x + area.width && area.x < p.x + p.width &&
                                             p.y < area.y + area.height && area.y < p.y + p.height;
                        if (!touches) continue;
                        EXPECT_TRUE(c >= range.firstColumn && c <= range.lastColumn &&
                                    r >= range.firstRow && r <= range.lastRow)
                            << "hex " << c << "," << r << " zoom " << z;
                    }
                }
            }
        }
    }
}
