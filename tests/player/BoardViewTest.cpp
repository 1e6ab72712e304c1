// The board view drawn offscreen into images, checked pixel by pixel.

#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <initializer_list>
#include <memory>

#include "core/game/HexPicture.h"
#include "player/CQMXView.h"

using namespace qmx;

namespace {

// Colours without alpha, as at() reads them.
constexpr QRgb rgb(int r, int g, int b) {
    return static_cast<QRgb>((r << 16) | (g << 8) | b);
}

const QRgb kMap = rgb(0, 160, 0);
const QRgb kMarker = rgb(255, 0, 255);
const QRgb kRed = rgb(255, 0, 0);
const QRgb kBlank = rgb(255, 255, 255);
const QRgb kFacing = rgb(255, 128, 0);
// unit image k is painted in colour kImageColours[k]
const QRgb kImageColours[] = {0, rgb(0, 0, 255), rgb(255, 255, 0), rgb(0, 255, 255),
                              rgb(128, 0, 0)};

// A 6 x 5 rows-aligned module whose image holds four unit images of plain
// colours in one column, a plain stack marker and a plain green map of
// `mapWidth` x `mapHeight` pixels (the full map needs 350 x 252 with rows
// aligned, 294 x 300 with columns aligned; the sheet needs a width of 192).
struct Fixture {
    Module module;
    ModuleGraphics graphics;
    GameState state;
    std::unique_ptr<CQMXView> view;

    explicit Fixture(int mapWidth = 350, int mapHeight = 300,
                     GridOrientation orientation = GridOrientation::RowsAligned)
        : module(Module::createEmpty(6, 5, orientation, 33)) {
        module.imagesPerRow = 1;  // MapTop 166
        QImage image(std::max(mapWidth, 151 + 41), module.mapTop + mapHeight, QImage::Format_RGB32);
        image.fill(qRgb(204, 204, 204));
        QPainter p(&image);
        p.fillRect(QRect(0, module.mapTop, mapWidth, mapHeight), QColor(kMap));
        p.fillRect(QRect(kStackMarker.x, kStackMarker.y, kStackMarker.width, kStackMarker.height),
                   QColor(kMarker));
        for (int k = 1; k <= 4; ++k) {
            const PixelPoint c = unitImageCell(module, k);
            p.fillRect(QRect(c.x, c.y, 40, 40), QColor(kImageColours[k]));
        }
        p.end();
        graphics = ModuleGraphics(image);

        state.resetForModule(module);
        state.setStackHead(1, 1, 0);
        for (int u = 1; u <= state.unitCount(); ++u) {
            state.unit(u) = UnitState{};
            state.unit(u).column = 0;
            state.unit(u).row = 0;
        }
        state.players[0].kind = SlotKind::Player;
        state.players[1].kind = SlotKind::Player;
        state.currentSlot = 0;
    }

    void stack(Hex h, std::initializer_list<int> units) {
        int previous = 0;
        for (int u : units) {
            UnitState& s = state.unit(u);
            s.column = static_cast<std::uint8_t>(h.column);
            s.row = static_cast<std::uint8_t>(h.row);
            s.stackLink = 0;
            if (previous == 0)
                state.setStackHead(h.column, h.row, static_cast<std::uint16_t>(u));
            else
                state.unit(previous).stackLink = static_cast<std::uint16_t>(u);
            previous = u;
        }
    }

    CQMXView& show(QSize size = QSize(640, 480)) {
        view = std::make_unique<CQMXView>(module, graphics, state);
        view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        view->setFrameShape(QFrame::NoFrame);
        view->resize(size);
        view->show();
        if (!QTest::qWaitForWindowExposed(view.get())) qWarning("view not exposed");
        return *view;
    }

    QImage render(qreal dpr = 1.0) const {
        const QSize size = view->viewport()->size();
        QImage image(size * dpr, QImage::Format_RGB32);
        image.setDevicePixelRatio(dpr);
        image.fill(qRgb(1, 2, 3));
        view->viewport()->render(&image);
        return image;
    }

