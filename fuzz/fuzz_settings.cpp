// The settings reader on arbitrary bytes: every value read must lie in its
// range, and a rewrite must parse back to the same values.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/settings/IniFile.h"
#include "core/settings/Settings.h"

using namespace qmx;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    IniFile ini = IniFile::parse(text);

    const Preferences p = readPreferences(ini);
    if (p.replaySpeed < 1 || p.replaySpeed > 255) std::abort();
    if (p.replayDelay < 0 || p.replayDelay > 255) std::abort();
    if (p.replayMaxSpeed < 2 || p.replayMaxSpeed > 255 || p.replayMaxSpeed < p.replaySpeed) {
        std::abort();
    }
    if (p.numberOfDice < 1 || p.numberOfDice > 20) std::abort();
    if (p.sidesOnDice < 2 || p.sidesOnDice > 100) std::abort();
    if (p.facingColor < 0 || p.facingColor > 15) std::abort();
    const WindowPlacement w = readWindowPlacement(ini);
    if (w.width < 1 || w.height < 1) std::abort();

    // Writing the preferences back into the same file keeps them, whatever else it holds.
    writePreferences(ini, p);
    const IniFile again = IniFile::parse(ini.text());
    if (!(readPreferences(again) == p)) std::abort();
    return 0;
}
