#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "core/map/CoordinateCalibration.h"
#include "core/module/MessageTable.h"

using namespace qmx;

namespace {

constexpr GridOrientation kRows = GridOrientation::RowsAligned;
constexpr GridOrientation kColumns = GridOrientation::ColumnsAligned;

const std::string kPressOk = ".  Press OK, then make your selection.";

// Answers the dialog from a queue and records everything shown.
class ScriptedPrompts : public CoordinatePrompts {
public:
    std::deque<int> systems;
    std::vector<int> messages;
    std::vector<std::pair<std::string, std::string>> texts;
    int dialogs = 0;

    void showMessage(int number) override { messages.push_back(number); }
    void showText(std::string_view title, const std::string& text) override {
        texts.emplace_back(std::string(title), text);
    }
    int chooseSystem(GridOrientation) override {
        ++dialogs;
        if (systems.empty()) return 0;
        const int s = systems.front();
        systems.pop_front();
        return s;
    }
};

Module names(GridOrientation o) {
    Module m = Module::createEmpty(8, 8, o, 33);
    return m;
}

}  // namespace

TEST(CoordinateCalibration, CancelChangesNothing) {
    Module m = names(kRows);
    const Module before = m;
    CoordinateCalibration cal;
    ScriptedPrompts p;
    cal.start(m.orientation, p);
    EXPECT_EQ(p.dialogs, 1);
    EXPECT_EQ(cal.state(), CoordinateCalibration::Idle);
    EXPECT_FALSE(cal.pending());
    EXPECT_EQ(cal.system(), 0);
    EXPECT_TRUE(p.texts.empty());
    EXPECT_EQ(cal.doubleClick(m, 3, 3, p), CalibrationClick::NotCalibrating);
    for (std::size_t i = 0; i < m.hexes.size(); ++i)
        EXPECT_EQ(m.hexes[i].name, before.hexes[i].name);
}

TEST(CoordinateCalibration, OneStepSystemNamesOnTheDoubleClick) {
    Module m = names(kRows);
    CoordinateCalibration cal;
    ScriptedPrompts p;
    p.systems = {1};
    cal.start(m.orientation, p);
    EXPECT_EQ(cal.state(), CoordinateCalibration::AwaitOrigin);
    EXPECT_TRUE(cal.pending());
    ASSERT_EQ(p.texts.size(), 1u);
    EXPECT_EQ(p.texts[0].first, "Coordinates");
    EXPECT_EQ(p.texts[0].second, "Now double-click on hex A1" + kPressOk);

    // Refused while pending: Coordinates itself and the guarded commands.
    cal.start(m.orientation, p);
    EXPECT_EQ(p.dialogs, 1);
    EXPECT_TRUE(cal.refuses(p));
    EXPECT_EQ(p.messages, (std::vector<int>{editormsg::kFinishCoordinates, 16}));

    EXPECT_EQ(cal.doubleClick(m, 0, 3, p), CalibrationClick::Ignored);
    std::vector<std::pair<int, int>> written;
    EXPECT_EQ(
        cal.doubleClick(m, 4, 2, p,
                        [&](int c, int r, const std::string&) { written.emplace_back(c, r); }),
        CalibrationClick::Named);
    EXPECT_EQ(m.hex(4, 2).name, "A1");
    EXPECT_EQ(m.hex(3, 2).name, "A2");
    EXPECT_EQ(m.hex(5, 2).name, "0502");  // right of the origin: kept
    EXPECT_EQ(written.size(), 4u * 7u);   // rows 2..8, columns 1..4
    EXPECT_EQ(cal.state(), CoordinateCalibration::Idle);
    EXPECT_FALSE(cal.pending());
    EXPECT_FALSE(cal.refuses(p));
    EXPECT_EQ(p.texts.size(), 1u);  // no correction box
}

TEST(CoordinateCalibration, CorrectionBoxFollowsTheNames) {
    Module m = names(kColumns);
    CoordinateCalibration cal;
    ScriptedPrompts p;
    p.systems = {16};
    cal.start(m.orientation, p);
    EXPECT_EQ(p.texts.back().second, "Now double-click on Hex 0101" + kPressOk);
    cal.doubleClick(m, 4, 1, p);
    EXPECT_EQ(m.hex(4, 2).name, "0101");
    ASSERT_EQ(p.texts.size(), 2u);
    EXPECT_EQ(p.texts[1],
              (std::pair<std::string, std::string>{"Error", "Hex 0101 moved one hex down."}));
}

