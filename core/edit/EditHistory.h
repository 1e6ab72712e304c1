#pragma once
// The editor's edit model. Every change to the module or its image is an
// EditAction, applied through the one EditHistory of the session, so that
// Edit > Undo and Redo walk back and forth over everything the author did.
//
// An action is applied by EditHistory::apply(), which calls redo() once and
// keeps it. Consecutive actions of the same kind on the same field (typing a
// name letter by letter) merge into one step when the newer one says so.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace qmx {

class EditAction {
public:
    virtual ~EditAction() = default;
    virtual void redo() = 0;
    virtual void undo() = 0;
    // What the step did, for the menu: "Undo Unit Name".
    virtual std::string label() const = 0;
    // Takes `next`, done right after this action, into this one; true when it
    // did (the history then drops `next`). The default never merges.
    virtual bool mergeWith(const EditAction& next) {
        (void)next;
        return false;
    }
    // True when the action changes nothing (a field set to what it held).
    virtual bool isNoOp() const { return false; }
    // Bytes the action keeps alive beyond the module itself (a whole image).
    virtual std::size_t cost() const { return 0; }
    // True when the action writes the module's picture (not only the module).
    virtual bool changesPicture() const { return false; }
};

class EditHistory {
public:
    // Applies the action and keeps it as the newest step; anything that was
    // undone before is dropped. An action that changes nothing is dropped.
    void apply(std::unique_ptr<EditAction> action);

    bool canUndo() const { return m_index > 0; }
    bool canRedo() const { return m_index < m_actions.size(); }
    // The label of the step that undo or redo would take; "" when none.
    std::string undoLabel() const;
    std::string redoLabel() const;
    bool undo();
    bool redo();

    // The current state is what is on disk.
    void markClean();
    // True when undo and redo have brought the module back to its saved state.
    bool isClean() const { return m_cleanIndex == m_index; }

    // Ends merging: the next action starts a step of its own even when it
    // could merge (a field lost the focus, a dialog closed).
    void closeStep() { m_mergeOpen = false; }

    std::size_t size() const { return m_actions.size(); }
    // When the kept actions cost more than this, the oldest steps are
    // forgotten (they can no longer be undone); the newest always stays.
    void setCostLimit(std::size_t bytes) { m_costLimit = bytes; }
    std::size_t index() const { return m_index; }
    // Counts every change of state (a step applied, merged, undone, redone
    // or the history cleared): a value seen before means nothing changed.
    std::uint64_t revision() const { return m_revision; }
    // The same, counting only the changes of the picture.
    std::uint64_t pictureRevision() const { return m_pictureRevision; }
    void clear();

private:
    void forgetOldest();
    void changed(const EditAction& action);

    std::vector<std::unique_ptr<EditAction>> m_actions;
    std::size_t m_costLimit = std::size_t(1) << 31;
    std::size_t m_index = 0;  // actions [0, m_index) are applied
    // The index at which the module matches the file; npos when no state of
    // the list does (the saved state was dropped by a new branch).
    static constexpr std::size_t kNoClean = static_cast<std::size_t>(-1);
    std::size_t m_cleanIndex = 0;
    bool m_mergeOpen = false;
    std::uint64_t m_revision = 0;
    std::uint64_t m_pictureRevision = 0;
};

// Whether two states of a value are the same; records of the module that
// have no == of their own get an overload beside their edits.
template <class T>
bool sameValue(const T& a, const T& b) {
    return a == b;
}

// Changes one value held somewhere: a unit, a deck, the module's notes. The
// place is found again through `locate` on every undo and redo, so the
// action never keeps a pointer that a reallocation could leave dangling.
template <class T, class Locate>
class ValueEdit : public EditAction {
public:
    // `mergeKey` names the field; two edits with the same non-empty key merge.
    ValueEdit(Locate locate, T after, std::string label, std::string mergeKey = {})
        : m_locate(std::move(locate)),
          m_before(m_locate()),
          m_after(std::move(after)),
          m_label(std::move(label)),
          m_key(std::move(mergeKey)) {}

    void redo() override { m_locate() = m_after; }
    void undo() override { m_locate() = m_before; }
    std::string label() const override { return m_label; }
    bool isNoOp() const override { return sameValue(m_before, m_after); }
    bool mergeWith(const EditAction& next) override {
        if (m_key.empty()) return false;
        const auto* same = dynamic_cast<const ValueEdit*>(&next);
        if (!same || same->m_key != m_key) return false;
        m_after = same->m_after;
        return true;
    }

private:
    Locate m_locate;
    T m_before;
    T m_after;
    std::string m_label;
    std::string m_key;
};

// Builds a ValueEdit; `locate` returns a reference to the value.
template <class T, class Locate>
std::unique_ptr<EditAction> makeValueEdit(Locate locate, T after, std::string label,
                                          std::string mergeKey = {}) {
    return std::make_unique<ValueEdit<T, Locate>>(std::move(locate), std::move(after),
                                                  std::move(label), std::move(mergeKey));
}

// Several actions taken as one step (Paste changes name, values and images).
class CompoundEdit : public EditAction {
public:
    explicit CompoundEdit(std::string label) : m_label(std::move(label)) {}
    // Applies the part at once; undo takes the parts back in reverse order.
    void add(std::unique_ptr<EditAction> part);
    bool empty() const { return m_parts.empty(); }

    void redo() override;
    void undo() override;
    std::string label() const override { return m_label; }
    bool isNoOp() const override;
    bool changesPicture() const override;

private:
    std::string m_label;
    std::vector<std::unique_ptr<EditAction>> m_parts;
};

}  // namespace qmx
