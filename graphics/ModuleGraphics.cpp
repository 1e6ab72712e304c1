#include "graphics/ModuleGraphics.h"

#include <QByteArray>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QSaveFile>
#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <string_view>
#include <system_error>

#ifdef __linux__
#include <sys/mman.h>
#endif

#include "core/module/BandedPng.h"
#include "core/module/Bytes.h"
#include "core/module/FileIo.h"
#include "core/module/UnitImageSheet.h"
#include "graphics/PngEncoder.h"
#include "graphics/QtText.h"

namespace qmx {
namespace fs = std::filesystem;

namespace {

// The picture is written in this many bands (the most the row decoder
// takes): a reader then inflates the sheet and the part of the map in view
// on both cores before the rest. Encoding them takes no longer than two.
constexpr int kPictureBands = 16;

// 3,780 pixels per metre (96 per inch), as the blank image of a new module has.
constexpr int kDotsPerMetre = 3780;

// The fixed pictures of the sheet's left part.
constexpr QRgb kFrameStripColour = qRgb(255, 0, 0);
constexpr QRgb kStackMarkerFill = qRgb(236, 232, 220);
constexpr QRgb kStackMarkerEdge = qRgb(0, 0, 0);

bool exists(const std::string& path) {
    std::error_code ec;
    return fs::exists(path, ec);
}

// The module image is held as 32-bit RGB whatever the file held.
QImage normalized(QImage image) {
    if (image.format() != QImage::Format_RGB32) image.convertTo(QImage::Format_RGB32);
    return image;
}

// An empty 32-bit picture of this size for a decoder to fill. Its memory is
// asked for in huge pages where the system offers them: the first touch of
// hundreds of megabytes then costs a small part of the page faults.
QImage allocatePicture(int width, int height) {
#ifdef __linux__
    constexpr std::size_t kHugePage = std::size_t(2) << 20;
    const std::size_t bytes =
        static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4;
    if (bytes >= 8 * kHugePage) {
        const std::size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
        if (void* memory = std::aligned_alloc(kHugePage, rounded)) {
            madvise(memory, rounded, MADV_HUGEPAGE);
            QImage image(
                static_cast<uchar*>(memory), width, height, width * 4, QImage::Format_RGB32,
                [](void* p) { std::free(p); }, memory);
            if (!image.isNull()) return image;
            std::free(memory);
        }
    }
#endif
    return QImage(width, height, QImage::Format_RGB32);
}

// Starts the row decoder on a PNG it reads, into a new image of the picture's
// size; rows `first` are decoded before the others. Nothing when the file is
// not such a picture (the general reader then reads it).
std::unique_ptr<PngRowDecoder> startDecoder(const std::string& path, QImage& image, RowSpan first) {
    std::optional<Bytes> bytes = readWholeFile(path, std::size_t(1) << 31);
    if (!bytes) return nullptr;
    std::unique_ptr<PngRowDecoder> decoder =
        PngRowDecoder::open(std::move(*bytes), kMaxGraphicsSide);
    if (!decoder) return nullptr;
    const qint64 bytesNeeded = qint64(decoder->width()) * decoder->height() * 4;
    if (bytesNeeded > qint64(kGraphicsAllocationLimitMb) * 1024 * 1024) return nullptr;
    QImage pixels = allocatePicture(decoder->width(), decoder->height());
    if (pixels.isNull()) return nullptr;
    const PngResolution dots = decoder->resolution();
    if (dots.x > 0 && dots.y > 0 && dots.x <= 1000000 && dots.y <= 1000000) {
        pixels.setDotsPerMeterX(static_cast<int>(dots.x));
        pixels.setDotsPerMeterY(static_cast<int>(dots.y));
    }
    decoder->start(reinterpret_cast<std::uint32_t*>(pixels.bits()),
                   static_cast<std::size_t>(pixels.bytesPerLine()) / 4, first,
                   0xFF000000u | kBlankMapColour);
    image = std::move(pixels);
    return decoder;
}

// Reads a whole image file with the reader for `format` (a PNG the row
// decoder reads by it, unless `rowDecoder` is false), refusing images larger
// than the module limits before any pixel is allocated.
GraphicsStatus readImage(const std::string& path, const std::string& format, QImage& out,
                         bool rowDecoder = true) {
    if (format == "png" && rowDecoder) {
        QImage image;
        std::unique_ptr<PngRowDecoder> decoder = startDecoder(path, image, {});
        if (decoder && decoder->wait() == PngRowDecoder::State::Done) {
            decoder.reset();
            out = std::move(image);
            return GraphicsStatus::Ok;
        }
        // A damaged stream: the general reader has its say too.
    }
    const QByteArray fmt = QByteArray::fromStdString(format);
    if (!QImageReader::supportedImageFormats().contains(fmt))
        return GraphicsStatus::UnsupportedFormat;
    QImageReader reader(qtPath(path), fmt);
    reader.setAutoDetectImageFormat(false);  // the extension decides, as the file dialogs promise
    reader.setAllocationLimit(kGraphicsAllocationLimitMb);
    if (!reader.canRead()) return GraphicsStatus::Unreadable;
    const QSize size = reader.size();
    if (size.isValid() && (size.width() > kMaxGraphicsSide || size.height() > kMaxGraphicsSide))
        return GraphicsStatus::Unreadable;
    QImage image;
    if (!reader.read(&image) || image.isNull()) return GraphicsStatus::Unreadable;
    if (image.width() > kMaxGraphicsSide || image.height() > kMaxGraphicsSide)
        return GraphicsStatus::Unreadable;
    out = normalized(std::move(image));
    return GraphicsStatus::Ok;
}

// Copies `from` to `to` through a temporary file and a rename, so `to` is
// either its old self or a whole copy.
bool copyAtomically(const std::string& from, const std::string& to) {
    const std::string tmp = temporarySibling(to);
    std::error_code ec;
    if (!fs::copy_file(from, tmp, fs::copy_options::overwrite_existing, ec)) {
        fs::remove(tmp, ec);
        return false;
    }
    fs::rename(tmp, to, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(tmp, ignored);
        return false;
    }
    return true;
}

}  // namespace

Notice GraphicsResult::notice(MessageTable table) const {
    if (ok()) return {};
    if (!write)
        return {table == MessageTable::Player ? msg::kNoModuleGraphics : editormsg::kNoGraphicsFile,
                {}};
    switch (status) {
        case GraphicsStatus::UnsupportedFormat:
            return {0, "Graphics cannot be saved in the format of " + path + "."};
        case GraphicsStatus::BackupFailed:
            return {0, "Could not keep the previous graphics file as " + path +
                           ".  The graphics were not saved."};
        default:
            return {0, "Could not write the graphics file " + path + "."};
    }
}

ModuleGraphics::ModuleGraphics() = default;
ModuleGraphics::ModuleGraphics(QImage image) : m_image(normalized(std::move(image))) {}
ModuleGraphics::~ModuleGraphics() = default;

ModuleGraphics::ModuleGraphics(const ModuleGraphics& other) : m_image(other.image()) {}

ModuleGraphics& ModuleGraphics::operator=(const ModuleGraphics& other) {
    if (this != &other) {
        const QImage& image = other.image();
        m_decoder.reset();
        m_image = image;
    }
    return *this;
}

ModuleGraphics::ModuleGraphics(ModuleGraphics&& other) noexcept
    : m_image(std::move(other.m_image)), m_decoder(std::move(other.m_decoder)) {}

ModuleGraphics& ModuleGraphics::operator=(ModuleGraphics&& other) noexcept {
    if (this != &other) {
        m_decoder.reset();  // its workers write into the image about to go
        m_image = std::move(other.m_image);
        m_decoder = std::move(other.m_decoder);
    }
    return *this;
}

const QImage& ModuleGraphics::image() const {
    waitComplete();
    return m_image;
}

QImage& ModuleGraphics::image() {
    waitComplete();
    return m_image;
}

bool ModuleGraphics::decoding() const {
    return m_decoder && m_decoder->state() == PngRowDecoder::State::Running;
}

bool ModuleGraphics::decodeFailed() const {
    return m_decoder && m_decoder->state() == PngRowDecoder::State::Failed;
}

bool ModuleGraphics::waitComplete() const {
    return !m_decoder || m_decoder->wait() == PngRowDecoder::State::Done;
}

std::vector<RowSpan> ModuleGraphics::readyRows() const {
    if (m_decoder) return m_decoder->readyRows();
    if (m_image.isNull()) return {};
    return {{0, m_image.height()}};
}

bool ModuleGraphics::rowsReady(RowSpan rows) const {
    return !m_decoder || m_decoder->ready(rows);
}

bool ModuleGraphics::waitRows(RowSpan rows) const {
    return !m_decoder || m_decoder->waitFor(rows);
}

void ModuleGraphics::preferRows(RowSpan rows) const {
    if (decoding()) m_decoder->prefer(rows);
}

std::string ModuleGraphics::graphicsName(const std::string& modulePath) {
    return replaceLastThree(modulePath, "PNG");
}

std::string ModuleGraphics::backupName(const std::string& modulePath) {
    return replaceLastThree(modulePath, "BAK");
}

std::optional<std::string> ModuleGraphics::findGraphicsFile(const std::string& modulePath) {
    return findFileIgnoringCase(graphicsName(modulePath));
}

GraphicsResult ModuleGraphics::load(const std::string& modulePath) {
    const std::optional<std::string> found = findGraphicsFile(modulePath);
    if (!found) return {GraphicsStatus::NotFound, graphicsName(modulePath)};
    QImage image;
    const GraphicsStatus status = readImage(*found, "png", image);
    if (status != GraphicsStatus::Ok) return {status, *found};
    m_decoder.reset();
    m_image = std::move(image);
    return {GraphicsStatus::Ok, *found};
}

GraphicsResult ModuleGraphics::loadInBackground(const std::string& modulePath, int firstRows) {
    const std::optional<std::string> found = findGraphicsFile(modulePath);
    if (!found) return {GraphicsStatus::NotFound, graphicsName(modulePath)};
    QImage image;
    std::unique_ptr<PngRowDecoder> decoder = startDecoder(*found, image, {0, firstRows});
    if (decoder && decoder->waitFor({0, firstRows})) {
        m_decoder.reset();  // an earlier decoding stops before its image goes
        m_image = std::move(image);
        m_decoder = std::move(decoder);
        return {GraphicsStatus::Ok, *found};
    }
    // Not a picture the row decoder reads, or damaged at once: the general reader.
    const bool tried = decoder != nullptr;
    decoder.reset();
    const GraphicsStatus status = readImage(*found, "png", image, !tried);
    if (status != GraphicsStatus::Ok) return {status, *found};
    m_decoder.reset();
    m_image = std::move(image);
    return {GraphicsStatus::Ok, *found};
}

GraphicsResult ModuleGraphics::save(const std::string& modulePath,
                                    const std::string& copyOf) const {
    // The image is saved under the exact "PNG" name, which a reader that looks
    // for that name finds. A graphics file found under another case of it
    // (turn.png) is the previous image: it becomes the backup and then goes,
    // so a module never ends up with two graphics files.
    const std::optional<std::string> old = findGraphicsFile(modulePath);
    const std::string target = graphicsName(modulePath);
    const std::string backup = backupName(modulePath);
    const std::optional<std::string> oldBackup = findFileIgnoringCase(backup);
    GraphicsResult result{GraphicsStatus::Ok, target, true};

    // 1. The whole new image, encoded (or copied) and on disk under a temporary name.
    QByteArray encoded;
    if (!copyOf.empty()) {
        QFile from(qtPath(copyOf));
        if (!from.open(QIODevice::ReadOnly)) {
            result.status = GraphicsStatus::WriteFailed;
            return result;
        }
        encoded = from.readAll();
    } else {
        encoded = encodePng(image(), kPictureBands);
    }
    const std::string tmp = temporarySibling(target);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(encoded.constData());
    if (encoded.isEmpty() ||
        !writeFileAtomically(tmp, std::span(bytes, static_cast<std::size_t>(encoded.size())))) {
        result.status = GraphicsStatus::WriteFailed;
        return result;
    }
    std::error_code ec;
    // 2. The previous graphics become the backup; the old backup goes only now,
    // and goes also when there is no previous image.
    if (old && !copyAtomically(*old, backup)) {
        fs::remove(tmp, ec);
        return {GraphicsStatus::BackupFailed, backup, true};
    }
    if (oldBackup && (!old || *oldBackup != backup)) {
        std::error_code ignored;
        fs::remove(*oldBackup, ignored);
    }
    // 3. The new image takes the graphics name in one step.
    fs::rename(tmp, target, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(tmp, ignored);
        result.status = GraphicsStatus::WriteFailed;
        return result;
    }
    // 4. A previous image under another case of the name is in the backup now.
    if (old && *old != target) {
        std::error_code ignored;
        fs::remove(*old, ignored);
    }
    return result;
}

ModuleGraphics ModuleGraphics::createBlank(Module& module) {
    const PixelPoint map = blankMapSize(module.columns, module.rows, module.orientation);
    const int sheet = sheetHeight(module.imageRows);
    module.mapTop = static_cast<std::uint16_t>(sheet + 1);
    QImage image(map.x, map.y + sheet, QImage::Format_RGB32);
    image.setDotsPerMeterX(kDotsPerMetre);
    image.setDotsPerMeterY(kDotsPerMetre);
    image.fill(QColor::fromRgb(kBlankMapColour));
    ModuleGraphics graphics;
    graphics.m_image = std::move(image);
    return graphics;
}

GraphicsResult ModuleGraphics::importImage(const std::string& path) {
    if (!exists(path)) return {GraphicsStatus::NotFound, path};
    QImage image;
    const GraphicsStatus status = readImage(path, imageFormatFor(path), image);
    if (status != GraphicsStatus::Ok) return {status, path};
    m_image = std::move(image);
    return {GraphicsStatus::Ok, path};
}

GraphicsResult ModuleGraphics::exportImage(const std::string& path) const {
    waitComplete();
    GraphicsResult result{GraphicsStatus::Ok, path, true};
    if (m_image.isNull()) {
        result.status = GraphicsStatus::WriteFailed;
        return result;
    }
    const std::string format = imageFormatFor(path);
    const QByteArray fmt = QByteArray::fromStdString(format);
    if (!QImageWriter::supportedImageFormats().contains(fmt)) {
        if (format == "tga") {
            if (!writeTga(m_image, path)) result.status = GraphicsStatus::WriteFailed;
        } else {
            result.status = GraphicsStatus::UnsupportedFormat;
        }
        return result;
    }
    QSaveFile file(qtPath(path));
    if (!file.open(QIODevice::WriteOnly)) {
        result.status = GraphicsStatus::WriteFailed;
        return result;
    }
    QImageWriter writer(&file, fmt);
    if (format == "jpg" || format == "jpeg") writer.setQuality(90);
    if (!writer.write(m_image)) {
        file.cancelWriting();
        result.status = GraphicsStatus::WriteFailed;
        return result;
    }
    if (!file.commit()) result.status = GraphicsStatus::WriteFailed;
    return result;
}

std::optional<QRect> ModuleGraphics::unitImageSource(const Module& module, int k) const {
    if (k < 1 || k > module.imageCapacity()) return std::nullopt;
    const PixelRect r = unitImageRect(module, k);
    const QRect rect(r.x, r.y, r.width, r.height);
    if (!m_image.rect().contains(rect)) return std::nullopt;
    return rect;
}

QImage ModuleGraphics::unitImage(const Module& module, int k) const {
    const std::optional<QRect> source = unitImageSource(module, k);
    if (!source) return QImage();
    waitRows({source->top(), source->bottom() + 1});
    return m_image.copy(*source);
}

QRect ModuleGraphics::mapRect(const Module& module) const {
    const int top = module.mapTop;
    if (m_image.isNull() || top >= m_image.height()) return {};
    return QRect(0, top, m_image.width(), m_image.height() - top);
}

void ModuleGraphics::drawFixedPictures(const Module& module) {
    waitComplete();
    if (m_image.isNull()) return;
    const int sheetRows = std::min<int>(std::max(module.mapTop - 1, 0), m_image.height());
    const QRect left(0, 0, std::min(kSheetLeft, m_image.width()), sheetRows);
    if (left.isEmpty()) return;

    // The overview is scaled from a view of the map band that shares the
    // image's pixels, so the map is never copied.
    QImage overview;
    const QRect map = mapRect(module);
    if (!map.isEmpty() && module.overviewWidth > 0 && module.overviewHeight > 0) {
        const QImage band(m_image.constScanLine(map.y()), map.width(), map.height(),
                          m_image.bytesPerLine(), m_image.format());
        overview = band.scaled(module.overviewWidth, module.overviewHeight, Qt::IgnoreAspectRatio,
                               Qt::SmoothTransformation);
    }

    QPainter p(&m_image);
    p.setClipRect(left);
    p.fillRect(left, QColor::fromRgb(kBlankMapColour));
    if (!overview.isNull()) p.drawImage(0, 0, overview);
    auto fill = [&](const PixelRect& r, QRgb colour) {
        p.fillRect(QRect(r.x, r.y, r.width, r.height), QColor::fromRgb(colour));
    };
    fill(kFrameStripH, kFrameStripColour);
    fill(kFrameStripV, kFrameStripColour);
    // The stack marker shows 3 pixels right of and below the top unit: drawn as
    // the edge of a second counter, light with a black rim.
    fill(kStackMarker, kStackMarkerEdge);
    fill({kStackMarker.x, kStackMarker.y, kStackMarker.width - 1, kStackMarker.height - 1},
         kStackMarkerFill);
    fill({kStackMarker.x + kStackMarker.width - 3, kStackMarker.y, 1, kStackMarker.height - 1},
         kStackMarkerEdge);
    fill({kStackMarker.x, kStackMarker.y + kStackMarker.height - 3, kStackMarker.width - 1, 1},
         kStackMarkerEdge);
}

std::string imageFormatFor(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.find_last_of('.');
    std::string ext = dot == std::string::npos
                          ? (name.size() > 3 ? name.substr(name.size() - 3) : name)
                          : name.substr(dot + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (ext == "qmg") return "bmp";  // the older map files are Windows bitmaps
    return ext;
}

bool writeTga(const QImage& image, const std::string& path) {
    if (image.isNull() || image.width() > 0xFFFF || image.height() > 0xFFFF) return false;
    const QImage rgb = image.format() == QImage::Format_RGB32
                           ? image
                           : image.convertToFormat(QImage::Format_RGB32);
    const int w = rgb.width();
    const int h = rgb.height();
    Bytes out;
    out.reserve(18 + 26 + static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 3);
    auto u8 = [&](int v) { out.push_back(static_cast<std::uint8_t>(v)); };
    auto le16 = [&](int v) { u8(v & 0xFF), u8((v >> 8) & 0xFF); };
    u8(0);                              // no image id
    u8(0);                              // no colour map
    u8(2);                              // uncompressed true colour
    u8(0), u8(0), u8(0), u8(0), u8(0);  // colour map fields, unused
    le16(0), le16(0);                   // origin
    le16(w), le16(h);
    u8(24);  // bits per pixel
    u8(0);   // no alpha bits, rows from the bottom up
    for (int y = h - 1; y >= 0; --y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < w; ++x) u8(qBlue(line[x])), u8(qGreen(line[x])), u8(qRed(line[x]));
    }
    // The version 2 footer (no extension or developer area), which some
    // readers require before they accept the file.
    for (int i = 0; i < 8; ++i) u8(0);
    for (char c : std::string_view("TRUEVISION-XFILE.")) u8(c);
    u8(0);
    return writeFileAtomically(path, out);
}

}  // namespace qmx
