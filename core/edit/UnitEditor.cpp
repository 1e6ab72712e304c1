#include "core/edit/UnitEditor.h"

#include <algorithm>

#include "core/edit/ModuleEdits.h"
#include "core/module/MessageTable.h"

namespace qmx {

std::string removeStepsQuestion(int step) {
    const char* what = "";
    switch (step) {
        case 2:
            what = "steps 3-6";
            break;
        case 3:
            what = "steps 4-6";
            break;
        case 4:
            what = "steps 5&6";
            break;
        default:
            what = "step 6";
            break;
    }
    return std::string("This will remove ") + what +
           " as well!  Are you sure you want to continue?";
}

std::string addUnitsQuestion(int unitCount) {
    return "There are currently " + std::to_string(unitCount) +
           " units in the module.  How many more do you wish to add?";
}

const char* totalModeLabel(TotalMode mode) {
    switch (mode) {
        case TotalMode::Lowest:
            return "Min";
        case TotalMode::Highest:
            return "Max";
        default:
            return "Total";
    }
}

int shownValue(std::uint8_t stored) {
    return static_cast<std::int8_t>(stored);
}

std::string unitListLine(const Module& module, int unit) {
    const UnitDefinition& u = module.units[static_cast<std::size_t>(unit)];
    std::string line = std::to_string(unit) + "\t" + u.name;
    for (int v = 0; v < kValueCount; ++v) line += "\t" + std::to_string(shownValue(u.values[0][v]));
    line += "\t" + std::to_string(u.stepImage[0]);
    return line;
}

int stepForClick(bool rightButton, bool shift, bool ctrl) {
    const int base = ctrl ? 5 : shift ? 3 : 1;
    return base + (rightButton ? 1 : 0);
}

std::optional<int> pickerCellAt(int x, int y) {
    const PixelRect& r = kPickerRect;
    if (x < r.x || y < r.y || x >= r.x + r.width || y >= r.y + r.height) return std::nullopt;
    const int column = (x - r.x) / kPickerStepX;
    const int row = (y - r.y) / kPickerStepY;
    if (column >= kPickerColumns || row >= kPickerRows) return std::nullopt;
    return column * kPickerRows + row;
}

PixelPoint pickerCellCorner(int i) {
    return {kPickerRect.x + kPickerStepX * (i / kPickerRows),
            kPickerRect.y + kPickerStepY * (i % kPickerRows)};
}

int addUnits(Module& module, EditHistory& history, EditorPrompts& prompts, int more) {
    if (more <= 0) return module.unitCount;
    int count = module.unitCount;
    if (more >= kMaxUnits + 1 - count) {
        // Fewer than asked for: say how many, and let the author say no.
        const int room = kMaxUnits - count;
        if (room <= 0) {
            prompts.showText(kCautionTitle, kTooManyUnits);
            return module.unitCount;
        }
        if (!prompts.askYesNo(kCautionTitle, std::string(kTooManyUnits) + "\n\n" +
                                                 std::to_string(room) +
                                                 (room == 1 ? " unit" : " units") +
                                                 " will be added. Do you wish to add them?"))
            return module.unitCount;
        count = kMaxUnits;
    } else {
        count += more;
    }
    UnitDefinition fresh;
    fresh.stepImage.fill(1);
    history.apply(resizeUnitTable(module, count, fresh));
    history.closeStep();
    return module.unitCount;
}

UnitEditor::UnitEditor(Module& module, EditHistory& history, EditorPrompts& prompts,
                       int& firstShownImage)
    : m_module(module), m_history(history), m_prompts(prompts), m_first(firstShownImage) {
    clampFirst();
}

void UnitEditor::select(int unit) {
    m_unit = std::clamp(unit, 1, std::max(1, m_module.unitCount));
    m_history.closeStep();
}

void UnitEditor::refresh() {
    select(m_unit);
    if (m_copySource > m_module.unitCount) m_copySource = 0;
    clampFirst();
}

void UnitEditor::change(UnitDefinition after, const std::string& label, const std::string& key) {
    m_history.apply(editUnit(m_module, m_unit, std::move(after), label,
                             key.empty() ? std::string() : "unit " + std::to_string(m_unit) + key));
}

void UnitEditor::setName(const std::string& name) {
    UnitDefinition u = unit();
    u.name = name.substr(0, kUnitNameSize);
    change(std::move(u), "Unit Name", " name");
}

void UnitEditor::setValueName(int value, const std::string& name) {
    if (value < 0 || value >= kValueCount) return;
    m_history.apply(editValueName(m_module, value, name.substr(0, kValueNameSize)));
}

TotalMode UnitEditor::pressTotalMode(int value) {
    const TotalMode next = nextTotalMode(m_module.totalMode(value));
    Module probe;
    probe.valueTotalModes = m_module.valueTotalModes;
    probe.setTotalMode(value, next);
    m_history.apply(editTotalModes(m_module, probe.valueTotalModes));
    m_history.closeStep();
    return next;
}

void UnitEditor::setValue(int step, int value, int number) {
    if (step < 0 || step >= kStepCount || value < 0 || value >= kValueCount) return;
    UnitDefinition u = unit();
    u.values[step][value] =
        static_cast<std::uint8_t>(std::clamp(number, kMinUnitValue, kMaxUnitValue));
    change(std::move(u), "Unit Value",
           " value " + std::to_string(step) + " " + std::to_string(value));
}

bool UnitEditor::setUsed(int step, bool on) {
    if (step < 1 || step >= kStepCount) return true;
    UnitDefinition u = unit();
    if (on) {
        if (used(step)) return true;
        if (!used(step - 1)) return false;
        u.stepImage[step] = u.stepImage[step - 1];
        u.values[step] = u.values[step - 1];
        change(std::move(u), "Use Step");
        m_history.closeStep();
        return true;
    }
    if (!used(step)) return false;
    const bool nextUsed = step + 1 < kStepCount && used(step + 1);
    if (nextUsed &&
        !m_prompts.askYesNo(std::string(kWarningTitle), removeStepsQuestion(step + 1))) {
        return true;
    }
    for (int s = step; s < kStepCount; ++s) {
        if (s == step || nextUsed) u.stepImage[s] = 0;
    }
    change(std::move(u), "Drop Step");
    m_history.closeStep();
    return false;
}

int UnitEditor::shownCount() const {
    return std::clamp(capacity() - m_first + 1, 0, kPickerCount);
}

void UnitEditor::clampFirst() {
    // The last image stays reachable: the picker never starts later than
    // capacity - 20, so the capacity's own image is its last cell.
    if (m_first + kPickerCount - 1 > capacity()) m_first = capacity() - kPickerCount + 1;
    if (m_first < 1) m_first = 1;
}

void UnitEditor::spin(int steps) {
    m_first += steps * kPickerRows;
    clampFirst();
}

bool UnitEditor::click(int x, int y, bool rightButton, bool shift, bool ctrl) {
    const std::optional<int> cell = pickerCellAt(x, y);
    if (!cell || *cell >= shownCount()) return false;  // no image drawn there
    const int image = m_first + *cell;
    m_picked = image;
    const int step = stepForClick(rightButton, shift, ctrl) - 1;
    if (step > 0 && !used(step)) return false;
    UnitDefinition u = unit();
    u.stepImage[step] = static_cast<std::uint16_t>(image);
    change(std::move(u), "Step Image");
    m_history.closeStep();
    return true;
}

bool UnitEditor::paste() {
    if (m_copySource < 1 || m_copySource > m_module.unitCount) return false;
    const UnitDefinition& src = m_module.units[m_copySource];
    UnitDefinition u = unit();
    u.name = src.name;
    u.values = src.values;
    u.stepImage = src.stepImage;
    change(std::move(u), "Paste Unit");
    m_history.closeStep();
    return true;
}

bool UnitEditor::copyToNext() {
    if (m_unit >= m_module.unitCount) return false;
    const UnitDefinition src = unit();
    select(m_unit + 1);
    UnitDefinition u = unit();
    u.name = src.name;
    u.values = src.values;
    u.stepImage = src.stepImage;
    change(std::move(u), "Copy to Next");
    m_history.closeStep();
    return true;
}

bool UnitEditor::selectNext() {
    if (m_unit >= m_module.unitCount) return false;
    select(m_unit + 1);
    return true;
}

}  // namespace qmx
