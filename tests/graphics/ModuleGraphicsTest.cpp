#include <gtest/gtest.h>

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>

#include "core/module/BandedPng.h"
#include "core/module/FileIo.h"
#include "core/module/UnitImageSheet.h"
#include "graphics/BoardPainter.h"
#include "graphics/ModuleGraphics.h"
#include "graphics/PngEncoder.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/TempFolder.h"

using namespace qmx;
namespace fs = std::filesystem;

namespace {

// A temporary folder whose file paths come as strings.
class TempDir {
public:
    std::string operator/(const std::string& name) const { return (m_folder / name).string(); }
    // Every file name in the folder, sorted.
    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (const auto& e : fs::directory_iterator(m_folder.path()))
            out.push_back(e.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }

private:
    test::TempFolder m_folder{"qmx_gfx"};
};

QImage solid(int w, int h, QRgb colour) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(colour);
    return img;
}

// A small picture with distinct pixels, so that round trips catch flips and
// channel swaps.
QImage pattern(int w = 7, int h = 5) {
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb(x * 30, y * 50, (x * 7 + y * 13) % 256));
    return img;
}

QImage readBack(const std::string& path) {
    QImage img(QString::fromStdString(path));
    return img.convertToFormat(QImage::Format_RGB32);
}

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

}  // namespace

TEST(ModuleGraphics, NamesBesideTheModule) {
    EXPECT_EQ(ModuleGraphics::graphicsName("/m/turn.qm4"), "/m/turn.PNG");
    EXPECT_EQ(ModuleGraphics::backupName("/m/turn.qm4"), "/m/turn.BAK");
    EXPECT_EQ(ModuleGraphics::graphicsName("map.x"), "maPNG");  // the last three, whatever they are
    EXPECT_EQ(imageFormatFor("/a/old.qmg"), "bmp");
    EXPECT_EQ(imageFormatFor("/a/Map.TIFF"), "tiff");
    EXPECT_EQ(imageFormatFor("/a/Map.JPG"), "jpg");
    EXPECT_EQ(imageFormatFor("/a.b/mapbmp"), "bmp");  // no point in the name: last three
}

TEST(ModuleGraphics, LoadFindsTheImageIgnoringCase) {
    TempDir dir;
    const std::string module = dir / "Game.qm4";
    ModuleGraphics g;
    GraphicsResult r = g.load(module);
    EXPECT_EQ(r.status, GraphicsStatus::NotFound);
    EXPECT_EQ(r.notice(MessageTable::Player).number, 37);
    EXPECT_EQ(r.notice(MessageTable::Editor).number, 5);
    EXPECT_TRUE(g.isNull());

    ASSERT_TRUE(solid(3, 2, qRgb(1, 2, 3)).save(QString::fromStdString(dir / "game.png"), "png"));
    r = g.load(module);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.path, dir / "game.png");
    EXPECT_EQ(g.image().pixel(2, 1), qRgb(1, 2, 3));
    EXPECT_EQ(g.image().format(), QImage::Format_RGB32);

    // The exact name wins over a case variant.
    ASSERT_TRUE(solid(3, 2, qRgb(9, 9, 9)).save(QString::fromStdString(dir / "Game.PNG"), "png"));
    ASSERT_TRUE(g.load(module).ok());
    EXPECT_EQ(g.image().pixel(0, 0), qRgb(9, 9, 9));
}

