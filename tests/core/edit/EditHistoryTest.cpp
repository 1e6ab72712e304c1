// The edit model: one history over every change, with undo, redo, merging of
// typing and the saved state.
#include <gtest/gtest.h>

#include "core/edit/EditHistory.h"
#include "core/edit/ModuleEdits.h"

using namespace qmx;

namespace {

Module smallModule() {
    return Module::createEmpty(20, 20, GridOrientation::RowsAligned, 40);
}

UnitDefinition named(const Module& m, int unit, const std::string& name) {
    UnitDefinition u = m.units[unit];
    u.name = name;
    return u;
}

}  // namespace

TEST(EditHistory, UndoAndRedoWalkEveryStep) {
    Module m = smallModule();
    EditHistory h;
    h.apply(editUnit(m, 3, named(m, 3, "Guards"), "Unit Name"));
    h.apply(editAuthorNotes(m, "Notes"));
    EXPECT_EQ(m.units[3].name, "Guards");
    EXPECT_EQ(m.authorNotes, "Notes");
    EXPECT_EQ(h.undoLabel(), "Module Information");

    ASSERT_TRUE(h.undo());
    EXPECT_EQ(m.authorNotes, "");
    EXPECT_EQ(m.units[3].name, "Guards");
    ASSERT_TRUE(h.undo());
    EXPECT_EQ(m.units[3].name, "");
    EXPECT_FALSE(h.undo());
    EXPECT_EQ(h.redoLabel(), "Unit Name");

    ASSERT_TRUE(h.redo());
    ASSERT_TRUE(h.redo());
    EXPECT_FALSE(h.redo());
    EXPECT_EQ(m.units[3].name, "Guards");
    EXPECT_EQ(m.authorNotes, "Notes");
}

TEST(EditHistory, TypingMergesUntilTheStepIsClosed) {
    Module m = smallModule();
    EditHistory h;
    for (const char* typed : {"G", "Gu", "Gua"})
        h.apply(editUnit(m, 1, named(m, 1, typed), "Unit Name", "unit 1 name"));
    EXPECT_EQ(h.size(), 1u);
    h.closeStep();
    h.apply(editUnit(m, 1, named(m, 1, "Guard"), "Unit Name", "unit 1 name"));
    EXPECT_EQ(h.size(), 2u);
    // Another field never merges.
    h.apply(editUnit(m, 2, named(m, 2, "X"), "Unit Name", "unit 2 name"));
    EXPECT_EQ(h.size(), 3u);

    h.undo();
    h.undo();
    EXPECT_EQ(m.units[1].name, "Gua");
    h.undo();
    EXPECT_EQ(m.units[1].name, "");
}

TEST(EditHistory, NoOpsAreDroppedAndANewStepCutsTheRedoBranch) {
    Module m = smallModule();
    EditHistory h;
    h.apply(editAuthorNotes(m, ""));
    EXPECT_EQ(h.size(), 0u);
    h.apply(editAuthorNotes(m, "a"));
    h.apply(editAuthorNotes(m, "b"));
    h.undo();
    h.apply(editValueName(m, 0, "Att"));
    EXPECT_FALSE(h.canRedo());
    EXPECT_EQ(h.size(), 2u);
    EXPECT_EQ(m.authorNotes, "a");
}

TEST(EditHistory, CleanMarkFollowsUndoAndIsLostWithItsBranch) {
    Module m = smallModule();
    EditHistory h;
    EXPECT_TRUE(h.isClean());
    h.apply(editAuthorNotes(m, "a"));
    EXPECT_FALSE(h.isClean());
    h.markClean();
    EXPECT_TRUE(h.isClean());
    // Typing after the save does not merge into the saved step.
    h.apply(editValueName(m, 0, "A"));
    h.apply(editValueName(m, 0, "At"));
    EXPECT_EQ(h.size(), 2u);
    EXPECT_FALSE(h.isClean());
    h.undo();
    EXPECT_TRUE(h.isClean());
    h.undo();
    EXPECT_FALSE(h.isClean());
    // A new branch from before the save: the saved state is gone for good.
    h.apply(editAuthorNotes(m, "c"));
    h.undo();
    EXPECT_FALSE(h.isClean());
}

