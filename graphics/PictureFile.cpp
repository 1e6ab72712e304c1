#include "graphics/PictureFile.h"

#include "core/edit/EditorFiles.h"
#include "core/edit/LegacyImages.h"
#include "core/module/FileIo.h"
#include "graphics/ModuleGraphics.h"

namespace qmx {

namespace {

QImage qimageOf(const LegacyImage& legacy) {
    QImage image(legacy.width, legacy.height, QImage::Format_RGB32);
    for (int y = 0; y < legacy.height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        const std::uint8_t* px = legacy.rgb.data() + static_cast<std::size_t>(y) * legacy.width * 3;
        for (int x = 0; x < legacy.width; ++x)
            line[x] = qRgb(px[3 * x], px[3 * x + 1], px[3 * x + 2]);
    }
    return image;
}

}  // namespace

PictureFile readPictureFile(const std::string& path) {
    PictureFile out;
    // A Windows bitmap too large to address is refused before it is decoded.
    const std::string format = imageFormatFor(path);
    if (format == "bmp") {
        if (auto head = readFilePrefix(path, 64)) {
            const DibCheck check = checkDib(*head);
            if (check == DibCheck::TooBig) {
                out.status = PictureFile::Status::DibTooBig;
                return out;
            }
            out.dib = check == DibCheck::Fits;
        }
    }
    // The old formats are read here; Targa too, as Qt's reader takes only files
    // with the footer newer writers add. Anything else goes to Qt.
    const bool ours = format == "pcx" || format == "ras" || format == "sun" || format == "tga";
    if (ours && fileExists(path)) {
        if (auto bytes = readWholeFile(path, std::size_t(1) << 30)) {
            LegacyImage legacy = decodeLegacyImage(format, *bytes);
            if (legacy.ok()) {
                out.image = qimageOf(legacy);
                out.status = PictureFile::Status::Ok;
                return out;
            }
            out.reason = legacy.reason;
        } else {
            out.reason = "it cannot be read or is larger than 1 GB";
        }
        out.status = PictureFile::Status::Unreadable;
        if (format != "tga") return out;
    }
    ModuleGraphics loaded;
    const GraphicsResult r = loaded.importImage(path);
    if (r.ok()) {
        out.image = loaded.image();
        out.status = PictureFile::Status::Ok;
        out.reason.clear();
        return out;
    }
    if (r.status == GraphicsStatus::NotFound && out.status != PictureFile::Status::Unreadable) {
        out.status = PictureFile::Status::NotFound;
        return out;
    }
    out.status = PictureFile::Status::Unreadable;
    if (out.reason.empty())
        out.reason = r.status == GraphicsStatus::UnsupportedFormat
                         ? "there is no reader for ." + format + " pictures here"
                         : "it is damaged or not a " + format + " picture";
    return out;
}

}  // namespace qmx