TEST(ModuleGraphics, DamagedFilesLeaveTheImageAsItWas) {
    TempDir dir;
    ModuleGraphics g(solid(4, 4, qRgb(10, 20, 30)));
    writeBytes(dir / "bad.PNG", "\x89PNG\r\n\x1a\n this is not a picture");
    GraphicsResult r = g.load(dir / "bad.qm4");
    EXPECT_EQ(r.status, GraphicsStatus::Unreadable);
    EXPECT_EQ(r.notice(MessageTable::Player).number, 37);

    writeBytes(dir / "bad.bmp", "BM and nothing more");
    EXPECT_EQ(g.importImage(dir / "bad.bmp").status, GraphicsStatus::Unreadable);
    writeBytes(dir / "pic.psp", "Paint Shop Pro Image File");
    r = g.importImage(dir / "pic.psp");
    EXPECT_EQ(r.status, GraphicsStatus::UnsupportedFormat);
    EXPECT_EQ(r.notice(MessageTable::Editor).number, 5);
    EXPECT_EQ(g.importImage(dir / "missing.png").status, GraphicsStatus::NotFound);

    // A bitmap header that claims 40,000 x 40,000 pixels is refused before
    // anything is allocated.
    std::string bmp = "BM";
    auto le32 = [&](std::uint32_t v) {
        for (int i = 0; i < 4; ++i) bmp.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    };
    auto le16 = [&](std::uint16_t v) {
        bmp.push_back(char(v & 0xFF)), bmp.push_back(char(v >> 8));
    };
    le32(54 + 16), le32(0), le32(54);                       // file size, reserved, pixel offset
    le32(40), le32(40000), le32(40000), le16(1), le16(24);  // info header
    le32(0), le32(0), le32(3780), le32(3780), le32(0), le32(0);
    bmp += std::string(16, '\x7f');
    writeBytes(dir / "huge.bmp", bmp);
    EXPECT_FALSE(g.importImage(dir / "huge.bmp").ok());

    EXPECT_EQ(g.image().size(), QSize(4, 4));
    EXPECT_EQ(g.image().pixel(3, 3), qRgb(10, 20, 30));
}

TEST(ModuleGraphics, SecondSaveKeepsTheFirstAsBackup) {
    TempDir dir;
    const std::string module = dir / "war.qm4";
    ASSERT_TRUE(ModuleGraphics(solid(5, 5, qRgb(255, 0, 0))).save(module).ok());
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"war.PNG"}));

    ASSERT_TRUE(ModuleGraphics(solid(5, 5, qRgb(0, 255, 0))).save(module).ok());
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"war.BAK", "war.PNG"}));
    EXPECT_EQ(readBack(dir / "war.PNG").pixel(0, 0), qRgb(0, 255, 0));
    QImageReader bak(QString::fromStdString(dir / "war.BAK"), "png");
    EXPECT_EQ(bak.read().pixel(0, 0), qRgb(255, 0, 0));

    // The third save replaces the older backup.
    ASSERT_TRUE(ModuleGraphics(solid(5, 5, qRgb(0, 0, 255))).save(module).ok());
    QImageReader bak2(QString::fromStdString(dir / "war.BAK"), "png");
    EXPECT_EQ(bak2.read().pixel(0, 0), qRgb(0, 255, 0));
    EXPECT_EQ(readBack(dir / "war.PNG").pixel(0, 0), qRgb(0, 0, 255));
    EXPECT_EQ(dir.names().size(), 2u);

    // A graphics file named in another case is the previous image: the new
    // one takes the exact name, the old one becomes the backup, none is doubled.
    TempDir other;
    ASSERT_TRUE(solid(2, 2, qRgb(1, 1, 1)).save(QString::fromStdString(other / "war.png"), "png"));
    ASSERT_TRUE(solid(2, 2, qRgb(3, 3, 3)).save(QString::fromStdString(other / "war.bak"), "png"));
    const GraphicsResult r = ModuleGraphics(solid(2, 2, qRgb(2, 2, 2))).save(other / "war.qm4");
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.path, other / "war.PNG");
    EXPECT_EQ(other.names(), (std::vector<std::string>{"war.BAK", "war.PNG"}));
    EXPECT_EQ(readBack(other / "war.PNG").pixel(0, 0), qRgb(2, 2, 2));
    QImageReader bak3(QString::fromStdString(other / "war.BAK"), "png");
    EXPECT_EQ(bak3.read().pixel(0, 0), qRgb(1, 1, 1));
}

TEST(ModuleGraphics, SaveWithoutAPreviousImageRemovesTheBackup) {
    TempDir dir;
    ASSERT_TRUE(solid(2, 2, qRgb(1, 1, 1)).save(QString::fromStdString(dir / "war.BAK"), "png"));
    ASSERT_TRUE(ModuleGraphics(solid(2, 2, qRgb(2, 2, 2))).save(dir / "war.qm4").ok());
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"war.PNG"}));
}