    PixelPoint unitAt(Hex h) const {
        return view->geometry().unitWindowPosition(h, view->zoom(), view->scrollOrigin());
    }
};

QRgb at(const QImage& image, int x, int y) {
    return image.pixel(x, y) & 0xFFFFFF;
}
QRgb at(const QImage& image, PixelPoint p, int dx = 0, int dy = 0) {
    return at(image, p.x + dx, p.y + dy);
}

// The three stacks of the drawing tests: (2,2) two visible units, (4,2) one
// visible and one hidden by the other player, (2,4) a unit whose identity
// the other player hid, at step 1.
void placeStacks(Fixture& f) {
    f.module.units[1].stepImage = {1, 2, 0, 0, 0, 0};
    f.module.units[2].stepImage = {2, 0, 0, 0, 0, 0};
    f.module.units[3].stepImage = {1, 0, 0, 0, 0, 0};
    f.module.units[4].stepImage = {2, 0, 0, 0, 0, 0};
    f.module.units[5].stepImage = {3, 2, 0, 0, 0, 0};
    f.stack({2, 2}, {1, 2});
    f.stack({4, 2}, {3, 4});
    f.state.unit(4).setHiddenBy(1);
    f.stack({2, 4}, {5});
    f.state.unit(5).step = 1;
    f.state.unit(5).setHiddenBy(1);
    f.state.unit(5).set(UnitFlags::kIdHidden);
}

}  // namespace

class BoardViewTest : public QObject {
    Q_OBJECT

private slots:
    void drawsUnitsMarkersAndCursor_data();
    void drawsUnitsMarkersAndCursor();
    void identityHiddenForGameMasterToo();
    void showTerrainAndKeyT();
    void rightButtonPeek();
    void facingIndicator();
    void zoomAndScroll();
    void sharpAtDevicePixelRatioTwo();
    void smallImageLeavesBlank();
    void laterHexesOverlapEarlierOnes();
    void scaledPainterDrawsFromTheImage();
    void redrawsOnlyTheChangedHex();
};

void BoardViewTest::drawsUnitsMarkersAndCursor_data() {
    QTest::addColumn<float>("zoom");
    for (float z : kZoomFactors) QTest::newRow(QByteArray::number(z).constData()) << z;
}

void BoardViewTest::drawsUnitsMarkersAndCursor() {
    QFETCH(float, zoom);
    Fixture f;
    placeStacks(f);
    CQMXView& view = f.show(QSize(720, 560));
    QVERIFY(view.setZoom(zoom));
    view.setCursorHex({4, 4});
    const QImage img = f.render();
    const int u = zoomed(40, zoom);
    const int m0 = zoomed(2, zoom);

    // two visible units: the first on top, the marker trunc(2z) behind it,
    // showing beyond the unit's right and bottom edges
    const PixelPoint a = f.unitAt({2, 2});
    QCOMPARE(at(img, a), kImageColours[1]);
    QCOMPARE(at(img, a, u - 1, u - 1), kImageColours[1]);
    QCOMPARE(at(img, a, u, u / 2), kMarker);
    QCOMPARE(at(img, a, u / 2, u), kMarker);
    QCOMPARE(at(img, a, u, m0), kMarker);
    QCOMPARE(at(img, a, u, m0 - 1), kMap);
    QCOMPARE(at(img, a, zoomed(43, zoom), u / 2), kMap);
    QCOMPARE(at(img, a, -1, u / 2), kMap);

    // one visible unit over a hidden one: no marker
    const PixelPoint b = f.unitAt({4, 2});
    QCOMPARE(at(img, b, u / 2, u / 2), kImageColours[1]);
    QCOMPARE(at(img, b, u, u / 2), kMap);
    QCOMPARE(at(img, b, u / 2, u), kMap);

    // identity hidden by the other player: the step 0 picture, not step 1's
    const PixelPoint c = f.unitAt({2, 4});
    QCOMPARE(at(img, c, u / 2, u / 2), kImageColours[3]);

    // the red cursor: the right side of the outline, and nothing red inside
    const auto outline = view.geometry().outline({4, 4}, zoom, view.scrollOrigin());
    const int midY = (outline[1].y + outline[2].y) / 2;
    const int x = outline[1].x;
    QVERIFY(at(img, x, midY) == kRed || at(img, x - 1, midY) == kRed);
    QCOMPARE(at(img, (outline[0].x + outline[4].x) / 2 + 5, midY), kMap);
    // the outline's top corner
    QVERIFY(at(img, outline[0].x, outline[0].y + 1) == kRed ||
            at(img, outline[0].x, outline[0].y) == kRed);

    // an empty hex shows the map
    const PixelPoint e = f.unitAt({6, 5});
    QCOMPARE(at(img, e, u / 2, u / 2), kMap);
}

void BoardViewTest::identityHiddenForGameMasterToo() {
    Fixture f;
    placeStacks(f);
    f.state.players[0].kind = SlotKind::GameMaster;
    f.state.players[2].kind = SlotKind::Player;
    f.show();
    QImage img = f.render();
    const PixelPoint c = f.unitAt({2, 4});
    QCOMPARE(at(img, c, 20, 20), kImageColours[3]);
    // and the game master sees the hidden unit under (4,2): the marker appears
    QCOMPARE(at(img, f.unitAt({4, 2}), 40, 20), kMarker);
    // its owner sees the real step
    f.state.currentSlot = 1;
    f.view->repaintBoard();
    img = f.render();
    QCOMPARE(at(img, c, 20, 20), kImageColours[2]);
}

