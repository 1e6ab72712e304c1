// File-name rules of the editor's dialogs and the hex-name report's bytes.
#include <gtest/gtest.h>

#include "editor/shell/EditorFiles.h"

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
    EXPECT_EQ(exportSaveName("/m/map.png", 1), "/m/map.png.bmp");
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