// On a full disk the module's picture and an exported copy keep their
// earlier bytes, and the failure is reported.
TEST(ModuleGraphics, AFullDiskKeepsThePicturesAndSaysSo) {
    TempDir dir;
    const std::string module = dir / "war.qm4";
    ASSERT_TRUE(ModuleGraphics(solid(5, 5, qRgb(255, 0, 0))).save(module).ok());
    const ModuleGraphics bigger(solid(400, 400, qRgb(1, 2, 3)));
    ASSERT_TRUE(ModuleGraphics(solid(5, 5, qRgb(0, 0, 255))).exportImage(dir / "copy.bmp").ok());
    const std::string png = fileBytes(dir / "war.PNG");
    const std::string copy = fileBytes(dir / "copy.bmp");
    {
        test::FileSizeLimit limit(png.size() + 16);
        EXPECT_FALSE(bigger.save(module).ok());
        EXPECT_FALSE(bigger.exportImage(dir / "copy.bmp").ok());
    }
    EXPECT_EQ(fileBytes(dir / "war.PNG"), png);
    EXPECT_EQ(fileBytes(dir / "copy.bmp"), copy);
}

TEST(ModuleGraphics, FailedSaveKeepsTheOldImageAndBackup) {
    TempDir dir;
    const std::string module = dir / "war.qm4";
    ASSERT_TRUE(ModuleGraphics(solid(5, 5, qRgb(255, 0, 0))).save(module).ok());
    ASSERT_TRUE(ModuleGraphics(solid(5, 5, qRgb(0, 255, 0))).save(module).ok());
    const std::string png = fileBytes(dir / "war.PNG");
    const std::string bak = fileBytes(dir / "war.BAK");

    // Nothing to encode: nothing is touched.
    GraphicsResult r = ModuleGraphics().save(module);
    EXPECT_EQ(r.status, GraphicsStatus::WriteFailed);
    EXPECT_EQ(r.notice(MessageTable::Editor).number, 0);
    EXPECT_FALSE(r.notice(MessageTable::Editor).text.empty());
    EXPECT_EQ(fileBytes(dir / "war.PNG"), png);
    EXPECT_EQ(fileBytes(dir / "war.BAK"), bak);
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"war.BAK", "war.PNG"}));

    // The backup cannot be written (a folder stands in its place): the
    // graphics stay as they were and no temporary file is left behind.
    TempDir d2;
    const std::string m2 = d2 / "war.qm4";
    ASSERT_TRUE(ModuleGraphics(solid(5, 5, qRgb(255, 0, 0))).save(m2).ok());
    const std::string png2 = fileBytes(d2 / "war.PNG");
    fs::create_directory(d2 / "war.BAK");
    fs::create_directory(d2 / "war.BAK/keep");  // a non-empty folder cannot be renamed over
    r = ModuleGraphics(solid(5, 5, qRgb(0, 0, 255))).save(m2);
    EXPECT_EQ(r.status, GraphicsStatus::BackupFailed);
    EXPECT_EQ(fileBytes(d2 / "war.PNG"), png2);
    EXPECT_EQ(d2.names(), (std::vector<std::string>{"war.BAK", "war.PNG"}));

    // The graphics name is taken by a folder: the rename fails, the temporary goes.
    TempDir d3;
    fs::create_directories(d3 / "war.PNG/keep");
    r = ModuleGraphics(solid(5, 5, qRgb(0, 0, 255))).save(d3 / "war.qm4");
    EXPECT_EQ(r.status, GraphicsStatus::WriteFailed);
    EXPECT_EQ(d3.names(), (std::vector<std::string>{"war.PNG"}));
}

