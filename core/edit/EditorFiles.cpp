#include "core/edit/EditorFiles.h"

#include <algorithm>
#include <cctype>
#include <unordered_map>

#include "core/module/FileIo.h"
#include "core/module/UnitImageSheet.h"

namespace qmx {

namespace {

bool endsWithIgnoringCase(const std::string& s, std::string_view tail) {
    if (s.size() < tail.size()) return false;
    return std::equal(tail.begin(), tail.end(), s.end() - static_cast<long>(tail.size()),
                      [](char a, char b) {
                          return std::tolower(static_cast<unsigned char>(a)) ==
                                 std::tolower(static_cast<unsigned char>(b));
                      });
}

}  // namespace

std::string moduleSaveName(const std::string& chosen) {
    return forceExtension(chosen, "qm4");
}

std::string reportSaveName(const std::string& chosen) {
    return forceExtension(chosen, "txt");
}

std::string exportSaveName(const std::string& chosen, int entry) {
    if (entry < 0 || entry >= static_cast<int>(std::size(kExportExtensions))) entry = 0;
    // A name typed with a type of its own keeps it, whatever entry is picked.
    for (const std::string_view known : kExportExtensions)
        if (endsWithIgnoringCase(chosen, "." + std::string(known))) return chosen;
    if (endsWithIgnoringCase(chosen, ".jpeg") || endsWithIgnoringCase(chosen, ".tiff"))
        return chosen;
    return chosen + "." + std::string(kExportExtensions[entry]);
}

DibCheck checkDib(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 30 || bytes[0] != 'B' || bytes[1] != 'M') return DibCheck::NotDib;
    auto le32 = [&bytes](std::size_t at) {
        return static_cast<std::int32_t>(
            std::uint32_t(bytes[at]) | (std::uint32_t(bytes[at + 1]) << 8) |
            (std::uint32_t(bytes[at + 2]) << 16) | (std::uint32_t(bytes[at + 3]) << 24));
    };
    const std::int64_t width = le32(18);
    std::int64_t height = le32(22);
    if (height < 0) height = -height;  // top-down rows
    const std::int64_t bits = bytes[28] | (bytes[29] << 8);
    if (width < 0) return DibCheck::TooBig;
    const std::int64_t rowBytes = (width * bits + 31) / 32 * 4;
    return rowBytes * height > INT32_MAX ? DibCheck::TooBig : DibCheck::Fits;
}

std::string folderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::vector<DuplicateHexName> duplicateHexNames(const Module& module) {
    std::vector<DuplicateHexName> named;
    std::unordered_map<std::string, std::size_t> index;
    for (int r = 1; r <= module.rows; ++r) {
        for (int c = 1; c <= module.columns; ++c) {
            if (module.hexIndex(c, r) >= module.hexes.size()) continue;
            const std::string& name = module.hex(c, r).name;
            if (name.find_first_not_of(' ') == std::string::npos) continue;
            const auto [at, fresh] = index.try_emplace(name, named.size());
            if (fresh) named.push_back({name, {}});
            named[at->second].hexes.push_back({c, r});
        }
    }
    std::vector<DuplicateHexName> out;
    for (DuplicateHexName& d : named)
        if (d.hexes.size() > 1) out.push_back(std::move(d));
    return out;
}

Bytes hexNameReport(const Module& module) {
    Bytes out;
    const auto text = [&out](const std::string& t) { out.insert(out.end(), t.begin(), t.end()); };
    if (const std::vector<DuplicateHexName> twice = duplicateHexNames(module); !twice.empty()) {
        text("Duplicate hex names:\r\n");
        for (const DuplicateHexName& d : twice) {
            text(d.name + ":");
            for (const Hex h : d.hexes)
                text(" " + std::to_string(h.column) + "," + std::to_string(h.row));
            text("\r\n");
        }
        text("\r\n");
    }
    out.reserve(static_cast<std::size_t>(module.columns) * static_cast<std::size_t>(module.rows) *
                8);
    for (int r = 1; r <= module.rows; ++r) {
        for (int c = 1; c <= module.columns; ++c) {
            if (!module.hexInRange(c, r) || module.hexIndex(c, r) >= module.hexes.size()) continue;
            const std::string& name = module.hex(c, r).name;
            out.insert(out.end(), name.begin(), name.end());
            out.push_back('\r');
            out.push_back('\n');
            out.push_back(' ');
        }
    }
    return out;
}

std::string pictureSizeWarning(const Module& module, int width, int height) {
    const PixelPoint map = blankMapSize(module.columns, module.rows, module.orientation);
    const int band = std::max(0, static_cast<int>(module.mapTop) - 1);
    if (width >= map.x && height >= band + map.y) return {};
    return "The picture is " + std::to_string(width) + " x " + std::to_string(height) +
           " pixels, smaller than this module needs: " + std::to_string(map.x) + " x " +
           std::to_string(band + map.y) + " (the map of " + std::to_string(module.columns) + " x " +
           std::to_string(module.rows) + " hexes below " + std::to_string(band) +
           " rows of unit pictures). It is loaded; the board stays blank where it is missing.";
}

std::string pictureReadFailure(const std::string& path, const std::string& reason) {
    return "The picture " + path + " cannot be loaded: " + reason + ".";
}

}  // namespace qmx
