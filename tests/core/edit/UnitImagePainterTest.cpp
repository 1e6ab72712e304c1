// The unit image painter against pixels: the pixel operations, the areas of
// the dialog, the armed tools, the buttons and the dialog's one-level undo.
#include <gtest/gtest.h>

#include <map>

#include "core/edit/UnitImagePainter.h"

using namespace qmx;

namespace {

constexpr Rgb kRed = 0xFF0000;
constexpr Rgb kGreen = 0x00FF00;
constexpr Rgb kBlue = 0x0000FF;

// Unit images in memory; every write is logged with its operation.
class MemoryStore : public UnitImageStore {
public:
    explicit MemoryStore(int capacity) : m_capacity(capacity) {
        for (int k = 1; k <= capacity; ++k) images[k] = blankUnitImage(0x101010 * (k % 15));
    }
    int capacity() const override { return m_capacity; }
    std::optional<PixelPicture> read(int k) const override {
        auto it = images.find(k);
        if (it == images.end()) return std::nullopt;
        return it->second;
    }
    void write(int k, const PixelPicture& image, const std::string& label, int operation) override {
        images[k] = image;
        writes.push_back({k, label, operation});
    }

    struct Write {
        int image;
        std::string label;
        int operation;
    };
    std::map<int, PixelPicture> images;
    std::vector<Write> writes;

private:
    int m_capacity;
};

// Dialog pixel of the centre of image pixel (px, py) in the enlarged image.
PixelPoint at(int px, int py) {
    return {kEnlargedArea.x + kZoom * px + 2, kEnlargedArea.y + kZoom * py + 2};
}

class PainterTest : public ::testing::Test {
protected:
    MemoryStore store{84};
    int first = 1;
    PainterColours colours{kRed, kWhite};
    UnitImagePainter painter{store, first, colours, 5};

    PixelPicture& current() { return store.images[painter.currentImage()]; }
    bool click(PixelPoint p, PainterButton b = PainterButton::Left) {
        const bool changed = painter.press(p.x, p.y, b);
        painter.release();
        return changed;
    }
    void whiteImage() { current() = blankUnitImage(kWhite); }
};

}  // namespace

TEST(PixelPictureTest, FloodFillTakesTheSideConnectedAreaOnly) {
    PixelPicture p = blankUnitImage(kWhite);
    // A closed ring of blue around (10..14, 10..14) with a diagonal gap at a
    // corner: a fill does not leak through corners.
    for (int i = 9; i <= 15; ++i) {
        p.set(i, 9, kBlue), p.set(i, 15, kBlue), p.set(9, i, kBlue), p.set(15, i, kBlue);
    }
    p.set(15, 15, kWhite);
    floodFill(p, 12, 12, kGreen);
    EXPECT_EQ(p.at(10, 10), kGreen);
    EXPECT_EQ(p.at(14, 14), kGreen);
    EXPECT_EQ(p.at(16, 16), kWhite);
    EXPECT_EQ(p.at(0, 0), kWhite);
    floodFill(p, 0, 0, kRed);
    EXPECT_EQ(p.at(39, 39), kRed);
    EXPECT_EQ(p.at(15, 15), kRed);  // the corner pixel belongs to the outside
    EXPECT_EQ(p.at(12, 12), kGreen);
    const PixelPicture before = p;
    floodFill(p, 40, 0, kBlue);  // outside: nothing
    floodFill(p, 0, 0, kRed);    // its own colour: nothing
    EXPECT_EQ(p, before);
}