TEST(ModuleGraphics, UnitImageCells) {
    Module m = Module::createEmpty(20, 20, GridOrientation::RowsAligned, 33);
    m.imagesPerRow = 10;
    m.imageRows = 4;
    ModuleGraphics g(solid(600, 400, qRgb(200, 200, 200)));
    g.image().setPixel(151, 42, qRgb(1, 2, 3));
    g.image().setPixel(190, 81, qRgb(4, 5, 6));  // bottom-right of that image
    g.image().setPixel(191, 42, qRgb(7, 8, 9));  // the separating column: not part of it

    // Unit image k = ImagesPerRow + 1 begins the second row of cells.
    const auto src = g.unitImageSource(m, 11);
    ASSERT_TRUE(src.has_value());
    EXPECT_EQ(*src, QRect(151, 42, 40, 40));
    const QImage unit = g.unitImage(m, 11);
    ASSERT_EQ(unit.size(), QSize(40, 40));
    EXPECT_EQ(unit.pixel(0, 0), qRgb(1, 2, 3));
    EXPECT_EQ(unit.pixel(39, 39), qRgb(4, 5, 6));
    EXPECT_EQ(g.unitImageSource(m, 1), QRect(151, 1, 40, 40));
    EXPECT_EQ(g.unitImageSource(m, 40), QRect(151 + 9 * 41, 1 + 3 * 41, 40, 40));

    // Numbers outside the sheet or the picture give nothing.
    EXPECT_FALSE(g.unitImageSource(m, 0));
    EXPECT_FALSE(g.unitImageSource(m, 41));
    EXPECT_TRUE(g.unitImage(m, 41).isNull());
    ModuleGraphics narrow(solid(300, 400, 0));
    EXPECT_TRUE(narrow.unitImageSource(m, 3));   // x 233..272
    EXPECT_FALSE(narrow.unitImageSource(m, 4));  // x 274..313 leaves the picture

    // Legacy modules use 20 x 17 cells.
    m.legacyLayout = true;
    EXPECT_EQ(g.unitImageSource(m, 11), QRect(151, 18, 20, 17));
    EXPECT_EQ(g.unitImageSource(m, 2), QRect(171, 1, 20, 17));
}

TEST(ModuleGraphics, BlankImageOfANewModule) {
    Module m = Module::createEmpty(30, 20, GridOrientation::RowsAligned, 100);
    m.imageRows = 5;
    ModuleGraphics g = ModuleGraphics::createBlank(m);
    EXPECT_EQ(m.mapTop, 5 * 41 + 2);
    EXPECT_EQ(g.image().size(), QSize(31 * 50, 21 * 42 + 5 * 41 + 1));
    EXPECT_EQ(g.image().pixel(0, 0), qRgb(0xCC, 0xCC, 0xCC));
    EXPECT_EQ(g.image().pixel(31 * 50 - 1, g.image().height() - 1), qRgb(0xCC, 0xCC, 0xCC));
    EXPECT_EQ(g.image().dotsPerMeterX(), 3780);
    EXPECT_EQ(g.mapRect(m), QRect(0, m.mapTop, 31 * 50, g.image().height() - m.mapTop));

    Module c = Module::createEmpty(20, 30, GridOrientation::ColumnsAligned, 33);
    EXPECT_EQ(ModuleGraphics::createBlank(c).image().size(), QSize(21 * 42, 31 * 50 + 165));
}

TEST(ModuleGraphics, FixedPicturesOfTheSheet) {
    Module m = Module::createEmpty(30, 20, GridOrientation::RowsAligned, 33);
    ModuleGraphics g = ModuleGraphics::createBlank(m);
    // The map band in blue, a unit image in green.
    g.image().fill(qRgb(0, 0, 0));
    {
        QImage& img = g.image();
        for (int y = m.mapTop; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) img.setPixel(x, y, qRgb(0, 0, 200));
        img.setPixel(151, 1, qRgb(0, 255, 0));
    }
    g.drawFixedPictures(m);
    const QImage& img = g.image();
    ASSERT_EQ(m.overviewWidth, 144);
    ASSERT_EQ(m.overviewHeight, 96);
    EXPECT_EQ(img.pixel(0, 0), qRgb(0, 0, 200));  // overview of the map
    EXPECT_EQ(img.pixel(143, 95), qRgb(0, 0, 200));
    EXPECT_EQ(img.pixel(10, 97), qRgb(0xCC, 0xCC, 0xCC));  // below the overview
    for (int x : {0, 60, 143}) {
        EXPECT_EQ(img.pixel(x, 100), qRgb(255, 0, 0)) << x;
        EXPECT_EQ(img.pixel(x, 101), qRgb(255, 0, 0)) << x;
    }
    for (int y : {0, 50, 99}) {
        EXPECT_EQ(img.pixel(144, y), qRgb(255, 0, 0)) << y;
        EXPECT_EQ(img.pixel(145, y), qRgb(255, 0, 0)) << y;
    }
    // The stack marker: its rim at the right and bottom, light inside.
    EXPECT_EQ(img.pixel(40, 120), qRgb(0, 0, 0));
    EXPECT_EQ(img.pixel(20, 142), qRgb(0, 0, 0));
    EXPECT_NE(img.pixel(20, 120), qRgb(0, 0, 0));
    EXPECT_NE(img.pixel(20, 120), qRgb(0xCC, 0xCC, 0xCC));
    EXPECT_EQ(img.pixel(20, 120), img.pixel(5, 105));
    EXPECT_EQ(img.pixel(41, 120), qRgb(0xCC, 0xCC, 0xCC));
    // Nothing beyond the first 151 columns or below the sheet changes.
    EXPECT_EQ(img.pixel(151, 1), qRgb(0, 255, 0));
    EXPECT_EQ(img.pixel(150, 1), qRgb(0xCC, 0xCC, 0xCC));
    EXPECT_EQ(img.pixel(5, m.mapTop), qRgb(0, 0, 200));
    EXPECT_EQ(img.pixel(5, m.mapTop - 1), qRgb(0, 0, 0));
}