void BoardViewTest::showTerrainAndKeyT() {
    Fixture f;
    placeStacks(f);
    CQMXView& view = f.show();
    QSignalSpy spy(&view, &CQMXView::showTerrainChanged);
    const PixelPoint a = f.unitAt({2, 2});
    view.setShowTerrain(true);
    QCOMPARE(at(f.render(), a, 20, 20), kMap);
    QCOMPARE(at(f.render(), a, 40, 20), kMap);
    QTest::keyClick(&view, Qt::Key_T);
    QVERIFY(!view.showTerrain());
    QCOMPARE(at(f.render(), a, 20, 20), kImageColours[1]);
    QTest::keyClick(&view, Qt::Key_T);
    QVERIFY(view.showTerrain());
    QCOMPARE(spy.count(), 3);
    QCOMPARE(spy.last().at(0).toBool(), true);

    // the carried stack is drawn at the pointer even over the bare terrain
    f.state.carriedStack = 3;
    f.state.unit(3).column = 0;
    view.showCarriedPicture(QPoint(300, 200));
    QCOMPARE(at(f.render(), 310, 210), kImageColours[1]);
    view.hideCarriedPicture();
    QCOMPARE(at(f.render(), 310, 210), kMap);
}

void BoardViewTest::rightButtonPeek() {
    Fixture f;
    placeStacks(f);
    CQMXView& view = f.show();
    const PixelPoint a = f.unitAt({2, 2});
    const QPoint inside(a.x + 20, a.y + 20);
    QCOMPARE(view.hexAt(inside), (Hex{2, 2}));
    QTest::mousePress(view.viewport(), Qt::RightButton, Qt::NoModifier, inside);
    QImage img = f.render();
    QCOMPARE(at(img, a, 20, 20), kMap);
    QCOMPARE(at(img, f.unitAt({4, 2}), 20, 20), kImageColours[1]);  // other hexes stay
    QTest::mouseRelease(view.viewport(), Qt::RightButton, Qt::NoModifier, inside);
    img = f.render();
    QCOMPARE(at(img, a, 20, 20), kImageColours[1]);
    QCOMPARE(at(img, a, 41, 20), kMarker);
}

void BoardViewTest::facingIndicator() {
    Fixture f;
    placeStacks(f);
    f.state.unit(3).facing = kFacingShown | 2;  // side point (42, 20)
    CQMXView& view = f.show();
    view.setFacingColour(QColor(kFacing));
    const PixelPoint b = f.unitAt({4, 2});
    QImage img = f.render();
    QCOMPARE(at(img, b, 42 - 2, 20 - 2), kFacing);
    QCOMPARE(at(img, b, 30, 20), kImageColours[1]);  // no line unless asked for
    view.setFacingLines(true);
    img = f.render();
    // on the line from (40, 18) to the centre (20, 20)
    QVERIFY(at(img, b, 30, 19) == kFacing || at(img, b, 30, 18) == kFacing);
    QCOMPARE(at(img, b, 30, 22), kImageColours[1]);

    // corner table at 50 %: point (42, 30) -> (21, 15)
    f.state.unit(3).facing = kFacingShown | kFacingCorner | 4;
    view.setFacingLines(false);
    view.setZoom(0.5f);
    const PixelPoint h = f.unitAt({4, 2});
    img = f.render();
    QCOMPARE(at(img, h, 21 - 2, 15 - 2), kFacing);
    // the indicator is off: nothing drawn
    f.state.unit(3).facing = kFacingCorner | 4;
    view.repaintBoard();
    QCOMPARE(at(f.render(), h, 21 - 2, 15 - 2), kImageColours[1]);
}

