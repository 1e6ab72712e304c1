#include "core/edit/EditHistory.h"

namespace qmx {

void EditHistory::apply(std::unique_ptr<EditAction> action) {
    if (!action || action->isNoOp()) return;
    action->redo();
    changed(*action);
    if (m_index < m_actions.size()) {
        m_actions.resize(m_index);
        if (m_cleanIndex != kNoClean && m_cleanIndex > m_index) m_cleanIndex = kNoClean;
        m_mergeOpen = false;
    }
    // Merging into the step the file was saved at would hide that state.
    if (m_mergeOpen && m_index > 0 && m_cleanIndex != m_index &&
        m_actions[m_index - 1]->mergeWith(*action)) {
        return;
    }
    m_actions.push_back(std::move(action));
    m_index = m_actions.size();
    m_mergeOpen = true;
    forgetOldest();
}

void EditHistory::changed(const EditAction& action) {
    ++m_revision;
    if (action.changesPicture()) ++m_pictureRevision;
}

void EditHistory::forgetOldest() {
    std::size_t total = 0;
    for (const auto& a : m_actions) total += a->cost();
    std::size_t drop = 0;
    while (total > m_costLimit && drop + 1 < m_actions.size()) total -= m_actions[drop++]->cost();
    if (drop == 0) return;
    m_actions.erase(m_actions.begin(), m_actions.begin() + static_cast<long>(drop));
    m_index -= drop;
    // A saved state among the forgotten steps can never be reached again.
    m_cleanIndex =
        m_cleanIndex != kNoClean && m_cleanIndex >= drop ? m_cleanIndex - drop : kNoClean;
}

std::string EditHistory::undoLabel() const {
    return canUndo() ? m_actions[m_index - 1]->label() : std::string();
}

std::string EditHistory::redoLabel() const {
    return canRedo() ? m_actions[m_index]->label() : std::string();
}

bool EditHistory::undo() {
    if (!canUndo()) return false;
    m_actions[--m_index]->undo();
    changed(*m_actions[m_index]);
    m_mergeOpen = false;
    return true;
}

bool EditHistory::redo() {
    if (!canRedo()) return false;
    m_actions[m_index++]->redo();
    changed(*m_actions[m_index - 1]);
    m_mergeOpen = false;
    return true;
}

void EditHistory::markClean() {
    m_cleanIndex = m_index;
    m_mergeOpen = false;
}

void EditHistory::clear() {
    m_actions.clear();
    ++m_revision;
    m_index = 0;
    m_cleanIndex = 0;
    m_mergeOpen = false;
}

void CompoundEdit::add(std::unique_ptr<EditAction> part) {
    if (!part || part->isNoOp()) return;
    part->redo();
    m_parts.push_back(std::move(part));
}

void CompoundEdit::redo() {
    for (auto& part : m_parts) part->redo();
}

void CompoundEdit::undo() {
    for (auto it = m_parts.rbegin(); it != m_parts.rend(); ++it) (*it)->undo();
}

bool CompoundEdit::isNoOp() const {
    return m_parts.empty();
}

bool CompoundEdit::changesPicture() const {
    for (const auto& part : m_parts)
        if (part->changesPicture()) return true;
    return false;
}

}  // namespace qmx
