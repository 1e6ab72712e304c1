// File-name rules of the editor's dialogs and the hex-name report's bytes.
#include <gtest/gtest.h>

#include "core/edit/EditorFiles.h"

using namespace qmx;

TEST(EditorFiles, ModuleAndReportNamesGetTheirExtension) {
    EXPECT_EQ(moduleSaveName("/m/turn"), "/m/turn.qm4");
    EXPECT_EQ(moduleSaveName("/m/turn.QM4"), "/m/turn.QM4");
    EXPECT_EQ(moduleSaveName("/m/turn.txt"), "/m/turn.qm4");
    EXPECT_EQ(reportSaveName("/m/names"), "/m/names.txt");
    EXPECT_EQ(reportSaveName("/m/names.TxT"), "/m/names.TxT");
    EXPECT_EQ(reportSaveName("/m/names.csv"), "/m/names.txt");
}

TEST(EditorFiles, ExportNamesFollowTheChosenEntry) {
    EXPECT_EQ(exportSaveName("/m/map", 0), "/m/map.png");
    EXPECT_EQ(exportSaveName("/m/map.png", 0), "/m/map.png");
    EXPECT_EQ(exportSaveName("/m/map.PNG", 0), "/m/map.PNG");
    EXPECT_EQ(exportSaveName("/m/map.png", 1), "/m/map.png");  // the type typed wins
    EXPECT_EQ(exportSaveName("/m/exp.tga", 0), "/m/exp.tga");
    EXPECT_EQ(exportSaveName("/m/my.map", 1), "/m/my.map.bmp");
    EXPECT_EQ(exportSaveName("/m/map", 4), "/m/map.tif");
    EXPECT_EQ(exportSaveName("/m/map.tiff", 4), "/m/map.tiff");
    EXPECT_EQ(exportSaveName("/m/map.jpeg", 5), "/m/map.jpeg");
    EXPECT_EQ(exportSaveName("/m/map", 99), "/m/map.png");
}

TEST(EditorFiles, FolderOfAPath) {
    EXPECT_EQ(folderOf("/home/a/modules/x.qm4"), "/home/a/modules");
    EXPECT_EQ(folderOf("x.qm4"), "");
}

TEST(EditorFiles, ReportListsRowByRowWithCrLfSpace) {
    Module m = Module::createEmpty(20, 20, GridOrientation::RowsAligned, 33);
    m.columns = 2;
    m.rows = 2;
    m.allocateTables();
    m.hex(1, 1).name = "A1";
    m.hex(2, 1).name = "";
    m.hex(1, 2).name = "A2";
    m.hex(2, 2).name = "B2";
    m.hex(1, 3).name = "extra row";  // the game's row is not reported
    const Bytes expected = {'A', '1', 13, 10,  ' ', 13,  10, ' ', 'A',
                            '2', 13,  10, ' ', 'B', '2', 13, 10,  ' '};
    EXPECT_EQ(hexNameReport(m), expected);
}

TEST(EditorFiles, DibHeadersTooLargeToAddressAreFound) {
    auto header = [](std::int32_t width, std::int32_t height, int bits) {
        std::vector<std::uint8_t> h(54, 0);
        h[0] = 'B';
        h[1] = 'M';
        for (int i = 0; i < 4; ++i) {
            h[18 + i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(width) >> (8 * i));
            h[22 + i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(height) >> (8 * i));
        }
        h[28] = static_cast<std::uint8_t>(bits);
        return h;
    };
    EXPECT_EQ(checkDib(header(12550, 10665, 24)), DibCheck::Fits);
    EXPECT_EQ(checkDib(header(12550, -10665, 24)), DibCheck::Fits);
    // 40,000 x 20,000 x 3 bytes is past 2^31.
    EXPECT_EQ(checkDib(header(40000, 20000, 24)), DibCheck::TooBig);
    EXPECT_EQ(checkDib(header(-5, 10, 24)), DibCheck::TooBig);
    std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G'};
    png.resize(54);
    EXPECT_EQ(checkDib(png), DibCheck::NotDib);
}
