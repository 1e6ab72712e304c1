// The pcx, Sun raster and Targa readers, on files written byte by byte and on
// files other programs wrote (see data/README).
#include <gtest/gtest.h>

#include "core/edit/LegacyImages.h"
#include "core/module/FileIo.h"

using namespace qmx;

namespace {

std::vector<std::uint8_t> pcxHeader(int width, int height, int bits, int planes, int bytesPerLine) {
    std::vector<std::uint8_t> h(128, 0);
    h[0] = 0x0A;
    h[1] = 5;
    h[2] = 1;  // RLE
    h[3] = static_cast<std::uint8_t>(bits);
    h[8] = static_cast<std::uint8_t>(width - 1);
    h[10] = static_cast<std::uint8_t>(height - 1);
    h[65] = static_cast<std::uint8_t>(planes);
    h[66] = static_cast<std::uint8_t>(bytesPerLine);
    return h;
}

void append(std::vector<std::uint8_t>& to, std::initializer_list<int> bytes) {
    for (int b : bytes) to.push_back(static_cast<std::uint8_t>(b));
}

std::vector<std::uint8_t> rasHeader(int width, int height, int depth, int type, int mapType,
                                    int mapLength) {
    std::vector<std::uint8_t> h;
    auto be = [&h](std::uint32_t v) {
        for (int s = 24; s >= 0; s -= 8) h.push_back(static_cast<std::uint8_t>(v >> s));
    };
    be(0x59A66A95u);
    be(static_cast<std::uint32_t>(width));
    be(static_cast<std::uint32_t>(height));
    be(static_cast<std::uint32_t>(depth));
    be(0);
    be(static_cast<std::uint32_t>(type));
    be(static_cast<std::uint32_t>(mapType));
    be(static_cast<std::uint32_t>(mapLength));
    return h;
}

std::vector<std::uint8_t> dataFile(const std::string& name) {
    auto bytes = readWholeFile(std::string(QMX_TABLE_DATA) + "/" + name);
    return bytes ? *bytes : std::vector<std::uint8_t>{};
}

// The pixels of a binary netpbm file (P6 colour or P5 grey) as RGB.
std::vector<std::uint8_t> netpbmPixels(const std::string& name) {
    const std::vector<std::uint8_t> f = dataFile(name);
    const std::size_t header = std::string(f.begin(), f.end()).find("255\n") + 4;
    std::vector<std::uint8_t> rgb;
    for (std::size_t i = header; i < f.size(); ++i)
        rgb.insert(rgb.end(), f[1] == '5' ? 3 : 1, f[i]);
    return rgb;
}

}  // namespace

TEST(OtherWriters, EveryTargaAndPcxVariantReadsAsItsSource) {
    const std::vector<std::uint8_t> colour = netpbmPixels("ref.ppm");
    ASSERT_EQ(colour.size(), 45u);
    for (const char* name :
         {"nb-24.tga", "nb-24-rle.tga", "nb-cmap.tga", "nb-cmap-rle.tga", "im-24.tga",
          "im-24-rle.tga", "im-cmap-rle.tga", "im-32.tga", "im-8.pcx", "im-24.pcx", "im-rgba.pcx",
          "nb-packed.pcx", "nb-4plane.pcx"}) {
        const std::string format = std::string(name).substr(std::string(name).size() - 3);
        const LegacyImage img = decodeLegacyImage(format, dataFile(name));
        ASSERT_TRUE(img.ok()) << name << ": " << img.reason;
        EXPECT_EQ(img.width, 5) << name;
        EXPECT_EQ(img.rgb, colour) << name;
    }
    const LegacyImage grey = decodeTarga(dataFile("im-grey-rle.tga"));
    ASSERT_TRUE(grey.ok()) << grey.reason;
    EXPECT_EQ(grey.rgb, netpbmPixels("ref-grey.pgm"));
}

TEST(Targa, SixteenBitsRightToLeftAndRunsAcrossRows) {
    // 2 x 2, 16-bit, RLE, top-left origin and right to left: one run of three
    // pure red pixels crosses from row 1 into row 2, then one raw blue pixel.
    std::vector<std::uint8_t> f(18, 0);
    f[2] = 10, f[12] = 2, f[14] = 2, f[16] = 16, f[17] = 0x30;
    append(f, {0x82, 0x00, 0x7C, 0x00, 0x1F, 0x00});
    const LegacyImage img = decodeTarga(f);
    ASSERT_TRUE(img.ok()) << img.reason;
    const std::vector<std::uint8_t> expected = {255, 0, 0, 255, 0, 0, 0, 0, 255, 255, 0, 0};
    EXPECT_EQ(img.rgb, expected);
}