void BoardViewTest::zoomAndScroll() {
    Fixture f;
    placeStacks(f);
    CQMXView& view = f.show(QSize(300, 200));
    QSignalSpy zoomSpy(&view, &CQMXView::zoomChanged);
    QVERIFY(!view.setZoom(1.25f));  // not one of the five
    QVERIFY(view.setZoom(2.0f));
    QCOMPARE(zoomSpy.count(), 1);
    // extent 702 x 530 at 200 %
    QCOMPARE(view.horizontalScrollBar()->maximum(), 702 - 300);
    QCOMPARE(view.verticalScrollBar()->maximum(), 530 - 200);
    QCOMPARE(view.horizontalScrollBar()->pageStep(), 360);
    QCOMPARE(view.verticalScrollBar()->singleStep(), 50);
    QCOMPARE(view.wholeHexes(), (WholeHexes{3, 2}));

    QSignalSpy viewSpy(&view, &CQMXView::viewChanged);
    view.scrollToPosition(QPoint(101, 61));
    QCOMPARE(view.scrollOrigin(), (PixelPoint{50, 30}));
    QVERIFY(viewSpy.count() >= 1);
    // unit (2,2) sits at map (53, 46): window (6, 32)
    const QImage img = f.render();
    QCOMPARE(f.unitAt({2, 2}), (PixelPoint{6, 32}));
    QCOMPARE(at(img, 6, 32), kImageColours[1]);
    QCOMPARE(at(img, 5, 32), kMap);
    QCOMPARE(view.hexAt(QPoint(10, 40)), (Hex{2, 2}));
    // a left click moves the cursor there and tells the listeners
    QSignalSpy clickSpy(&view, &CQMXView::hexClicked);
    QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(10, 40));
    QCOMPARE(view.cursorHex(), (std::optional<Hex>(Hex{2, 2})));
    QCOMPARE(clickSpy.count(), 1);
    QCOMPARE(clickSpy.at(0).at(0).toInt(), 2);

    // a resize recomputes the whole hexes
    view.resize(500, 400);
    QCOMPARE(view.wholeHexes(), (WholeHexes{5, 4}));
}

void BoardViewTest::sharpAtDevicePixelRatioTwo() {
    Fixture f;
    placeStacks(f);
    CQMXView& view = f.show();
    for (float z : {1.0f, 0.75f}) {
        view.setZoom(z);
        const QImage img = f.render(2.0);
        QCOMPARE(img.width(), view.viewport()->width() * 2);
        const PixelPoint a = f.unitAt({2, 2});
        const int u = zoomed(40, z);
        // the same geometry in logical pixels, every device pixel exact
        QCOMPARE(at(img, 2 * a.x, 2 * a.y), kImageColours[1]);
        QCOMPARE(at(img, 2 * a.x - 1, 2 * a.y + 4), kMap);
        QCOMPARE(at(img, 2 * (a.x + u) - 1, 2 * (a.y + u) - 1), kImageColours[1]);
        QCOMPARE(at(img, 2 * (a.x + u), 2 * (a.y + u / 2)), kMarker);
        // no blending at the unit's edge: only the three colours occur there
        for (int dx = -2; dx <= 2; ++dx) {
            const QRgb p = at(img, 2 * a.x + dx, 2 * (a.y + u / 2));
            QVERIFY(p == kMap || p == kImageColours[1] || p == kMarker);
        }
    }
}

void BoardViewTest::smallImageLeavesBlank() {
    Fixture f(192, 100);  // the map needs 350 x 252
    placeStacks(f);
    f.stack({5, 4}, {6});
    f.module.units[6].stepImage = {4, 0, 0, 0, 0, 0};
    CQMXView& view = f.show();
    const QImage img = f.render();
    QCOMPARE(at(img, 10, 10), kMap);
    QCOMPARE(at(img, 191, 99), kMap);
    QCOMPARE(at(img, 192, 10), kBlank);
    QCOMPARE(at(img, 10, 100), kBlank);
    QCOMPARE(at(img, 600, 400), kBlank);  // beyond the scroll extent too
    // units stand on the blank part all the same
    QCOMPARE(at(img, f.unitAt({5, 4}), 20, 20), kImageColours[4]);
    view.setZoom(1.5f);
    const QImage zoomedImg = f.render();
    QCOMPARE(at(zoomedImg, 287, 149), kMap);
    QCOMPARE(at(zoomedImg, 288, 10), kBlank);
    QCOMPARE(at(zoomedImg, 10, 150), kBlank);
}

