// Text saves come from strangers' mail: any bytes must decode without harm,
// and whatever decodes must survive another encode and decode unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "core/game/EncodedSave.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> in(data, size);
    const bool text = qmx::looksLikeTextSave(in);
    const auto decoded = qmx::decodeTextSave(in);
    if (decoded.has_value() != text) std::abort();
    // The pairs alone, without a marker search.
    const qmx::Bytes pairs = qmx::decodeTextSavePairs(in);
    if (pairs.size() > size / 2) std::abort();
    const qmx::Bytes again = qmx::encodeTextSave(pairs);
    const auto back = qmx::decodeTextSave(again);
    if (!back || *back != pairs) std::abort();
    return 0;
}
