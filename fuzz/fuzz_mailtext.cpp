// Saved mails come from strangers: any bytes must be looked through without
// harm, and whatever text save is found must be bounded by the input and
// start with the marker; a text save that stands in the bytes without HTML
// must come back exactly as it stands. The module a saved game names is read
// from the same bytes the game itself would be.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <span>

#include "core/game/EncodedSave.h"
#include "core/game/MailText.h"
#include "core/game/ModuleFinder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> in(data, size);
    const qmx::MailTextSave found = qmx::findMailTextSave(in);
    const auto marker = qmx::findTextSaveMarker(in);
    if (found.mail != qmx::isMimeMail(in)) std::abort();
    if (!found.mail && found.text.has_value() != marker.has_value()) std::abort();
    if (found.text) {
        const qmx::Bytes& t = *found.text;
        if (t.size() > size) std::abort();
        const auto match = qmx::kTextSaveMarkerMatch;
        if (t.size() < match.size() || std::memcmp(t.data(), match.data(), match.size()) != 0)
            std::abort();
        if (!qmx::decodeTextSave(t)) std::abort();
        if (marker && std::memchr(data + *marker, '<', size - *marker) == nullptr &&
            t != qmx::Bytes(data + *marker, data + size))
            std::abort();
    }
    // The saved game's header: from the decoded text save, else from the
    // bytes themselves (not from a mail without a saved game in it).
    const auto named = qmx::savedGameModule(in);
    const std::optional<qmx::Bytes> game =
        found.text ? qmx::decodeTextSave(*found.text)
                   : (found.mail ? std::nullopt
                                 : std::optional<qmx::Bytes>(qmx::Bytes(in.begin(), in.end())));
    const bool header = game && game->size() >= 9;
    if (named.has_value() != header) std::abort();
    if (named && (named->moduleId[0] != (*game)[0] || named->moduleId[2] != (*game)[2] ||
                  named->unitCount != (*game)[4] * 255 + (*game)[5]))
        std::abort();
    for (const qmx::Bytes& part : qmx::mimeTextParts(in))
        if (part.size() > size) std::abort();
    if (const auto b = qmx::decodeBase64(in); b && b->size() > size / 4 * 3) std::abort();
    if (qmx::decodeQuotedPrintable(in).size() > size) std::abort();
    if (qmx::stripHtml(in).size() > size) std::abort();
    return 0;
}