TEST(PixelPictureTest, BorderSwapAndStamp) {
    PixelPicture p = blankUnitImage(kWhite);
    drawBorder(p, kBlue);
    int blue = 0;
    for (Rgb c : p.pixels()) blue += c == kBlue;
    EXPECT_EQ(blue, 4 * 39);
    EXPECT_EQ(p.at(0, 0), kBlue);
    EXPECT_EQ(p.at(39, 20), kBlue);
    EXPECT_EQ(p.at(1, 1), kWhite);

    p.set(5, 5, kRed);
    const PixelPicture before = p;
    swapColours(p, kBlue, kWhite);
    EXPECT_EQ(p.at(0, 0), kWhite);
    EXPECT_EQ(p.at(1, 1), kBlue);
    EXPECT_EQ(p.at(5, 5), kRed);
    swapColours(p, kBlue, kWhite);
    EXPECT_EQ(p, before);

    PixelPicture source(3, 1, kWhite);
    source.set(0, 0, kGreen);
    source.set(2, 0, kBlack);
    stampTransparent(p, source, {0, 0, 3, 1}, 38, 5);  // the last pixel falls outside
    EXPECT_EQ(p.at(38, 5), kGreen);
    EXPECT_EQ(p.at(39, 5), kBlue);  // white left out
}

TEST_F(PainterTest, StripScrollsWithinTheSheet) {
    painter.spin(-1);
    EXPECT_EQ(painter.firstShownImage(), 1);
    painter.spin(5);
    EXPECT_EQ(first, 16);  // the shared value follows
    painter.spin(100);
    EXPECT_EQ(first, 84 - 23);  // the last 24 images, image 84 the last cell
    EXPECT_EQ(painter.shownCount(), 24);

    MemoryStore small(10);
    int f = 7;
    UnitImagePainter few(small, f, colours);
    EXPECT_EQ(f, 1);  // fewer images than cells: never before image 1
    EXPECT_EQ(few.shownCount(), 10);
    EXPECT_EQ(few.currentImage(), 1);
}

TEST_F(PainterTest, StripClickChoosesTheImageAndDropsTheUndoCopy) {
    painter.spin(1);                             // images 4..27
    const PixelPoint cell = stripCellCorner(4);  // column 1, row 1: image 4 + 4
    ASSERT_TRUE(painter.border());
    EXPECT_TRUE(click({cell.x + 20, cell.y + 20}));
    EXPECT_EQ(painter.currentImage(), 8);
    EXPECT_FALSE(painter.undoHeld());
    EXPECT_FALSE(painter.undo());  // the border of image 5 is not pasted onto image 8

    MemoryStore small(10);
    int f = 1;
    UnitImagePainter few(small, f, colours);
    const PixelPoint empty = stripCellCorner(12);
    EXPECT_FALSE(few.press(empty.x + 5, empty.y + 5, PainterButton::Left));
    EXPECT_EQ(few.currentImage(), 1);
}

TEST_F(PainterTest, SymbolStampKeepsTheImageWhereTheSymbolIsWhite) {
    current() = blankUnitImage(kGreen);
    const PixelPicture before = current();
    const PixelPoint cell = symbolCorner(2, 1);
    ASSERT_TRUE(click({cell.x + 3, cell.y + 3}));
    const PixelPicture& face = painterFace();
    int inked = 0;
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 40; ++x) {
            const int sx = x - kSymbolOffset.x;
            const int sy = y - kSymbolOffset.y;
            Rgb want = kGreen;
            if (sx >= 0 && sy >= 0 && sx < kSymbolWidth && sy < kSymbolHeight &&
                face.at(cell.x + sx, cell.y + sy) != kWhite) {
                want = face.at(cell.x + sx, cell.y + sy);
                ++inked;
            }
            ASSERT_EQ(current().at(x, y), want) << x << "," << y;
        }
    }
    EXPECT_GT(inked, 60);  // the frame at least
    EXPECT_EQ(current().at(8, 6), kBlack);
    EXPECT_TRUE(painter.undo());
    EXPECT_EQ(current(), before);

    // Cells without a symbol, under the glyph strips or past the edge, do nothing.
    store.writes.clear();
    EXPECT_FALSE(click({kSymbolArea.x + kSymbolArea.width - 2, kSymbolArea.y + 5}));
    EXPECT_FALSE(click({560, 215}));
    EXPECT_TRUE(store.writes.empty());
}

