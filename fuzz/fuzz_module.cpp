// The module file readers on arbitrary bytes.
//
// Both readers must come back without a crash, a leak or an out-of-range
// access. Beyond that the fuzzer checks what a sound reader promises:
// - a module the player reads has its card records at an offset inside the
//   data, and the card look-up from there ends cleanly;
// - a module the editor reads can be written, and the written bytes read back
//   by both readers without a message and write the same bytes again.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>

#include "core/module/ModuleFile.h"

using namespace qmx;

namespace {

void check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "fuzz_module: %s\n", what);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);

    const ModuleLoad player = parseModule(bytes, ModuleReader::Player);
    check(player.ok || !player.notices.empty(), "player load failed without a message");
    if (player.ok) {
        check(player.cardOffset <= size, "card offset past the end of the data");
        findCardText(bytes, player.cardOffset, 1, 1);
        // The card named by the first record, if there is one.
        if (size - player.cardOffset >= 2) {
            const int deck = data[player.cardOffset];
            const int card = data[player.cardOffset + 1];
            const CardText t = findCardText(bytes, player.cardOffset, deck, card);
            if (t.status == CardLookup::Found)
                check(t.text.size() <= kMaxCardText, "card text too long");
        }
    }

    const ModuleLoad editor = parseModule(bytes, ModuleReader::Editor);
    check(editor.ok || !editor.notices.empty(), "editor load failed without a message");
    if (editor.ok) {
        const Bytes saved = serializeModule(editor.module);
        const ModuleLoad again = parseModule(saved, ModuleReader::Editor);
        check(again.ok && again.notices.empty(), "a written module does not read back");
        check(serializeModule(again.module) == saved, "a written module reads back different");
        const ModuleLoad asPlayer = parseModule(saved, ModuleReader::Player);
        check(asPlayer.ok && asPlayer.notices.empty(), "the player does not read a written module");
    }
    return 0;
}
