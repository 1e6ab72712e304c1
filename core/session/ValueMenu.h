#pragma once
// The "Interface" menu's six value items: each shows the value's name and how
// the panel combines it, and choosing it steps to the next way.

#include <string>

#include "core/module/Module.h"

namespace qmx {

// The item text of value `value` (0..5): the value's name, a tab and
// "Lowest", "Highest" or "Total" (NotComputed reads "Total" too).
std::string valueMenuText(const Module& module, int value);

// Chooses item `value` (0..5) on the working copy of the module's modes.
void cycleTotalMode(Module& module, int value);

}  // namespace qmx
