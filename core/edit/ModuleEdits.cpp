#include "core/edit/ModuleEdits.h"

#include <algorithm>

namespace qmx {

bool sameValue(const UnitDefinition& a, const UnitDefinition& b) {
    return a.name == b.name && a.stepImage == b.stepImage && a.values == b.values;
}

bool sameValue(const Deck& a, const Deck& b) {
    if (a.name != b.name || a.cardCount != b.cardCount) return false;
    for (std::size_t i = 0; i < a.cards.size(); ++i) {
        if (a.cards[i].storedLength != b.cards[i].storedLength ||
            a.cards[i].text != b.cards[i].text)
            return false;
    }
    return true;
}

namespace {

class UnitTableEdit : public EditAction {
public:
    UnitTableEdit(Module& module, int count, const UnitDefinition& fresh)
        : m_module(module), m_beforeCount(module.unitCount), m_afterCount(count) {
        m_before = module.units;
        m_after = module.units;
        m_after.resize(static_cast<std::size_t>(count) + 1, fresh);
    }
    void redo() override { set(m_afterCount, m_after); }
    void undo() override { set(m_beforeCount, m_before); }
    std::string label() const override { return "Add Units"; }
    bool isNoOp() const override { return m_beforeCount == m_afterCount; }

private:
    void set(int count, const std::vector<UnitDefinition>& units) {
        m_module.unitCount = count;
        m_module.units = units;
    }
    Module& m_module;
    int m_beforeCount;
    int m_afterCount;
    std::vector<UnitDefinition> m_before;
    std::vector<UnitDefinition> m_after;
};

}  // namespace

std::unique_ptr<EditAction> editUnit(Module& module, int unit, UnitDefinition after,
                                     std::string label, std::string mergeKey) {
    const auto index = static_cast<std::size_t>(unit);
    return makeValueEdit([&module, index]() -> UnitDefinition& { return module.units[index]; },
                         std::move(after), std::move(label), std::move(mergeKey));
}

std::unique_ptr<EditAction> editDeck(Module& module, int deck, Deck after, std::string label,
                                     std::string mergeKey) {
    const auto index = static_cast<std::size_t>(deck);
    return makeValueEdit([&module, index]() -> Deck& { return module.decks[index]; },
                         std::move(after), std::move(label), std::move(mergeKey));
}

std::unique_ptr<EditAction> editAuthorNotes(Module& module, std::string notes) {
    return makeValueEdit([&module]() -> std::string& { return module.authorNotes; },
                         std::move(notes), "Module Information");
}

std::unique_ptr<EditAction> editValueName(Module& module, int value, std::string name) {
    const auto index = static_cast<std::size_t>(value);
    return makeValueEdit([&module, index]() -> std::string& { return module.valueNames[index]; },
                         std::move(name), "Value Name", "value name " + std::to_string(value));
}

std::unique_ptr<EditAction> editTotalModes(Module& module, std::uint16_t modes) {
    return makeValueEdit([&module]() -> std::uint16_t& { return module.valueTotalModes; }, modes,
                         "Total Mode");
}

std::unique_ptr<EditAction> resizeUnitTable(Module& module, int count,
                                            const UnitDefinition& fresh) {
    return std::make_unique<UnitTableEdit>(module, count, fresh);
}

MapGrid gridOf(const Module& module) {
    return {module.columns, module.rows,          module.orientation,
            module.hexes,   module.overviewWidth, module.overviewHeight};
}

void setGrid(Module& module, const MapGrid& grid) {
    module.columns = grid.columns;
    module.rows = grid.rows;
    module.orientation = grid.orientation;
    module.hexes = grid.hexes;
    module.overviewWidth = grid.overviewWidth;
    module.overviewHeight = grid.overviewHeight;
}

MapGrid resizedGrid(const Module& module, int columns, int rows, GridOrientation orientation) {
    Module fresh = Module::createEmpty(columns, rows, orientation, kMinUnits);
    for (int c = 1; c <= std::min(columns, module.columns); ++c) {
        for (int r = 1; r <= std::min(rows, module.rows); ++r) {
            if (module.hexIndex(c, r) < module.hexes.size()) fresh.hex(c, r) = module.hex(c, r);
        }
        // The combat boxes lie in the row after the last.
        if (module.hexInRange(c, module.rows + 1) &&
            module.hexIndex(c, module.rows + 1) < module.hexes.size())
            fresh.hex(c, rows + 1) = module.hex(c, module.rows + 1);
    }
    return {columns,
            rows,
            orientation,
            std::move(fresh.hexes),
            fresh.overviewWidth,
            fresh.overviewHeight};
}

}  // namespace qmx