TEST_F(PainterTest, GlyphsPreviewFollowThePointerAndStayInsideTheImage) {
    whiteImage();
    const PixelRect small = smallGlyphRect(3);
    ASSERT_TRUE(click({small.x + 1, 188}));
    EXPECT_EQ(painter.tool(), PainterTool::Glyph);
    EXPECT_EQ(painter.glyph(), (PixelRect{398, 185, 5, 6}));
    const PixelPicture& face = painterFace();
    auto expectGlyphAt = [&](const PixelRect& g, int gx, int gy) {
        for (int y = 0; y < 40; ++y) {
            for (int x = 0; x < 40; ++x) {
                const bool in = x >= gx && y >= gy && x < gx + g.width && y < gy + g.height;
                const Rgb ink = in ? face.at(g.x + x - gx, g.y + y - gy) : kWhite;
                ASSERT_EQ(current().at(x, y), ink) << x << "," << y;
            }
        }
    };
    PixelPoint p = at(10, 12);
    ASSERT_TRUE(painter.move(p.x, p.y, false, false));
    expectGlyphAt(painter.glyph(), 10, 12);
    p = at(3, 4);
    painter.move(p.x, p.y, false, false);
    expectGlyphAt(painter.glyph(), 3, 4);  // the earlier preview is gone
    // Buttons and other areas wait while the glyph is armed.
    EXPECT_FALSE(painter.border());
    const PixelPoint cell = stripCellCorner(0);
    ASSERT_TRUE(click({cell.x + 5, cell.y + 5}));  // fixes the glyph, chooses nothing
    EXPECT_EQ(painter.tool(), PainterTool::None);
    EXPECT_EQ(painter.currentImage(), 5);
    expectGlyphAt(painter.glyph(), 3, 4);
    painter.move(p.x + 30, p.y + 30, false, false);  // placed: no longer follows
    expectGlyphAt(painter.glyph(), 3, 4);

    // A large glyph near the bottom-right corner is moved in.
    whiteImage();
    ASSERT_TRUE(click({largeGlyphRect(10).x + 7, 215}));
    EXPECT_EQ(painter.glyph(), (PixelRect{479, 209, 8, 12}));
    p = at(38, 39);
    painter.move(p.x, p.y, false, false);
    expectGlyphAt(painter.glyph(), 32, 28);
    painter.move(2, 2, false, false);  // far up and left: the top-left corner
    expectGlyphAt(painter.glyph(), 0, 0);
    click({300, 300});
    EXPECT_TRUE(painter.undo());
    EXPECT_EQ(current(), blankUnitImage(kWhite));

    // Clicks beside the glyphs take the nearest.
    ASSERT_TRUE(click({kSmallGlyphArea.x, 188}));
    EXPECT_EQ(painter.glyph(), smallGlyphRect(1));
    click({300, 300});
    ASSERT_TRUE(click({kLargeGlyphArea.x + kLargeGlyphArea.width - 1, 207}));
    EXPECT_EQ(painter.glyph(), largeGlyphRect(10));
}

TEST_F(PainterTest, PaintingAndDragPaintingFormOneStroke) {
    whiteImage();
    colours.background = kBlue;
    const PixelPoint p = at(4, 4);
    ASSERT_TRUE(painter.press(p.x, p.y, PainterButton::Left));
    EXPECT_TRUE(painter.dragPainting());
    for (int x = 5; x < 9; ++x) painter.move(at(x, 4).x, at(x, 4).y, true, false);
    painter.move(at(9, 6).x, at(9, 6).y, false, true);  // the right button paints the background
    painter.move(300, 300, true, false);                // outside the image: nothing
    painter.release();
    for (int x = 4; x < 9; ++x) EXPECT_EQ(current().at(x, 4), kRed);
    EXPECT_EQ(current().at(9, 6), kBlue);
    EXPECT_EQ(current().at(9, 4), kWhite);
    const int operation = store.writes.front().operation;
    for (const auto& w : store.writes) EXPECT_EQ(w.operation, operation);

    // After the release moves paint nothing; the edge pixel at x 50 is not the image's.
    painter.move(at(20, 20).x, at(20, 20).y, true, false);
    EXPECT_EQ(current().at(20, 20), kWhite);
    EXPECT_FALSE(click({kEnlargedArea.x, kEnlargedArea.y + 10}));
    ASSERT_TRUE(click({kEnlargedArea.x + 199, kEnlargedArea.y + 199}, PainterButton::Right));
    EXPECT_EQ(current().at(39, 39), kBlue);
    EXPECT_GT(store.writes.back().operation, operation);

    // The one-level undo takes back the last stroke only.
    EXPECT_TRUE(painter.undo());
    EXPECT_EQ(current().at(39, 39), kWhite);
    EXPECT_EQ(current().at(4, 4), kRed);
}

