#pragma once
// The edit actions on the module records. Each returns an action for the
// EditHistory; nothing changes until the history applies it.

#include <memory>
#include <string>

#include "core/edit/EditHistory.h"
#include "core/module/Module.h"

namespace qmx {

bool sameValue(const UnitDefinition& a, const UnitDefinition& b);
bool sameValue(const Deck& a, const Deck& b);

// Unit `unit` (1..unit count) becomes `after`.
std::unique_ptr<EditAction> editUnit(Module& module, int unit, UnitDefinition after,
                                     std::string label, std::string mergeKey = {});
// Deck `deck` (1..20) becomes `after`.
std::unique_ptr<EditAction> editDeck(Module& module, int deck, Deck after, std::string label,
                                     std::string mergeKey = {});
std::unique_ptr<EditAction> editAuthorNotes(Module& module, std::string notes);
// Value name `value` (0..5).
std::unique_ptr<EditAction> editValueName(Module& module, int value, std::string name);
std::unique_ptr<EditAction> editTotalModes(Module& module, std::uint16_t modes);

// The unit table grows or shrinks to `count` units; units beyond the old
// count become `fresh`. Undo gives back the old table whole.
std::unique_ptr<EditAction> resizeUnitTable(Module& module, int count, const UnitDefinition& fresh);

}  // namespace qmx
