#include <gtest/gtest.h>

#include <filesystem>

#include "graphics/ModuleGraphics.h"
#include "tests/tools/ToolTestSupport.h"

using namespace qmx;
using namespace qmx::tool;
using namespace qmx::tool::test;

namespace {

QImage solid(int w, int h, QRgb colour) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(colour);
    return img;
}

}  // namespace

class UnitImageCommands : public ToolFolderTest {};

// A folder and then a sheet go into the module image in place; the previous
// image is kept as the backup; wrong command lines change nothing.
TEST_F(UnitImageCommands, ImportWritesTheModuleImageInPlace) {
    Module m = Module::createEmpty(10, 6, GridOrientation::RowsAligned, 4);
    ModuleGraphics blank = ModuleGraphics::createBlank(m);
    const std::string module = write("Game.qm4", m);
    ASSERT_TRUE(blank.save(module).ok());
    const Bytes before = read("Game.PNG");

    std::filesystem::create_directory(path("counters"));
    ASSERT_TRUE(solid(40, 40, 0xFFFF0000).save(QString::fromStdString(path("counters/u1.png"))));
    ASSERT_TRUE(solid(60, 60, 0xFF00FF00).save(QString::fromStdString(path("counters/u2.bmp"))));
    ASSERT_TRUE(solid(40, 40, 0xFF0000FF).save(QString::fromStdString(path("counters/u10.png"))));

    ToolRun r = run({"unit-images", "import", module, path("counters")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "3 pictures placed as unit images 1 to 3.\n" + path("Game.PNG") +
                         " written (the previous one is " + path("Game.BAK") + ")\n");
    EXPECT_EQ(read("Game.BAK"), before);
    ModuleGraphics after;
    ASSERT_TRUE(after.load(module).ok());
    auto centre = [&](int k) { return after.image().pixel(after.unitImageSource(m, k)->center()); };
    EXPECT_EQ(centre(1), 0xFFFF0000);
    EXPECT_EQ(centre(2), 0xFF00FF00);
    EXPECT_EQ(centre(3), 0xFF0000FF);

    // A sheet of two cells of 20 x 20, from image 5 on: scaled up to 40 x 40.
    QImage sheet = solid(40, 20, 0xFF00FFFF);
    for (int y = 0; y < 20; ++y) sheet.setPixel(39, y, 0xFF000000);
    sheet.setPixel(0, 0, 0xFF000000);
    ASSERT_TRUE(sheet.save(QString::fromStdString(path("sheet.png"))));
    r = run({"unit-images", "import", module, path("sheet.png"), "--cell", "20x20", "--first=5"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.out.starts_with("2 pictures placed as unit images 5 to 6.\n")) << r.out;
    ASSERT_TRUE(after.load(module).ok());
    EXPECT_EQ(centre(5), 0xFF00FFFF);
    EXPECT_EQ(centre(3), 0xFF0000FF);  // the first import stays

    const Bytes now = read("Game.PNG");
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"unit-images", "export", module, path("counters")},
          {"unit-images", "import", module, path("sheet.png")},
          {"unit-images", "import", module, path("sheet.png"), "--cell", "20"},
          {"unit-images", "import", module, path("counters"), "--first", "100000"},
          {"unit-images", "import", module, path("nothing")}}) {
        r = run(args);
        EXPECT_NE(r.status, 0) << args[2];
        EXPECT_TRUE(r.err.starts_with("qmxtool: ")) << r.err;
    }
    EXPECT_NE(run({"unit-images", "import", module, path("sheet.png")}).err.find("needs --cell"),
              std::string::npos);
    EXPECT_EQ(read("Game.PNG"), now);
}
