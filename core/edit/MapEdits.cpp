#include "core/edit/MapEdits.h"

#include <algorithm>

#include "core/map/MapEditRules.h"

namespace qmx {

namespace {

class HexNamesEdit : public EditAction {
public:
    HexNamesEdit(Module& module, std::vector<HexNameChange> changes, std::string label,
                 std::string key)
        : m_module(module),
          m_changes(std::move(changes)),
          m_label(std::move(label)),
          m_key(std::move(key)) {}

    void redo() override { applyNameChanges(m_module, m_changes); }
    void undo() override { revertNameChanges(m_module, m_changes); }
    std::string label() const override { return m_label; }
    bool isNoOp() const override {
        for (const HexNameChange& c : m_changes)
            if (c.before != c.after) return false;
        return true;
    }
    bool mergeWith(const EditAction& next) override {
        const auto* same = dynamic_cast<const HexNamesEdit*>(&next);
        if (m_key.empty() || !same || same->m_key != m_key) return false;
        if (m_changes.size() != 1 || same->m_changes.size() != 1) return false;
        HexNameChange& mine = m_changes.front();
        const HexNameChange& theirs = same->m_changes.front();
        if (mine.column != theirs.column || mine.row != theirs.row) return false;
        mine.after = theirs.after;
        return true;
    }
    std::size_t cost() const override { return m_changes.size() * sizeof(HexNameChange); }

private:
    Module& m_module;
    std::vector<HexNameChange> m_changes;
    std::string m_label;
    std::string m_key;
};

class PictureBlockEdit : public EditAction {
public:
    PictureBlockEdit(SurfaceSource surface, UndoPicture before, std::string label)
        : m_surface(std::move(surface)), m_before(std::move(before)), m_label(std::move(label)) {
        m_after = saveUndoPicture(m_surface(), m_before.at);
    }
    void redo() override {
        PixelSurface s = m_surface();
        restoreUndoPicture(s, m_after);
    }
    void undo() override {
        PixelSurface s = m_surface();
        restoreUndoPicture(s, m_before);
    }
    std::string label() const override { return m_label; }
    bool isNoOp() const override { return m_before.block.pixels == m_after.block.pixels; }
    std::size_t cost() const override {
        return (m_before.block.pixels.size() + m_after.block.pixels.size()) * sizeof(Pixel);
    }
    bool changesPicture() const override { return true; }

private:
    SurfaceSource m_surface;
    UndoPicture m_before;
    UndoPicture m_after;
    std::string m_label;
};

class PixelsEdit : public EditAction {
public:
    PixelsEdit(SurfaceSource surface, PixelUndo before, std::string label)
        : m_surface(std::move(surface)), m_before(std::move(before)), m_label(std::move(label)) {
        // A pixel written twice keeps its first colour in `before`; the
        // present colour is the last one drawn.
        const PixelSurface s = m_surface();
        m_after.entries.reserve(m_before.entries.size());
        for (auto it = m_before.entries.rbegin(); it != m_before.entries.rend(); ++it) {
            if (s.contains(it->x, it->y))
                m_after.entries.push_back({it->x, it->y, s.at(it->x, it->y)});
        }
    }
    void redo() override {
        PixelSurface s = m_surface();
        revertPixels(s, m_after);
    }
    void undo() override {
        PixelSurface s = m_surface();
        revertPixels(s, m_before);
    }
    std::string label() const override { return m_label; }
    bool isNoOp() const override { return m_before.entries.empty(); }
    std::size_t cost() const override {
        return (m_before.entries.size() + m_after.entries.size()) * sizeof(PixelUndo::Entry);
    }
    bool changesPicture() const override { return true; }

private:
    SurfaceSource m_surface;
    PixelUndo m_before;
    PixelUndo m_after;
    std::string m_label;
};

void pasteRect(PixelSurface& surface, PixelRect rect, const OwnedPicture& picture) {
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
            if (surface.contains(rect.x + x, rect.y + y))
                surface.pixels[(rect.y + y) * surface.stride + rect.x + x] = picture.at(x, y);
}

class RectEdit : public EditAction {
public:
    RectEdit(SurfaceSource surface, PixelRect rect, OwnedPicture before, std::string label)
        : m_surface(std::move(surface)),
          m_rect(rect),
          m_before(std::move(before)),
          m_label(std::move(label)) {
        m_after = copyRect(m_surface(), m_rect);
    }
    void redo() override {
        PixelSurface s = m_surface();
        pasteRect(s, m_rect, m_after);
    }
    void undo() override {
        PixelSurface s = m_surface();
        pasteRect(s, m_rect, m_before);
    }
    std::string label() const override { return m_label; }
    bool isNoOp() const override { return m_before.pixels == m_after.pixels; }
    std::size_t cost() const override {
        return (m_before.pixels.size() + m_after.pixels.size()) * sizeof(Pixel);
    }
    bool changesPicture() const override { return true; }

private:
    SurfaceSource m_surface;
    PixelRect m_rect;
    OwnedPicture m_before;
    OwnedPicture m_after;
    std::string m_label;
};

template <class T>
class TableEdit : public EditAction {
public:
    TableEdit(std::vector<T>& table, std::vector<T> before, std::string label)
        : m_table(table), m_before(std::move(before)), m_after(table), m_label(std::move(label)) {}
    void redo() override { m_table = m_after; }
    void undo() override { m_table = m_before; }
    std::string label() const override { return m_label; }
    std::size_t cost() const override { return (m_before.size() + m_after.size()) * sizeof(T); }

private:
    std::vector<T>& m_table;
    std::vector<T> m_before;
    std::vector<T> m_after;
    std::string m_label;
};

}  // namespace

std::unique_ptr<EditAction> hexNamesEdit(Module& module, std::vector<HexNameChange> changes,
                                         std::string label, std::string mergeKey) {
    return std::make_unique<HexNamesEdit>(module, std::move(changes), std::move(label),
                                          std::move(mergeKey));
}

std::unique_ptr<EditAction> pictureBlockEdit(SurfaceSource surface, UndoPicture before,
                                             std::string label) {
    return std::make_unique<PictureBlockEdit>(std::move(surface), std::move(before),
                                              std::move(label));
}

std::unique_ptr<EditAction> pixelsEdit(SurfaceSource surface, PixelUndo before, std::string label) {
    return std::make_unique<PixelsEdit>(std::move(surface), std::move(before), std::move(label));
}

OwnedPicture copyRect(const PixelSurface& surface, PixelRect rect) {
    OwnedPicture copy(std::max(0, rect.width), std::max(0, rect.height), 0);
    for (int y = 0; y < copy.height; ++y)
        for (int x = 0; x < copy.width; ++x)
            if (surface.contains(rect.x + x, rect.y + y))
                copy.set(x, y, surface.at(rect.x + x, rect.y + y));
    return copy;
}

std::unique_ptr<EditAction> rectEdit(SurfaceSource surface, PixelRect rect, OwnedPicture before,
                                     std::string label) {
    return std::make_unique<RectEdit>(std::move(surface), rect, std::move(before),
                                      std::move(label));
}

std::unique_ptr<EditAction> unitTableEdit(Module& module, std::vector<UnitDefinition> before,
                                          std::string label) {
    return std::make_unique<TableEdit<UnitDefinition>>(module.units, std::move(before),
                                                       std::move(label));
}

std::unique_ptr<EditAction> hexTableEdit(Module& module, std::vector<HexRecord> before,
                                         std::string label) {
    return std::make_unique<TableEdit<HexRecord>>(module.hexes, std::move(before),
                                                  std::move(label));
}

}  // namespace qmx
