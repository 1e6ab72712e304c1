#pragma once
// Small modules built in code for the tests of every folder.
//
//   const Module m = ModuleBuilder(3, 2, 33).steps({1, 2, 0, 0, 0, 0}).deck(2, 4).build();
//
// ModuleBuilder(columns, rows, units) starts bare: the tables of the map and
// of the units, nothing named, no images. ModuleBuilder::newModule starts as
// the editor's new module does: hex names "0101", ..., step 0 images and the
// image sheet sized for the map.

#include <array>
#include <cstdint>
#include <string>

#include "core/module/Module.h"

namespace qmx::test {

class ModuleBuilder {
public:
    using StepImages = std::array<std::uint16_t, kStepCount>;

    ModuleBuilder(int columns, int rows, int units) {
        m_module.columns = columns;
        m_module.rows = rows;
        m_module.unitCount = units;
        m_module.allocateTables();
    }
    static ModuleBuilder newModule(int columns, int rows, int units,
                                   GridOrientation orientation = GridOrientation::RowsAligned) {
        ModuleBuilder b(1, 1, 0);
        b.m_module = Module::createEmpty(columns, rows, orientation, units);
        return b;
    }

    ModuleBuilder& id(std::array<std::uint8_t, 3> moduleId) {
        m_module.moduleId = moduleId;
        return *this;
    }
    // The step images of every unit, then of one.
    ModuleBuilder& steps(StepImages images) {
        for (int u = 1; u <= m_module.unitCount; ++u) m_module.units[index(u)].stepImage = images;
        return *this;
    }
    ModuleBuilder& steps(int unit, StepImages images) {
        m_module.units[index(unit)].stepImage = images;
        return *this;
    }
    // Units named "Unit 1", "Unit 2", ...
    ModuleBuilder& namedUnits() {
        for (int u = 1; u <= m_module.unitCount; ++u)
            m_module.units[index(u)].name = "Unit " + std::to_string(u);
        return *this;
    }
    ModuleBuilder& hexState(int column, int row, std::uint16_t state) {
        m_module.hex(column, row).state = state;
        return *this;
    }
    ModuleBuilder& deck(int deck, int cardCount, std::string name = {}) {
        m_module.decks[index(deck)].cardCount = static_cast<std::uint8_t>(cardCount);
        m_module.decks[index(deck)].name = std::move(name);
        return *this;
    }
    // A stored card record: its length is the text's and the four head bytes.
    ModuleBuilder& card(int deck, int card, std::string text) {
        const auto length = static_cast<std::uint32_t>(text.size() + 4);
        m_module.decks[index(deck)].cards[index(card)] = {length, std::move(text)};
        return *this;
    }

    Module build() const { return m_module; }

private:
    static std::size_t index(int i) { return static_cast<std::size_t>(i); }
    Module m_module;
};

}  // namespace qmx::test