TEST_F(PainterTest, FillFloodsTheAreaUnderTheClick) {
    whiteImage();
    ASSERT_TRUE(painter.border());  // a red ring
    ASSERT_TRUE(painter.armFill());
    EXPECT_EQ(painter.cursor(), PainterCursor::Fill);
    EXPECT_FALSE(painter.border());  // no button works while a tool is armed, fill too
    const PixelPoint p = at(20, 20);
    colours.background = kGreen;
    ASSERT_TRUE(click(p, PainterButton::Right));
    EXPECT_EQ(painter.tool(), PainterTool::None);
    EXPECT_EQ(current().at(1, 1), kGreen);
    EXPECT_EQ(current().at(38, 38), kGreen);
    EXPECT_EQ(current().at(0, 0), kRed);
    EXPECT_EQ(store.writes.back().label, "Fill");
    click(at(20, 20));  // disarmed: paints one pixel
    EXPECT_EQ(current().at(20, 20), kRed);
    EXPECT_EQ(current().at(21, 20), kGreen);
}

TEST_F(PainterTest, BorderUndoSwapCopyPaste) {
    whiteImage();
    const PixelPicture plain = current();
    EXPECT_FALSE(painter.undo() && current() != plain);
    ASSERT_TRUE(painter.border());
    EXPECT_EQ(current().at(0, 39), kRed);
    EXPECT_EQ(current().at(39, 0), kRed);
    EXPECT_EQ(current().at(1, 38), kWhite);
    ASSERT_TRUE(painter.undo());
    EXPECT_EQ(current(), plain);

    painter.border();
    const PixelPicture framed = current();
    ASSERT_TRUE(painter.swapForeBack());
    EXPECT_EQ(current().at(0, 0), kWhite);
    EXPECT_EQ(current().at(5, 5), kRed);
    painter.swapForeBack();
    EXPECT_EQ(current(), framed);

    store.writes.clear();
    EXPECT_FALSE(painter.paste());  // nothing copied yet
    EXPECT_TRUE(store.writes.empty());
    painter.copy();
    EXPECT_EQ(painter.copySource(), 5);
    const PixelPoint six = stripCellCorner(5);
    click({six.x + 5, six.y + 5});
    ASSERT_EQ(painter.currentImage(), 6);
    const PixelPicture sixBefore = current();
    ASSERT_TRUE(painter.paste());
    EXPECT_EQ(current(), framed);
    ASSERT_TRUE(painter.undo());
    EXPECT_EQ(current(), sixBefore);
}

