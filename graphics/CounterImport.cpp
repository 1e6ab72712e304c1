#include "graphics/CounterImport.h"

#include <QByteArray>
#include <QImageReader>
#include <QPainter>
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

#include "graphics/ModuleGraphics.h"
#include "graphics/PictureFile.h"

namespace qmx {
namespace fs = std::filesystem;

namespace {

// The formats our own decoders read besides Qt's.
bool isPictureFileName(const std::string& name) {
    if (name.empty() || name[0] == '.' || name.find('.') == std::string::npos) return false;
    const std::string format = imageFormatFor(name);
    if (format == "pcx" || format == "ras" || format == "sun" || format == "tga") return true;
    return QImageReader::supportedImageFormats().contains(QByteArray::fromStdString(format));
}

// Whether every pixel of `rect` has the colour of its first.
bool oneColour(const QImage& image, const QRect& rect) {
    const QRgb first = image.pixel(rect.topLeft()) & 0xFFFFFF;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = rect.left(); x <= rect.right(); ++x)
            if ((line[x] & 0xFFFFFF) != first) return false;
    }
    return true;
}

std::string fileName(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A run of digits from `i`, as its digits without leading zeros and the number of zeros.
std::string_view digitRun(std::string_view s, std::size_t& i, std::size_t& zeros) {
    const std::size_t start = i;
    while (i < s.size() && s[i] == '0') ++i;
    zeros = i - start;
    const std::size_t value = i;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) ++i;
    return s.substr(value, i - value);
}

}  // namespace

bool naturalLess(std::string_view a, std::string_view b) {
    std::size_t i = 0;
    std::size_t j = 0;
    int zerosOrder = 0;  // fewer leading zeros first, when nothing else differs
    while (i < a.size() && j < b.size()) {
        const auto ca = static_cast<unsigned char>(a[i]);
        const auto cb = static_cast<unsigned char>(b[j]);
        if (std::isdigit(ca) && std::isdigit(cb)) {
            std::size_t za = 0;
            std::size_t zb = 0;
            const std::string_view na = digitRun(a, i, za);
            const std::string_view nb = digitRun(b, j, zb);
            if (na.size() != nb.size()) return na.size() < nb.size();
            if (na != nb) return na < nb;
            if (zerosOrder == 0 && za != zb) zerosOrder = za < zb ? -1 : 1;
            continue;
        }
        const int la = std::tolower(ca);
        const int lb = std::tolower(cb);
        if (la != lb) return la < lb;
        ++i;
        ++j;
    }
    if (i < a.size() || j < b.size()) return j < b.size();
    if (zerosOrder != 0) return zerosOrder < 0;
    return a < b;
}

CounterImport CounterImport::fromFolder(const std::string& folder) {
    CounterImport source;
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) {
        source.m_error = folder + " is not a folder";
        return source;
    }
    std::vector<std::string> names;
    fs::directory_iterator it(folder, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        std::error_code fileEc;
        if (!it->is_regular_file(fileEc)) continue;
        const std::string name = it->path().filename().string();
        if (isPictureFileName(name)) names.push_back(name);
    }
    if (ec) {
        source.m_error = "the folder " + folder + " cannot be read";
        return source;
    }
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return naturalLess(a, b); });
    for (const std::string& name : names)
        source.m_files.push_back((fs::path(folder) / name).string());
    source.m_names = std::move(names);
    return source;
}

CounterImport CounterImport::fromSheet(const std::string& path, int cellWidth, int cellHeight) {
    CounterImport source;
    if (cellWidth < 1 || cellHeight < 1) {
        source.m_error = "a cell must be at least 1 x 1 pixels";
        return source;
    }
    PictureFile read = readPictureFile(path);
    if (!read.ok()) {
        source.m_error = "the picture " + path + " cannot be loaded: " +
                         (read.status == PictureFile::Status::NotFound ? "there is no such file"
                          : read.reason.empty()                        ? "it is too large"
                                                                       : read.reason);
        return source;
    }
    const QImage& sheet = read.image;
    const int columns = sheet.width() / cellWidth;
    const int rows = sheet.height() / cellHeight;
    if (columns == 0 || rows == 0) {
        source.m_error = "the picture " + path + " (" + std::to_string(sheet.width()) + " x " +
                         std::to_string(sheet.height()) + ") is smaller than one cell of " +
                         std::to_string(cellWidth) + " x " + std::to_string(cellHeight);
        return source;
    }
    if (static_cast<long long>(columns) * rows > kMaxSheetCells) {
        source.m_error = "cells of " + std::to_string(cellWidth) + " x " +
                         std::to_string(cellHeight) + " cut the picture into " +
                         std::to_string(static_cast<long long>(columns) * rows) +
                         " cells; at most " + std::to_string(kMaxSheetCells) + " are taken";
        return source;
    }
    const std::string name = fileName(path);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) {
            const QRect cell(c * cellWidth, r * cellHeight, cellWidth, cellHeight);
            if (oneColour(sheet, cell)) {
                ++source.m_blankCells;
                continue;
            }
            source.m_cells.push_back(cell);
            source.m_names.push_back(name + " cell " + std::to_string(r * columns + c + 1) +
                                     " (row " + std::to_string(r + 1) + ", column " +
                                     std::to_string(c + 1) + ")");
        }
    source.m_sheet = std::move(read.image);
    return source;
}