// Rows aligned: row by row, so the unit of (1,2) covers the marker of (1,1)
// where they meet. Columns aligned: column by column, so the unit of (3,1)
// covers the marker of (2,1).
void BoardViewTest::laterHexesOverlapEarlierOnes() {
    {
        Fixture f;
        f.module.units[1].stepImage = {1, 0, 0, 0, 0, 0};
        f.module.units[3].stepImage = {2, 0, 0, 0, 0, 0};
        f.stack({1, 1}, {1, 2});
        f.stack({1, 2}, {3});
        f.show();
        const QImage img = f.render();
        QCOMPARE(f.unitAt({1, 1}), (PixelPoint{28, 4}));
        QCOMPARE(f.unitAt({1, 2}), (PixelPoint{3, 46}));
        QCOMPARE(at(img, 31, 45), kMarker);
        QCOMPARE(at(img, 31, 46), kImageColours[2]);
        QCOMPARE(at(img, 43, 46), kMarker);
    }
    {
        Fixture f(350, 300, GridOrientation::ColumnsAligned);
        f.module.units[1].stepImage = {1, 0, 0, 0, 0, 0};
        f.module.units[3].stepImage = {2, 0, 0, 0, 0, 0};
        f.stack({2, 1}, {1, 2});
        f.stack({3, 1}, {3});
        f.show();
        const QImage img = f.render();
        QCOMPARE(f.unitAt({2, 1}), (PixelPoint{48, 3}));
        QCOMPARE(f.unitAt({3, 1}), (PixelPoint{90, 28}));  // odd column: half a hex down
        QCOMPARE(at(img, 89, 30), kMarker);
        QCOMPARE(at(img, 90, 30), kImageColours[2]);
        QCOMPARE(at(img, 90, 27), kMarker);
    }
}

// A painter that scales on its own (not by a screen's pixel ratio) gets the
// pictures stretched straight from the module image.
void BoardViewTest::scaledPainterDrawsFromTheImage() {
    Fixture f;
    placeStacks(f);
    BoardPainter painter(f.module, f.graphics, f.state);
    QImage img(800, 600, QImage::Format_RGB32);
    img.fill(Qt::black);
    QPainter p(&img);
    p.scale(2, 2);
    BoardScene scene;
    scene.zoom = 0.5f;
    painter.paint(p, QRect(0, 0, 400, 300), scene);
    p.end();
    const PixelPoint a = painter.geometry().unitWindowPosition({2, 2}, 0.5f, {0, 0});
    QCOMPARE(at(img, 2 * a.x, 2 * a.y), kImageColours[1]);
    QCOMPARE(at(img, 2 * (a.x + 20) - 1, 2 * a.y), kImageColours[1]);
    QCOMPARE(at(img, 2 * (a.x + 20), 2 * (a.y + 10)), kMarker);
    QCOMPARE(at(img, 2 * a.x - 1, 2 * a.y), kMap);
}

namespace {

// Records the region of every paint event of a widget.
class PaintRecorder : public QObject {
public:
    QRegion painted;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) painted += static_cast<QPaintEvent*>(event)->region();
        return false;
    }
};

}  // namespace

void BoardViewTest::redrawsOnlyTheChangedHex() {
    Fixture f;
    placeStacks(f);
    CQMXView& view = f.show();
    QTRY_VERIFY(view.viewport()->isVisible());
    QCoreApplication::processEvents();
    PaintRecorder recorder;
    view.viewport()->installEventFilter(&recorder);

    // unit 1 moved from (2,2) to (4,4): only those two hexes are repainted
    f.stack({4, 4}, {1});
    f.stack({2, 2}, {2});
    view.redrawHex({2, 2});
    view.redrawHex({4, 4});
    const QRect a1 = view.painter().hexArea({2, 2}, 1.0f, view.scrollOrigin());
    const QRect a2 = view.painter().hexArea({4, 4}, 1.0f, view.scrollOrigin());
    QTRY_VERIFY(!recorder.painted.isEmpty());
    QVERIFY((recorder.painted - (QRegion(a1) + QRegion(a2))).isEmpty());
    // the hex area holds everything the hex's picture touches
    const PixelPoint a = f.unitAt({2, 2});
    QVERIFY(a1.contains(QRect(a.x, a.y, 43, 43)));

    const QImage img = f.render();
    QCOMPARE(at(img, f.unitAt({4, 4}), 20, 20), kImageColours[1]);
    QCOMPARE(at(img, f.unitAt({2, 2}), 20, 20), kImageColours[2]);
    QCOMPARE(at(img, f.unitAt({2, 2}), 41, 20), kMap);  // the marker went with the unit

    // moving the cursor repaints the old and the new outline only
    recorder.painted = QRegion();
    view.setCursorHex({3, 3});
    QTRY_VERIFY(!recorder.painted.isEmpty());
    recorder.painted = QRegion();
    view.setCursorHex({5, 2});
    QTRY_VERIFY(!recorder.painted.isEmpty());
    const QRegion cursors = QRegion(view.painter().cursorArea({3, 3}, 1.0f, view.scrollOrigin())) +
                            QRegion(view.painter().cursorArea({5, 2}, 1.0f, view.scrollOrigin()));
    QVERIFY((recorder.painted - cursors).isEmpty());
    view.viewport()->removeEventFilter(&recorder);
}

QTEST_MAIN(BoardViewTest)
#include "BoardViewTest.moc"