TEST_F(PainterTest, ColourPicksFromTheSwatchAndThePalette) {
    const PixelRect& c = kColourPaletteArea;
    const PixelPicture& face = painterFace();
    // Straight onto the palette: left foreground, right background.
    ASSERT_TRUE(click({c.x + 5, c.y + 5}));
    EXPECT_EQ(colours.foreground, face.at(c.x + 5, c.y + 5));
    EXPECT_EQ(colours.foreground, 0x000000u);
    ASSERT_TRUE(click({c.x + 2 + 7 * 11 + 3, c.y + 2 + 10 * 17 + 5}, PainterButton::Right));
    EXPECT_EQ(colours.background, 0xFFFFFFu);  // the last cube colour
    painter.move(c.x + 10, c.y + 100, false, false);
    EXPECT_EQ(painter.cursor(), PainterCursor::Pick);
    painter.move(10, 10, false, false);
    EXPECT_EQ(painter.cursor(), PainterCursor::Arrow);

    // From the swatch: armed, then any screen pixel, here a strip image.
    ASSERT_TRUE(click({kSwatchArea.x + 2, kSwatchArea.y + 2}));
    EXPECT_EQ(painter.tool(), PainterTool::PickForeground);
    EXPECT_EQ(painter.cursor(), PainterCursor::Pick);
    EXPECT_FALSE(painter.swapForeBack());  // buttons wait
    const PixelPoint seven = stripCellCorner(6);
    ASSERT_TRUE(click({seven.x + 10, seven.y + 10}, PainterButton::Right));
    EXPECT_EQ(colours.foreground, 0x707070u);  // image 7's grey; the image did not change
    EXPECT_EQ(painter.currentImage(), 5);
    ASSERT_TRUE(click({kSwatchArea.x + 2, kSwatchArea.y + 2}, PainterButton::Right));
    EXPECT_EQ(painter.tool(), PainterTool::PickBackground);
    click({c.x + 2 + 7 * 5 + 1, c.y + 3});
    EXPECT_EQ(colours.background, 0x0000FFu);

    // The colours live on into the next opening.
    UnitImagePainter again(store, first, colours);
    EXPECT_EQ(again.foreground(), 0x707070u);
    EXPECT_EQ(again.background(), 0x0000FFu);
}

TEST_F(PainterTest, SurfaceShowsTheImageEnlargedAndTheSwatch) {
    whiteImage();
    click(at(3, 7));
    const PixelPicture s = painter.surface();
    for (int dy = 0; dy < 5; ++dy) {
        for (int dx = 0; dx < 5; ++dx) EXPECT_EQ(s.at(50 + 15 + dx, 235 + 35 + dy), kRed);
    }
    EXPECT_EQ(s.at(50 + 20, 235 + 35), kWhite);
    EXPECT_EQ(s.at(340, 385), kWhite);  // background
    EXPECT_EQ(s.at(419, 414), kWhite);
    EXPECT_EQ(s.at(365, 395), kRed);  // foreground inside
    EXPECT_EQ(s.at(394, 404), kRed);
    EXPECT_EQ(s.at(395, 404), kWhite);
    const PixelPoint cell = stripCellCorner(4);  // image 5, the current one
    EXPECT_EQ(s.at(cell.x + 3, cell.y + 7), kRed);
    EXPECT_EQ(s.at(cell.x - 2, cell.y - 2), 0x0000FFu);  // its frame
}

TEST_F(PainterTest, AnImageWithoutACellIsLeftAlone) {
    // A module whose numbers promise more cells than its image holds.
    store.images.erase(5);
    const PixelPoint p = at(3, 3);
    EXPECT_FALSE(click(p));
    EXPECT_FALSE(painter.border());
    EXPECT_FALSE(painter.swapForeBack());
    EXPECT_FALSE(painter.armFill());
    EXPECT_FALSE(click({smallGlyphRect(2).x, 187}));
    EXPECT_EQ(painter.tool(), PainterTool::None);
    const PixelPoint symbol = symbolCorner(0, 0);
    EXPECT_FALSE(click({symbol.x + 2, symbol.y + 2}));
    painter.copy();
    EXPECT_FALSE(painter.paste());
    EXPECT_TRUE(store.writes.empty());
    const PixelPicture s = painter.surface();
    EXPECT_EQ(s.at(p.x, p.y), 0xA0A0A0u);  // shown as an empty grey square

    MemoryStore none(0);
    int f = 1;
    UnitImagePainter empty(none, f, colours);
    EXPECT_EQ(empty.shownCount(), 0);
    EXPECT_FALSE(empty.press(p.x, p.y, PainterButton::Left));
    empty.spin(3);
    EXPECT_EQ(f, 1);
}