TEST(CoordinateCalibration, SystemNineteenTakesRowAFirst) {
    Module m = names(kRows);
    for (auto& h : m.hexes) h.name = ".";
    CoordinateCalibration cal;
    ScriptedPrompts p;
    p.systems = {19};
    cal.start(m.orientation, p);
    EXPECT_EQ(cal.state(), CoordinateCalibration::AwaitRowA);
    EXPECT_TRUE(cal.pending());
    EXPECT_EQ(p.texts.back().second, "Now Double-click on any hex in row A." + kPressOk);

    // Row A: the command runs again as system 18, without the dialog.
    EXPECT_EQ(cal.doubleClick(m, 2, 5, p), CalibrationClick::RowARecorded);
    EXPECT_EQ(p.dialogs, 1);
    EXPECT_EQ(cal.system(), 18);
    EXPECT_EQ(cal.rowAIndex(), 5);
    EXPECT_EQ(cal.state(), CoordinateCalibration::AwaitOrigin);
    EXPECT_EQ(p.texts.back().second,
              "The right side of the map should have only two hexes which have a coordinate of "
              "__1.  Double-Click on the right-most of those two. Be sure you use the physical "
              "edge of the play area, which may not be the edge of your map.  Row A MUST be the "
              "top row of the QMX window" +
                  kPressOk);
    EXPECT_EQ(m.hex(2, 5).name, ".");

    EXPECT_EQ(cal.doubleClick(m, 3, 2, p), CalibrationClick::Named);
    EXPECT_EQ(m.hex(3, 5).name, "A2");  // floor((5 - 2) / 2) + 1
    EXPECT_EQ(m.hex(3, 4).name, "B2");
    EXPECT_EQ(m.hex(3, 3).name, "C1");
    EXPECT_EQ(m.hex(3, 6).name, ".");
    EXPECT_EQ(cal.rowAIndex(), 0);
    EXPECT_FALSE(cal.pending());
}

TEST(CoordinateCalibration, SystemNineteenOnColumnsIgnoresRowA) {
    Module m = names(kColumns);
    CoordinateCalibration cal;
    ScriptedPrompts p;
    p.systems = {19};
    cal.start(m.orientation, p);
    EXPECT_EQ(cal.state(), CoordinateCalibration::AwaitRowA);
    cal.doubleClick(m, 1, 7, p);
    EXPECT_EQ(p.texts.back().second, "Now double-click on the top-most hex of row A" + kPressOk);
    cal.doubleClick(m, 3, 3, p);
    EXPECT_EQ(m.hex(3, 3).name, "A2");
    EXPECT_EQ(m.hex(1, 3).name, "C1");
}

TEST(CoordinateCalibration, InstructionTexts) {
    const std::string side =
        " of the map should have only two hexes which have a coordinate of __1.  "
        "Double-Click on the ";
    const std::string rest =
        "-most of those two. Be sure you use the physical edge of the play area, which may not be "
        "the edge of your map.  Row A MUST be the top row of the QMX window" +
        kPressOk;
    EXPECT_EQ(coordinateInstruction(kRows, 2, 0), "The right side" + side + "right" + rest);
    EXPECT_EQ(coordinateInstruction(kRows, 3, 0), "The left side" + side + "left" + rest);
    EXPECT_EQ(coordinateInstruction(kRows, 18, 0), kPressOk);
    EXPECT_EQ(coordinateInstruction(kRows, 15, 0), kPressOk);
    EXPECT_EQ(coordinateInstruction(kColumns, 2, 0),
              "Now double-click on the top-most hex of row A" + kPressOk);
    EXPECT_EQ(coordinateInstruction(kColumns, 18, 4),
              "Now double-click on the top-most hex of row A" + kPressOk);
    EXPECT_EQ(coordinateInstruction(kColumns, 3, 0),
              "Now double-click on the bottom-most hex of row A" + kPressOk);
    EXPECT_EQ(coordinateInstruction(kColumns, 15, 0),
              "Now double-click on the bottom-most hex of row A" + kPressOk);
    for (int s : {1, 7, 8, 9, 12, 13, 14})
        EXPECT_EQ(coordinateInstruction(kRows, s, 0), "Now double-click on hex A1" + kPressOk);
    for (int s : {4, 5, 6, 10, 11, 16, 17})
        EXPECT_EQ(coordinateInstruction(kColumns, s, 0), "Now double-click on Hex 0101" + kPressOk);
    EXPECT_EQ(coordinateInstruction(kColumns, 19, 0),
              "Now Double-click on any hex in row A." + kPressOk);
}

TEST(CoordinateCalibration, ATypedNumberAboveNineteenNamesNothing) {
    Module m = names(kRows);
    const Module before = m;
    CoordinateCalibration cal;
    ScriptedPrompts p;
    p.systems = {42};
    cal.start(m.orientation, p);
    EXPECT_EQ(p.texts.back().second, kPressOk);
    EXPECT_EQ(cal.doubleClick(m, 2, 2, p), CalibrationClick::Named);
    for (std::size_t i = 0; i < m.hexes.size(); ++i)
        EXPECT_EQ(m.hexes[i].name, before.hexes[i].name);
    EXPECT_FALSE(cal.pending());
}