TEST(Targa, DamagedFilesAreRefusedWithAReason) {
    std::vector<std::uint8_t> f = dataFile("nb-24-rle.tga");
    ASSERT_FALSE(f.empty());
    f.resize(f.size() - 10);
    EXPECT_EQ(decodeTarga(f).reason, "it is cut short");
    std::vector<std::uint8_t> mapped = dataFile("nb-cmap.tga");
    mapped.back() = 200;  // an index past the colour map
    EXPECT_FALSE(decodeTarga(mapped).ok());
    EXPECT_FALSE(decodeTarga(dataFile("ref.ppm")).ok());
    std::vector<std::uint8_t> odd(18, 0);
    odd[2] = 2, odd[12] = 1, odd[14] = 1, odd[16] = 12;
    EXPECT_FALSE(decodeTarga(odd).reason.empty());
}

TEST(Pcx, EightBitWithPaletteAndRuns) {
    // 3 x 2, two bytes per line (the last is padding).
    auto f = pcxHeader(3, 2, 8, 1, 4);
    append(f, {0xC3, 1, 0x00});        // row 1: 1 1 1 0
    append(f, {2, 0xC1, 0xC5, 1, 0});  // row 2: 2 0xC5 1 0 (a literal above 0xC0 in a run of 1)
    f.push_back(0x0C);
    std::vector<std::uint8_t> palette(768, 0);
    palette[3] = 10, palette[4] = 20, palette[5] = 30;    // colour 1
    palette[6] = 200, palette[7] = 100, palette[8] = 50;  // colour 2
    palette[0xC5 * 3] = 7, palette[0xC5 * 3 + 1] = 8, palette[0xC5 * 3 + 2] = 9;
    f.insert(f.end(), palette.begin(), palette.end());
    const LegacyImage img = decodePcx(f);
    ASSERT_TRUE(img.ok());
    EXPECT_EQ(img.width, 3);
    EXPECT_EQ(img.height, 2);
    const std::vector<std::uint8_t> expected = {10,  20,  30, 10, 20, 30, 10, 20, 30,
                                                200, 100, 50, 7,  8,  9,  10, 20, 30};
    EXPECT_EQ(img.rgb, expected);
}

TEST(Pcx, TwentyFourBitPlanes) {
    auto f = pcxHeader(2, 1, 8, 3, 2);
    append(f, {0xC2, 255, 1, 2, 0xC2, 9});  // red 255 255, green 1 2, blue 9 9
    const LegacyImage img = decodePcx(f);
    ASSERT_TRUE(img.ok());
    const std::vector<std::uint8_t> expected = {255, 1, 9, 255, 2, 9};
    EXPECT_EQ(img.rgb, expected);
}

TEST(Pcx, DamagedFilesAreRefused) {
    auto f = pcxHeader(3, 2, 8, 1, 4);
    append(f, {0xC3, 1});  // data ends early and there is no palette
    EXPECT_FALSE(decodePcx(f).ok());
    auto narrow = pcxHeader(100, 1, 8, 1, 4);  // lines too short for the width
    EXPECT_FALSE(decodePcx(narrow).ok());
    auto odd = pcxHeader(2, 2, 2, 2, 2);  // a kind no painter wrote
    EXPECT_FALSE(decodePcx(odd).ok());
    EXPECT_FALSE(decodePcx(std::vector<std::uint8_t>(10, 0x0A)).ok());
}

TEST(SunRaster, TwentyFourBitsArePaddedToSixteenBitsAndStoredBgr) {
    auto f = rasHeader(1, 2, 24, 1, 0, 0);
    append(f, {3, 2, 1, 0, 6, 5, 4, 0});
    const LegacyImage img = decodeSunRaster(f);
    ASSERT_TRUE(img.ok());
    const std::vector<std::uint8_t> expected = {1, 2, 3, 4, 5, 6};
    EXPECT_EQ(img.rgb, expected);
}

TEST(SunRaster, RunLengthEncodedWithAColourMap) {
    auto f = rasHeader(4, 1, 8, 2, 1, 6);
    append(f, {10, 20, 30, 40, 50, 60});  // red, green, blue of colours 0 and 1
    append(f, {0x80, 2, 1, 0});           // three of colour 1, then colour 0
    const LegacyImage img = decodeSunRaster(f);
    ASSERT_TRUE(img.ok());
    const std::vector<std::uint8_t> expected = {20, 40, 60, 20, 40, 60, 20, 40, 60, 10, 30, 50};
    EXPECT_EQ(img.rgb, expected);
}

TEST(SunRaster, DamagedFilesAreRefused) {
    auto shortData = rasHeader(4, 4, 8, 1, 0, 0);
    append(shortData, {1, 2, 3});
    EXPECT_FALSE(decodeSunRaster(shortData).ok());
    auto badIndex = rasHeader(2, 1, 8, 1, 1, 3);
    append(badIndex, {1, 2, 3, 0, 5});  // index 5 of a one-colour map
    EXPECT_FALSE(decodeSunRaster(badIndex).ok());
    auto huge = rasHeader(100000, 100000, 24, 1, 0, 0);
    EXPECT_FALSE(decodeSunRaster(huge).ok());
    auto mapTooLong = rasHeader(1, 1, 8, 1, 1, 1000);
    EXPECT_FALSE(decodeSunRaster(mapTooLong).ok());
}