TEST(EditHistory, UnitTableResizeIsUndoneWhole) {
    Module m = smallModule();
    m.units[40].name = "Last";
    EditHistory h;
    UnitDefinition fresh;
    fresh.stepImage.fill(1);
    h.apply(resizeUnitTable(m, 45, fresh));
    EXPECT_EQ(m.unitCount, 45);
    ASSERT_EQ(m.units.size(), 46u);
    EXPECT_EQ(m.units[45].stepImage[5], 1);
    EXPECT_EQ(m.units[40].name, "Last");
    // A unit edit after the resize is undone first; then the table shrinks back.
    h.apply(editUnit(m, 44, named(m, 44, "New"), "Unit Name"));
    h.undo();
    h.undo();
    EXPECT_EQ(m.unitCount, 40);
    EXPECT_EQ(m.units.size(), 41u);
    h.redo();
    h.redo();
    EXPECT_EQ(m.units[44].name, "New");
}

TEST(EditHistory, CompoundStepUndoesItsPartsTogether) {
    Module m = smallModule();
    EditHistory h;
    auto step = std::make_unique<CompoundEdit>("Paste Unit");
    step->add(editUnit(m, 1, named(m, 1, "A"), "Unit Name"));
    step->add(editAuthorNotes(m, "N"));
    h.apply(std::move(step));
    EXPECT_EQ(m.units[1].name, "A");
    h.undo();
    EXPECT_EQ(m.units[1].name, "");
    EXPECT_EQ(m.authorNotes, "");
    h.redo();
    EXPECT_EQ(m.authorNotes, "N");
}

namespace {

// An action that keeps `cost` bytes alive and counts in `value`.
class Costly : public EditAction {
public:
    Costly(int& value, std::size_t cost) : m_value(value), m_cost(cost) {}
    void redo() override { ++m_value; }
    void undo() override { --m_value; }
    std::string label() const override { return "Load Graphics"; }
    std::size_t cost() const override { return m_cost; }

private:
    int& m_value;
    std::size_t m_cost;
};

}  // namespace

TEST(EditHistory, OldStepsAreForgottenWhenTheyKeepTooMuchAlive) {
    int value = 0;
    EditHistory h;
    h.setCostLimit(250);
    h.apply(std::make_unique<Costly>(value, 100));
    h.markClean();
    h.apply(std::make_unique<Costly>(value, 100));
    EXPECT_EQ(h.size(), 2u);
    h.apply(std::make_unique<Costly>(value, 100));  // 300 > 250: the first goes
    EXPECT_EQ(h.size(), 2u);
    EXPECT_EQ(value, 3);
    EXPECT_FALSE(h.isClean());
    EXPECT_TRUE(h.undo());
    EXPECT_TRUE(h.undo());
    EXPECT_FALSE(h.undo());
    EXPECT_EQ(value, 1);
    // The oldest state left is the one saved after the first step.
    EXPECT_TRUE(h.isClean());

    // Saved before the first step: once that step is forgotten, no undo
    // reaches the saved state again.
    EditHistory fresh;
    fresh.setCostLimit(150);
    fresh.apply(std::make_unique<Costly>(value, 100));
    fresh.apply(std::make_unique<Costly>(value, 100));
    while (fresh.undo()) {
    }
    EXPECT_FALSE(fresh.isClean());
    // One step dearer than the limit still stays, so it can be undone.
    h.apply(std::make_unique<Costly>(value, 1000));
    EXPECT_EQ(h.size(), 1u);
    EXPECT_TRUE(h.canUndo());
}