TEST(ModuleGraphics, ImportReadsAQmgFileAsBitmap) {
    TempDir dir;
    // A .qmg map file holds a Windows bitmap under its own extension.
    ASSERT_TRUE(pattern().save(QString::fromStdString(dir / "old.qmg"), "bmp"));
    ModuleGraphics g(solid(2, 2, 0));
    ASSERT_TRUE(g.importImage(dir / "old.qmg").ok());
    EXPECT_EQ(g.image(), pattern());
    // The same bytes named .png are not read: the extension chooses the reader.
    fs::copy_file(dir / "old.qmg", dir / "old.png");
    EXPECT_EQ(g.importImage(dir / "old.png").status, GraphicsStatus::Unreadable);
}

TEST(ModuleGraphics, ExportRoundTrips) {
    TempDir dir;
    const ModuleGraphics g(pattern());
    for (const char* ext : {"png", "bmp", "ppm", "tga", "tif", "tiff", "PNG"}) {
        const std::string path = dir / (std::string("out.") + ext);
        ASSERT_TRUE(g.exportImage(path).ok()) << ext;
        ModuleGraphics back;
        ASSERT_TRUE(back.importImage(path).ok()) << ext;
        EXPECT_EQ(back.image(), pattern()) << ext;
    }
    // JPEG loses a little: compare loosely.
    const ModuleGraphics flat(solid(16, 16, qRgb(120, 60, 200)));
    ASSERT_TRUE(flat.exportImage(dir / "out.jpg").ok());
    ModuleGraphics back;
    ASSERT_TRUE(back.importImage(dir / "out.jpg").ok());
    const QRgb p = back.image().pixel(8, 8);
    EXPECT_NEAR(qRed(p), 120, 6);
    EXPECT_NEAR(qGreen(p), 60, 6);
    EXPECT_NEAR(qBlue(p), 200, 6);

    const GraphicsResult r = g.exportImage(dir / "out.xyz");
    EXPECT_EQ(r.status, GraphicsStatus::UnsupportedFormat);
    EXPECT_FALSE(r.notice(MessageTable::Editor).text.empty());
    EXPECT_FALSE(fs::exists(dir / "out.xyz"));
    EXPECT_FALSE(ModuleGraphics().exportImage(dir / "empty.png").ok());
}

TEST(ModuleGraphics, TargaBytes) {
    TempDir dir;
    QImage img(2, 2, QImage::Format_RGB32);
    img.setPixel(0, 0, qRgb(1, 2, 3));
    img.setPixel(1, 0, qRgb(4, 5, 6));
    img.setPixel(0, 1, qRgb(7, 8, 9));
    img.setPixel(1, 1, qRgb(10, 11, 12));
    ASSERT_TRUE(writeTga(img, dir / "t.tga"));
    // Header: no id, no colour map, type 2, origin 0,0, 2 x 2, 24 bits, bottom-up;
    // then blue, green, red from the bottom row; then the version 2 footer.
    const std::string expected =
        std::string("\0\0\x02\0\0\0\0\0\0\0\0\0\x02\0\x02\0\x18\0", 18) +
        std::string("\x09\x08\x07\x0c\x0b\x0a\x03\x02\x01\x06\x05\x04", 12) + std::string(8, '\0') +
        std::string("TRUEVISION-XFILE.\0", 18);
    EXPECT_EQ(fileBytes(dir / "t.tga"), expected);
}

