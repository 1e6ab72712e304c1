#include "core/session/ValueMenu.h"

namespace qmx {

std::string valueMenuText(const Module& module, int value) {
    if (value < 0 || value >= kValueCount) return {};
    std::string text = module.valueNames[static_cast<std::size_t>(value)];
    switch (module.totalMode(value)) {
        case TotalMode::Lowest:
            return text + "\tLowest";
        case TotalMode::Highest:
            return text + "\tHighest";
        case TotalMode::Total:
        case TotalMode::NotComputed:
            return text + "\tTotal";
    }
    return text;
}

void cycleTotalMode(Module& module, int value) {
    if (value < 0 || value >= kValueCount) return;
    module.setTotalMode(value, nextTotalMode(module.totalMode(value)));
}

}  // namespace qmx
