#pragma once
// The rules of "Define Units" and "Add Units": the current unit, its name,
// values and step images, the "Used" boxes, the image picker, Copy and Paste,
// the value names and total modes, and growing the unit table. Every change
// goes to the module at once, as an action of the edit history.

#include <optional>
#include <string>

#include "core/edit/EditHistory.h"
#include "core/edit/EditorPrompts.h"
#include "core/module/Module.h"
#include "core/module/UnitImageSheet.h"

namespace qmx {

constexpr int kMinUnitValue = -99;
constexpr int kMaxUnitValue = 99;
constexpr int kPickerColumns = 7;
constexpr int kPickerRows = 3;
constexpr int kPickerCount = kPickerColumns * kPickerRows;
// Where the picker lies in the dialog and how far apart its cells are.
constexpr PixelRect kPickerRect{278, 27, 315, 132};
constexpr int kPickerStepX = 45;
constexpr int kPickerStepY = 44;

inline constexpr const char* kPickerCaption =
    "Step 1=LMB,2=RMB,3=Shift-LMB,4=Shift RMB,5=Ctrl-LMB,6=Ctrl-RMB";
inline constexpr const char* kTooManyUnits = "Too many units.  Number truncated to 65,000.";
inline constexpr const char* kCautionTitle = "Caution";

// The question when clearing "Used" of step `step` (2..5) would drop the
// steps after it.
std::string removeStepsQuestion(int step);
// "There are currently N units in the module.  How many more do you wish to add?"
std::string addUnitsQuestion(int unitCount);

// The label of a total-mode button: "Min", "Max", or "Total" (for Total and NotComputed).
const char* totalModeLabel(TotalMode mode);

// A stored value byte as the editor shows it (-128..127).
int shownValue(std::uint8_t stored);

// The unit's line in the list: number, name, step 1's six values and step
// 1's image, separated by tabs.
std::string unitListLine(const Module& module, int unit);

// Which step a picker click gives the image to: left 1, right 2, Shift+left
// 3, Shift+right 4, Ctrl+left 5, Ctrl+right 6.
int stepForClick(bool rightButton, bool shift, bool ctrl);

// The picker cell under (x, y) of the dialog, 0..20; nothing outside.
std::optional<int> pickerCellAt(int x, int y);
// Top-left corner of picker cell i.
PixelPoint pickerCellCorner(int i);

// Adds `more` units (Add Units): at most 65,000 in all, with the "Caution"
// box when the number had to be cut. New units have an empty name, image 1
// on all six steps and every value 0. Returns the new unit count.
int addUnits(Module& module, EditHistory& history, EditorPrompts& prompts, int more);

class UnitEditor {
public:
    // Opens on unit 1. `firstShownImage` is the editor's: kept between openings.
    UnitEditor(Module& module, EditHistory& history, EditorPrompts& prompts, int& firstShownImage);

    int currentUnit() const { return m_unit; }  // 1-based
    const UnitDefinition& unit() const { return m_module.units[m_unit]; }
    const Module& module() const { return m_module; }

    // Makes `unit` current (clamped to the table).
    void select(int unit);
    // After undo or redo: keeps the current unit and the picker inside the tables.
    void refresh();

    void setName(const std::string& name);
    void setValueName(int value, const std::string& name);  // value 0..5
    // Advances the total mode of `value` and returns the new one.
    TotalMode pressTotalMode(int value);
    // Value `value` (0..5) of step `step` (0..5), clamped to -99..99.
    void setValue(int step, int value, int number);

    // Whether the "Used" box of step `step` (1..5, counted from 0) is checked.
    bool used(int step) const { return unit().stepExists(step); }
    // The author (un)checks "Used" of step `step`; returns what the box shows now.
    bool setUsed(int step, bool on);

    // --- image picker ---------------------------------------------------------
    int firstShownImage() const { return m_first; }
    int capacity() const { return m_module.imageCapacity(); }
    // Images shown: first shown image .. at most the capacity, at most 21.
    int shownCount() const;
    // One spin step moves the picker by a column of three images.
    void spin(int steps);
    // A click in the dialog; true when a step took the image.
    bool click(int x, int y, bool rightButton, bool shift, bool ctrl);
    int pickedImage() const { return m_picked; }

    // --- buttons --------------------------------------------------------------
    void copy() { m_copySource = m_unit; }
    int copySource() const { return m_copySource; }
    bool paste();
    bool copyToNext();
    bool selectNext();

private:
    void change(UnitDefinition after, const std::string& label, const std::string& key = {});
    void clampFirst();

    Module& m_module;
    EditHistory& m_history;
    EditorPrompts& m_prompts;
    int& m_first;
    int m_unit = 1;
    int m_copySource = 0;
    int m_picked = 0;
};

}  // namespace qmx