namespace {

QImage decodeBanded(const QByteArray& png) {
    QImage image;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(png.constData());
    const bool ok =
        decodeBandedPng(std::span(bytes, static_cast<std::size_t>(png.size())), kMaxGraphicsSide,
                        [&](int width, int height, std::size_t& stride) {
                            image = QImage(width, height, QImage::Format_RGB32);
                            stride = static_cast<std::size_t>(image.bytesPerLine()) / 4;
                            return reinterpret_cast<std::uint32_t*>(image.bits());
                        });
    return ok ? image : QImage();
}

}  // namespace

TEST(PngEncoder, BandedReaderRefusesOtherAndDamagedFiles) {
    QImage image(300, 200, QImage::Format_RGB32);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 300; ++x) image.setPixel(x, y, qRgb(x & 255, (x * y) & 255, y));
    const QByteArray png = encodePng(image, 2);
    ASSERT_FALSE(decodeBanded(png).isNull());
    // Qt's own file has no band index: left to the general reader.
    QByteArray qt;
    {
        QBuffer buffer(&qt);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter(&buffer, "png").write(image);
    }
    EXPECT_TRUE(decodeBanded(qt).isNull());
    // Cut anywhere, or any byte changed: refused or a picture of the right
    // size, never a crash (the sanitizer build runs this too).
    for (int cut = 0; cut < png.size(); cut += 97)
        EXPECT_TRUE(decodeBanded(png.left(cut)).isNull());
    for (int at = 8; at < std::min<int>(png.size(), 400); ++at) {
        QByteArray damaged = png;
        damaged[at] = static_cast<char>(damaged[at] ^ 0x5A);
        const QImage read = decodeBanded(damaged);
        EXPECT_TRUE(read.isNull() || read.size() == image.size() ||
                    read.width() <= kMaxGraphicsSide);
    }
}

TEST(PngEncoder, BandsOnThreadsReadBackPixelForPixel) {
    // Noise and flat runs, an odd width, and more bands than some heights hold.
    for (const QSize size : {QSize(1, 1), QSize(333, 129), QSize(50, 700)}) {
        QImage image(size, QImage::Format_RGB32);
        std::uint32_t seed = 12345;
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x) {
                seed = seed * 1103515245u + 12345u;
                image.setPixel(x, y, y % 3 ? qRgb(x & 255, y & 255, 7) : 0xFF000000u | (seed >> 8));
            }
        image.setDotsPerMeterX(3780);
        image.setDotsPerMeterY(3780);
        for (int threads : {1, 2, 5}) {
            const QByteArray png = encodePng(image, threads);
            QImage back;
            ASSERT_TRUE(back.loadFromData(png, "png")) << size.width() << " " << threads;
            back.convertTo(QImage::Format_RGB32);
            EXPECT_EQ(back, image) << size.width() << " " << threads;
            EXPECT_EQ(back.dotsPerMeterX(), 3780);
            // Our own reader inflates the bands side by side to the same pixels.
            EXPECT_EQ(decodeBanded(png), image) << size.width() << " " << threads;
        }
    }
    EXPECT_TRUE(encodePng(QImage()).isEmpty());
}

namespace {

// A picture for the loads in the background: an odd width, rows of noise
// between flat ones, tall enough that the map is still being decoded when
// the load returns with the first rows.
QImage busyPicture(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    std::uint32_t seed = 99;
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            seed = seed * 1103515245u + 12345u;
            line[x] =
                y % 4 ? qRgb(x & 255, (y / 3) & 255, (x ^ y) & 255) : 0xFF000000u | (seed >> 8);
        }
    }
    return image;
}

QImage qtReads(const std::string& path) {
    QImage image(QString::fromStdString(path), "png");
    image.convertTo(QImage::Format_RGB32);
    return image;
}

}  // namespace

