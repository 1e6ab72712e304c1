#include "core/map/MapEditRules.h"

#include <algorithm>

namespace qmx {

namespace {

bool inside(const PixelRect& r, int x, int y) {
    return x >= r.x && y >= r.y && x < r.x + r.width && y < r.y + r.height;
}

bool onMap(const Module& module, Hex h) {
    return h.column >= 1 && h.column <= module.columns && h.row >= 1 && h.row <= module.rows &&
           module.hexIndex(h.column, h.row) < module.hexes.size();
}

// One name change, or none when the name stays.
std::vector<HexNameChange> setName(Module& module, Hex h, std::string name) {
    if (!onMap(module, h)) return {};
    std::string& current = module.hex(h.column, h.row).name;
    if (current == name) return {};
    std::vector<HexNameChange> changes{{h.column, h.row, current, name}};
    current = std::move(name);
    return changes;
}

}  // namespace

FormArea formAreaAt(int x, int y) {
    if (x >= kMapAreaOrigin.x && y >= kMapAreaOrigin.y) return FormArea::Map;
    if (inside(kOverviewArea, x, y)) return FormArea::Overview;
    if (inside(kColourPickArea, x, y)) return FormArea::ColourPick;
    return FormArea::Other;
}

std::string nameFieldText(std::string_view name) {
    while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
    return std::string(name.substr(0, kNameFieldLength));
}

void applyNameChanges(Module& module, const std::vector<HexNameChange>& changes) {
    for (const HexNameChange& c : changes)
        if (onMap(module, {c.column, c.row})) module.hex(c.column, c.row).name = c.after;
}

void revertNameChanges(Module& module, const std::vector<HexNameChange>& changes) {
    for (auto it = changes.rbegin(); it != changes.rend(); ++it)
        if (onMap(module, {it->column, it->row})) module.hex(it->column, it->row).name = it->before;
}

std::optional<std::string> MapNameEditor::clickHex(const Module& module, int column, int row) {
    if (!onMap(module, {column, row})) return std::nullopt;
    m_selected = {column, row};
    if (m_mode != EditMode::EditNames) return std::nullopt;
    return nameFieldText(module.hex(column, row).name);
}

std::string MapNameEditor::nameFieldFocused(const Module& module) {
    m_mode = EditMode::EditNames;
    if (!onMap(module, m_selected)) return {};
    return nameFieldText(module.hex(m_selected.column, m_selected.row).name);
}

std::vector<HexNameChange> MapNameEditor::nameFieldChanged(Module& module, std::string_view text) {
    return setName(module, m_selected, std::string(text.substr(0, kNameFieldLength)));
}

void MapNameEditor::copyName(const Module& module) {
    if (onMap(module, m_selected)) m_clipboard = module.hex(m_selected.column, m_selected.row).name;
}

std::vector<HexNameChange> MapNameEditor::pasteName(Module& module) {
    return setName(module, m_selected, m_clipboard);
}

std::vector<HexNameChange> MapNameEditor::clearNames(Module& module, bool calibrationPending,
                                                     MapEditPrompts& prompts) {
    if (calibrationPending) return {};
    if (!prompts.askOkCancel(kClearNamesTitle, kClearNamesQuestion)) return {};
    const std::optional<std::string> text =
        prompts.askDefaultName(kDefaultNamesTitle, kDefaultNamesLabel, kDefaultNamesPreset,
                               static_cast<int>(kNameFieldLength));
    if (!text) return {};
    const std::string name = text->substr(0, kNameFieldLength);
    std::vector<HexNameChange> changes;
    for (int r = 1; r <= module.rows; ++r)
        for (int c = 1; c <= module.columns; ++c) {
            std::vector<HexNameChange> one = setName(module, {c, r}, name);
            changes.insert(changes.end(), one.begin(), one.end());
        }
    return changes;
}

PixelPoint overviewClickScroll(const OverviewGeometry& g, int x, int y) {
    const auto along = [](int click, int frame, int map, int overview, int view, bool even) {
        if (overview <= 0) return 0;
        int pos = (click - frame / 2) * map / overview;
        if (even && pos % 2 != 0) ++pos;
        pos = std::min(pos, map - view);
        return std::max(pos, 0);
    };
    const bool rows = g.orientation == GridOrientation::RowsAligned;
    return {along(x, g.frameSize.x, g.mapSize.x, g.overviewSize.x, g.viewSize.x, !rows),
            along(y, g.frameSize.y, g.mapSize.y, g.overviewSize.y, g.viewSize.y, rows)};
}

}  // namespace qmx