CounterImportResult CounterImport::place(const Module& module, ModuleGraphics& graphics,
                                         int first) const {
    CounterImportResult result;
    result.first = first;
    result.blankCells = m_blankCells;
    result.capacity = module.imageCapacity();
    QImage& image = graphics.image();
    int k = first;
    for (std::size_t i = 0; i < m_names.size(); ++i) {
        const std::optional<QRect> cell = graphics.unitImageSource(module, k);
        if (!cell) {
            result.leftOut = static_cast<int>(m_names.size() - i);
            break;
        }
        QImage picture;
        if (m_files.empty()) {
            picture = m_sheet.copy(m_cells[i]);
        } else {
            PictureFile read = readPictureFile(m_files[i]);
            if (!read.ok()) {
                result.unreadable.push_back(m_names[i] + " (" +
                                            (read.status == PictureFile::Status::NotFound
                                                 ? "it is gone"
                                             : read.reason.empty() ? "it is too large"
                                                                   : read.reason) +
                                            ")");
                continue;
            }
            picture = std::move(read.image);
        }
        const QImage fitted = fitCounter(picture, cell->size());
        QPainter painter(&image);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(cell->topLeft(), fitted);
        ++result.placed;
        ++k;
    }
    return result;
}

QImage fitCounter(const QImage& picture, QSize cell) {
    if (picture.isNull() || cell.isEmpty()) return {};
    QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    if (rgb.size() == cell) return rgb;
    const QImage scaled = rgb.scaled(cell, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    if (scaled.size() == cell) return scaled;
    QImage out(cell, QImage::Format_RGB32);
    out.fill(rgb.pixel(0, 0));
    QPainter painter(&out);
    painter.drawImage((cell.width() - scaled.width()) / 2, (cell.height() - scaled.height()) / 2,
                      scaled);
    return out;
}

int defaultFirstImage(const Module& module) {
    int highest = 0;
    const std::size_t units =
        std::min(module.units.size(), static_cast<std::size_t>(std::max(module.unitCount, 0)) + 1);
    for (std::size_t u = 1; u < units; ++u)
        for (const std::uint16_t image : module.units[u].stepImage)
            highest = std::max<int>(highest, image);
    if (highest <= 1) return 1;
    return std::max(1, std::min(highest + 1, module.imageCapacity()));
}

std::string importPreview(int count, int first, int capacity) {
    if (count == 0) return "No pictures found";
    const std::string pictures =
        std::to_string(count) + (count == 1 ? " picture" : " pictures") + " \u2192 ";
    const int fit = std::clamp(capacity - first + 1, 0, count);
    if (fit == 0)
        return pictures + "none fits: the sheet holds " + std::to_string(capacity) + " images";
    std::string text = pictures + (fit == 1 ? "image " + std::to_string(first)
                                            : "images " + std::to_string(first) + " to " +
                                                  std::to_string(first + fit - 1));
    if (fit < count)
        text += "; " + std::to_string(count - fit) + " left out (the sheet holds " +
                std::to_string(capacity) + " images)";
    return text;
}

std::string CounterImportResult::text() const {
    std::string out;
    if (placed == 0)
        out = "No picture was placed.";
    else if (placed == 1)
        out = "1 picture placed as unit image " + std::to_string(first) + ".";
    else
        out = std::to_string(placed) + " pictures placed as unit images " + std::to_string(first) +
              " to " + std::to_string(first + placed - 1) + ".";
    if (leftOut > 0)
        out += " " + std::to_string(leftOut) + (leftOut == 1 ? " picture was" : " pictures were") +
               " left out: the sheet holds " + std::to_string(capacity) + " images.";
    if (blankCells > 0)
        out += " " + std::to_string(blankCells) +
               (blankCells == 1 ? " cell of one colour was" : " cells of one colour were") +
               " passed over.";
    if (!unreadable.empty()) {
        out += " Not read:";
        for (std::size_t i = 0; i < unreadable.size(); ++i)
            out += (i == 0 ? " " : "; ") + unreadable[i];
        out += ".";
    }
    return out;
}

}  // namespace qmx
