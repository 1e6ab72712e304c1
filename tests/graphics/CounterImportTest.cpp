#include <gtest/gtest.h>

#include <QPainter>
#include <fstream>

#include "graphics/CounterImport.h"
#include "graphics/ModuleGraphics.h"
#include "tests/support/ModuleBuilder.h"
#include "tests/support/TempFolder.h"

using namespace qmx;

namespace {

constexpr QRgb kRed = 0xFFFF0000;
constexpr QRgb kGreen = 0xFF00FF00;
constexpr QRgb kBlue = 0xFF0000FF;
constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kYellow = 0xFFFFFF00;

QImage solid(int w, int h, QRgb colour) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(colour);
    return img;
}

// The colour at the middle of unit image k.
QRgb centreOf(const Module& m, const ModuleGraphics& g, int k) {
    const QRect cell = g.unitImageSource(m, k).value();
    return g.image().pixel(cell.center());
}

}  // namespace

// A folder of pictures of three formats and sizes, a file that is no picture
// and a damaged one: the order is natural, each picture lands scaled in its
// cell, the damaged file is named and takes no cell, and what does not fit
// the sheet is counted.
TEST(CounterImport, FolderInNaturalOrderScaledIntoTheCells) {
    test::TempFolder dir("qmx_counters");
    auto path = [&](const char* name) { return (dir / name).string(); };
    ASSERT_TRUE(solid(80, 80, kBlue).save(QString::fromStdString(path("c10.png"))));
    ASSERT_TRUE(solid(40, 40, kRed).save(QString::fromStdString(path("c2.bmp"))));
    // Tall and narrow, white at its top-left: centred on white.
    QImage tall = solid(20, 40, kGreen);
    tall.setPixel(0, 0, kWhite);
    ASSERT_TRUE(writeTga(tall, path("C1.tga")));
    std::ofstream(path("broken.png")) << "not a picture";
    std::ofstream(path("notes.txt")) << "read me";

    const CounterImport source = CounterImport::fromFolder(dir.path().string());
    ASSERT_TRUE(source.ok()) << source.error();
    EXPECT_EQ(source.names(),
              (std::vector<std::string>{"broken.png", "C1.tga", "c2.bmp", "c10.png"}));

    Module m = test::ModuleBuilder::newModule(10, 6, 3).build();
    ASSERT_GE(m.imageCapacity(), 8);
    EXPECT_EQ(defaultFirstImage(m), 1);  // a new module's units all show image 1
    ModuleGraphics g = ModuleGraphics::createBlank(m);
    const CounterImportResult r = source.place(m, g, 2);
    EXPECT_EQ(r.placed, 3);
    EXPECT_EQ(r.leftOut, 0);
    ASSERT_EQ(r.unreadable.size(), 1u);
    EXPECT_EQ(r.unreadable[0].rfind("broken.png (", 0), 0u) << r.unreadable[0];
    EXPECT_EQ(centreOf(m, g, 1), 0xFFCCCCCC);  // untouched
    EXPECT_EQ(centreOf(m, g, 2), kGreen);
    EXPECT_EQ(centreOf(m, g, 3), kRed);
    EXPECT_EQ(centreOf(m, g, 4), kBlue);
    const QRect two = g.unitImageSource(m, 2).value();
    EXPECT_EQ(g.image().pixel(two.x() + 3, two.y() + 20), kWhite);          // the padding
    EXPECT_EQ(g.image().pixel(two.right() + 1, two.y() + 20), 0xFFCCCCCC);  // the cell line stays
    EXPECT_EQ(r.text(),
              "3 pictures placed as unit images 2 to 4. Not read: " + r.unreadable[0] + ".");

    // From the sheet's second-to-last image: two fit, one is left out unread.
    const int capacity = m.imageCapacity();
    const CounterImportResult full = source.place(m, g, capacity - 1);
    EXPECT_EQ(full.placed, 2);
    EXPECT_EQ(full.leftOut, 1);
    EXPECT_EQ(centreOf(m, g, capacity), kRed);
    EXPECT_EQ(importPreview(4, capacity - 1, capacity),
              "4 pictures \u2192 images " + std::to_string(capacity - 1) + " to " +
                  std::to_string(capacity) + "; 2 left out (the sheet holds " +
                  std::to_string(capacity) + " images)");

    m.units[2].stepImage = {5, 9, 0, 0, 0, 0};
    EXPECT_EQ(defaultFirstImage(m), 10);
    EXPECT_FALSE(CounterImport::fromFolder(path("c2.bmp")).ok());
}

// A sheet of 3 x 2 cells of 50 x 50 with a strip left over at the right and
// one empty cell: the cells are taken row by row, the empty one passed over.
TEST(CounterImport, SheetCutIntoCellsRowByRow) {
    test::TempFolder dir("qmx_counters");
    const std::string sheetPath = (dir / "sheet.png").string();
    QImage sheet = solid(170, 100, kWhite);
    const QRgb colours[] = {kRed, kGreen, kBlue, kYellow, 0, 0xFF808080};
    {
        QPainter p(&sheet);
        for (int i = 0; i < 6; ++i) {
            if (colours[i] == 0) continue;  // the empty cell
            const QRect cell((i % 3) * 50, (i / 3) * 50, 50, 50);
            p.fillRect(cell.adjusted(2, 2, -2, -2), QColor::fromRgb(colours[i]));
        }
        p.fillRect(155, 0, 15, 100, Qt::black);  // not a whole cell: ignored
    }
    ASSERT_TRUE(sheet.save(QString::fromStdString(sheetPath)));

    const CounterImport source = CounterImport::fromSheet(sheetPath, 50, 50);
    ASSERT_TRUE(source.ok()) << source.error();
    EXPECT_EQ(source.count(), 5);
    EXPECT_EQ(source.blankCells(), 1);
    EXPECT_EQ(source.names()[4], "sheet.png cell 6 (row 2, column 3)");

    Module m = test::ModuleBuilder::newModule(10, 6, 3).build();
    ModuleGraphics g = ModuleGraphics::createBlank(m);
    const CounterImportResult r = source.place(m, g, 3);
    EXPECT_EQ(r.placed, 5);
    EXPECT_EQ(centreOf(m, g, 3), kRed);
    EXPECT_EQ(centreOf(m, g, 5), kBlue);
    EXPECT_EQ(centreOf(m, g, 6), kYellow);
    EXPECT_EQ(centreOf(m, g, 7), 0xFF808080);
    // The white rim of the 50 x 50 cell, scaled down, stays at the edge.
    const QRect cell = g.unitImageSource(m, 3).value();
    EXPECT_EQ(g.image().pixel(cell.topLeft()), kWhite);
    EXPECT_EQ(r.text(),
              "5 pictures placed as unit images 3 to 7. 1 cell of one colour was passed over.");

    EXPECT_FALSE(CounterImport::fromSheet(sheetPath, 200, 50).ok());  // not one cell
    EXPECT_FALSE(CounterImport::fromSheet((dir / "none.png").string(), 50, 50).ok());
}
