#pragma once
// Builds the demo module from its scenario: the module records (map, hex
// names, units with two steps, value names and modes, decks, notes) and the
// module image (unit counters in the sheet, the fixed pictures, the map), and
// writes Demo.qm4 and Demo.PNG.

#include <string>

#include "core/module/Module.h"
#include "graphics/ModuleGraphics.h"
#include "tools/demo/DemoScenario.h"

namespace qmx::demo {

struct DemoModule {
    Module module;
    ModuleGraphics graphics;
};

DemoModule buildDemoModule(const DemoScenario& scenario);

// Writes "Demo.qm4" and "Demo.PNG" into `folder` (created if missing). The
// module identity comes from a fixed clock, so every build writes the same
// bytes. Problems are reported on standard error.
bool writeDemoModule(const std::string& folder);

}  // namespace qmx::demo