TEST(ModuleGraphics, BackgroundLoadReadsWhatQtReads) {
    TempDir dir;
    const QImage picture = busyPicture(1001, 3000);
    // As QMX writes it (bands inflated side by side), as Qt writes it (one
    // stream, rows in order), and in grey.
    ASSERT_TRUE(ModuleGraphics(picture).save(dir / "banded.qm4").ok());
    ASSERT_TRUE(picture.save(QString::fromStdString(dir / "plain.PNG"), "png"));
    ASSERT_TRUE(picture.convertToFormat(QImage::Format_Grayscale8)
                    .save(QString::fromStdString(dir / "grey.PNG"), "png"));
    for (const std::string name : {"banded", "plain", "grey"}) {
        const std::string module = dir / (name + ".qm4");
        const QImage qt = qtReads(ModuleGraphics::graphicsName(module));
        ASSERT_FALSE(qt.isNull());
        ModuleGraphics g;
        ASSERT_TRUE(g.loadInBackground(module, 100).ok()) << name;
        EXPECT_TRUE(g.rowsReady({0, 100})) << name;
        // Read while the rest arrives: every row said to be there is Qt's.
        do {
            const QImage& so = g.imageSoFar();
            for (const RowSpan& run : g.readyRows())
                for (int y = run.begin; y < run.end; ++y)
                    ASSERT_EQ(std::memcmp(so.constScanLine(y), qt.constScanLine(y),
                                          static_cast<std::size_t>(qt.width()) * 4),
                              0)
                        << name << " row " << y;
        } while (g.decoding());
        ASSERT_TRUE(g.waitComplete()) << name;
        EXPECT_FALSE(g.decodeFailed());
        EXPECT_EQ(g.image(), qt) << name;
        EXPECT_EQ(g.image().dotsPerMeterX(), qt.dotsPerMeterX()) << name;
        // The synchronous load reads the same.
        ModuleGraphics whole;
        ASSERT_TRUE(whole.load(module).ok());
        EXPECT_EQ(whole.image(), qt) << name;
    }
    // A painter other than the board view's (an after-action report, a
    // render) waits for the whole picture.
    {
        const Module module = Module::createEmpty(10, 10, GridOrientation::RowsAligned, 1);
        const GameState state(module);
        ModuleGraphics g;
        ASSERT_TRUE(g.loadInBackground(dir / "banded.qm4", 10).ok());
        const BoardPainter painter(module, g, state);
        EXPECT_FALSE(g.decoding());
        EXPECT_FALSE(g.decodeFailed());
    }
    // Gone, or replaced by another, while decoding: the workers stop first.
    for (int i = 0; i < 3; ++i) {
        auto g = std::make_unique<ModuleGraphics>();
        ASSERT_TRUE(g->loadInBackground(dir / "banded.qm4", 10).ok());
        ModuleGraphics other;
        ASSERT_TRUE(other.loadInBackground(dir / "plain.qm4", 10).ok());
        *g = std::move(other);
        ASSERT_TRUE(g->loadInBackground(dir / "grey.qm4", 10).ok());
        g.reset();
    }
}

TEST(ModuleGraphics, DamageFoundInTheBackgroundLeavesBlankRows) {
    TempDir dir;
    const QImage picture = busyPicture(601, 2000);
    ASSERT_TRUE(ModuleGraphics(picture).save(dir / "bad.qm4").ok());
    // Zeros over a part of the second band's data: the chunks stay whole, so
    // the damage shows only when the rows there are inflated.
    std::string bytes = fileBytes(dir / "bad.PNG");
    std::fill_n(bytes.begin() + static_cast<long>(bytes.size() * 3 / 4), 64, '\0');
    writeBytes(dir / "bad.PNG", bytes);

    ModuleGraphics g;
    ASSERT_TRUE(g.loadInBackground(dir / "bad.qm4", 50).ok());
    EXPECT_EQ(g.image().copy(0, 0, 601, 50), picture.copy(0, 0, 601, 50));
    EXPECT_FALSE(g.waitComplete());
    EXPECT_TRUE(g.decodeFailed());
    EXPECT_FALSE(g.decoding());
    EXPECT_EQ(g.image().size(), picture.size());
    EXPECT_EQ(g.image().pixel(600, 1999), 0xFF000000u | kBlankMapColour);
    // Read whole, it is refused and the image stays as it was.
    ModuleGraphics whole(solid(4, 4, qRgb(10, 20, 30)));
    EXPECT_EQ(whole.load(dir / "bad.qm4").status, GraphicsStatus::Unreadable);
    EXPECT_EQ(whole.image().size(), QSize(4, 4));
}
