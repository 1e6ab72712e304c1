// The unit image painter driven offscreen through the real dialogs: opened
// from Define Units, a counter painted from a blank cell, saved with the
// module and read back by qmxtool, pixel for pixel.
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <memory>
#include <sstream>

#include "editor/CDefineUnitsDlg.h"
#include "editor/CImagePicker.h"
#include "editor/CUnitEditorDlg.h"
#include "editor/EditorDocument.h"
#include "editor/SheetImageStore.h"
#include "tests/editor/EditorWidgetSupport.h"
#include "tests/support/ScriptedEditorDialogs.h"
#include "tools/qmxtool/Commands.h"

using namespace qmx;
using namespace qmx::test;

namespace {

constexpr Rgb kRed = 0xFF0000;
constexpr Rgb kGreen = 0x00FF00;

int runQmxtool(const std::vector<std::string>& args, std::string& err) {
    tool::CommandTable table;
    tool::registerAllCommands(table);
    std::istringstream in;
    std::ostringstream out, errors;
    const int status = tool::runTool(table, args, {in, out, errors});
    err = errors.str();
    return status;
}

// The dialog point over image pixel (px, py) of the enlarged image.
QPoint over(int px, int py) {
    return {kEnlargedArea.x + kZoom * px + 2, kEnlargedArea.y + kZoom * py + 2};
}

// The palette point of cube colour i (0..215) and of grey j (0..11).
QPoint cubeColour(int i) {
    return {kColourPaletteArea.x + 2 + 7 * (i % 12) + 3,
            kColourPaletteArea.y + 2 + 10 * (i / 12) + 5};
}
QPoint grey(int j) {
    return {kColourPaletteArea.x + 2 + 7 * j + 3, kColourPaletteArea.y + 2 + 180 + 2 + 5};
}

void click(CUnitEditorDlg* d, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseClick(d, button, {}, at);
}

void press(CUnitEditorDlg* d, const QString& text) {
    QPushButton* b = d->button(text);
    QVERIFY2(b, qPrintable(text));
    QTest::mouseClick(b, Qt::LeftButton);
}

// A mouse move with `buttons` held (none for a hover).
void moveTo(CUnitEditorDlg* d, QPoint at, Qt::MouseButtons buttons = Qt::NoButton) {
    QMouseEvent move(QEvent::MouseMove, QPointF(at), d->mapToGlobal(QPointF(at)), Qt::NoButton,
                     buttons, Qt::NoModifier);
    QApplication::sendEvent(d, &move);
}

// A stroke: press at the first point, drag through the others, release.
void stroke(CUnitEditorDlg* d, const std::vector<QPoint>& points) {
    QTest::mousePress(d, Qt::LeftButton, {}, points.front());
    for (std::size_t i = 1; i < points.size(); ++i) moveTo(d, points[i], Qt::LeftButton);
    QTest::mouseRelease(d, Qt::LeftButton, {}, points.back());
}

}  // namespace

class UnitPainterWidgetTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<EditorHome> m_home;
    ScriptedEditorDialogs* m_prompts = nullptr;
    std::unique_ptr<EditorDocument> m_doc;

    QString path(const QString& name) const { return m_home->path(name); }
    PixelPicture cell(int k) const {
        return readUnitImage(m_doc->module(), m_doc->graphics().image(), k).value();
    }

private slots:
    void init() {
        m_home = std::make_unique<EditorHome>();
        QVERIFY(m_home->isValid());
        m_prompts = &m_home->prompts;
        m_doc = m_home->document();
        QVERIFY(m_doc);
        CUnitEditorDlg::colours() = {};
    }
    void cleanup() {
        finishDialogWaits();
        m_doc.reset();
        m_home.reset();
    }

    void paintsACounterThatQmxtoolReadsBack() {
        CDefineUnitsDlg units(*m_doc);
        units.show();
        // Unit 1 shows image 2 on step 1 (the picker's second cell).
        QTest::mouseClick(units.picker(), Qt::LeftButton, {}, QPoint(5, 44 + 5));
        QCOMPARE(m_doc->module().units[1].stepImage[0], std::uint16_t(2));

        bool painted = false;
        whenShown<CUnitEditorDlg>([&](CUnitEditorDlg* d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("Unit Editor"));
            QCOMPARE(d->painter().currentImage(), 2);  // the image picked in Define Units
            QCOMPARE(d->numberField()->text(), QStringLiteral("2"));
            // A blank cell: the background white from the palette, the grey
            // of image 2 filled with it.
            click(d, grey(11), Qt::RightButton);
            press(d, QStringLiteral("Fill"));
            QCOMPARE(d->cursor().shape(), Qt::BitmapCursor);  // the fill cursor
            click(d, over(20, 20), Qt::RightButton);
            QCOMPARE(cell(2), blankUnitImage(kWhite));
            // A red border, an infantry symbol and two numbers in black.
            click(d, cubeColour(180));  // (255, 0, 0)
            QCOMPARE(d->painter().foreground(), kRed);
            press(d, QStringLiteral("Border"));
            click(d, grey(0));
            const PixelPoint symbol = symbolCorner(0, 0);
            click(d, QPoint(symbol.x + 4, symbol.y + 4));
            const PixelRect small = smallGlyphRect(4);
            click(d, QPoint(small.x + 2, small.y + 2));
            moveTo(d, over(6, 30));
            moveTo(d, over(3, 24));
            click(d, over(3, 24));
            const PixelRect large = largeGlyphRect(7);
            click(d, QPoint(large.x + 2, large.y + 2));
            moveTo(d, over(39, 39));  // pulled back inside: at (32, 28)
            click(d, over(39, 39));
            // A green top quarter of the symbol and a black stroke under it.
            click(d, cubeColour(30));
            QCOMPARE(d->painter().foreground(), kGreen);
            press(d, QStringLiteral("Fill"));
            click(d, over(20, 8));
            click(d, grey(0));
            stroke(d, {over(10, 24), over(11, 24), over(12, 24), over(13, 24)});

            // What the widgets did, worked out from the same steps by hand.
            PixelPicture want = blankUnitImage(kWhite);
            drawBorder(want, kRed);
            stampTransparent(want, painterFace(), {symbol.x, symbol.y, 24, 15}, 8, 6);
            stampTransparent(want, painterFace(), small, 3, 24);
            stampTransparent(want, painterFace(), large, 32, 28);
            floodFill(want, 20, 8, kGreen);
            for (int x = 10; x <= 13; ++x) want.set(x, 24, kBlack);
            QCOMPARE(cell(2), want);
            // Spot checks against the pictures themselves.
            QCOMPARE(cell(2).at(0, 0), kRed);
            QCOMPARE(cell(2).at(8, 6), kBlack);   // the symbol's frame corner
            QCOMPARE(cell(2).at(19, 8), kGreen);  // inside the symbol, above its cross
            QCOMPARE(cell(2).at(20, 18), kWhite);
            // The editor's surface shows it five times enlarged.
            const QImage shown = d->grab().toImage();
            QCOMPARE(shown.pixel(over(0, 0)) & 0xFFFFFF, kRed);
            QCOMPARE(shown.pixel(over(19, 8)) & 0xFFFFFF, kGreen);
            painted = true;
            press(d, QStringLiteral("OK"));
        });
        QTest::mouseClick(units.button(QStringLiteral("Unit Images")), Qt::LeftButton);
        QVERIFY(painted);
        // Define Units shows the painted image in its preview.
        QCOMPARE(units.preview(0)->pixmap().toImage().pixel(0, 0) & 0xFFFFFF, kRed);
        const PixelPicture counter = cell(2);

        const std::string file = str(path("modules/Painted.qm4"));
        QVERIFY(m_doc->writeModule(file));
        const QString out = path("counter.png");
        std::string err;
        QCOMPARE(runQmxtool({"unit-image", file, "1", "-o", str(out)}, err), 0);
        const QImage extracted(out);
        QCOMPARE(extracted.size(), QSize(40, 40));
        for (int y = 0; y < 40; ++y) {
            for (int x = 0; x < 40; ++x) {
                QCOMPARE(extracted.pixel(x, y) & 0xFFFFFF, counter.at(x, y));
            }
        }
        // Every painted step is one step of the editor's history: undoing them
        // all gives the grey cell back.
        const PixelPicture grey2 = blankUnitImage(0x020202);
        int steps = 0;
        while (cell(2) != grey2 && m_doc->history().undo()) ++steps;
        QCOMPARE(cell(2), grey2);
        // Fill, Border, the symbol, two glyphs, the second fill and the stroke.
        QCOMPARE(steps, 7);
    }

    void cellsOutsideTheImageAreNotRead() {
        Module& m = m_doc->module();
        // An image cut short: the last row of cells is gone, and a cell of a
        // legacy module is not a 40 x 40 picture.
        QImage image =
            m_doc->graphics().image().copy(0, 0, m_doc->graphics().image().width(), 41 * 3);
        QVERIFY(readUnitImage(m, image, 1).has_value());
        QVERIFY(!readUnitImage(m, image, m.imageCapacity()).has_value());
        QVERIFY(!readUnitImage(m, image, 0).has_value());
        QVERIFY(!readUnitImage(m, image, m.imageCapacity() + 1).has_value());
        QVERIFY(!writeUnitImage(m, image, m.imageCapacity(), blankUnitImage()));
        QVERIFY(!writeUnitImage(m, image, 1, PixelPicture(20, 17)));
        m.legacyLayout = true;
        QVERIFY(!readUnitImage(m, image, 1).has_value());
    }

    void sharesTheStripWithThePickerAndKeepsItsOwnUndo() {
        m_doc->firstShownImage = 10;
        CDefineUnitsDlg units(*m_doc);
        bool done = false;
        whenShown<CUnitEditorDlg>([&](CUnitEditorDlg* d) {
            QCOMPARE(d->painter().firstShownImage(), 10);
            QCOMPARE(d->painter().currentImage(), 10);
            QTest::mouseClick(d->stripForward(), Qt::LeftButton);
            QTest::mouseClick(d->stripForward(), Qt::LeftButton);
            QCOMPARE(d->painter().firstShownImage(), 16);
            for (int i = 0; i < 30; ++i) QTest::mouseClick(d->stripForward(), Qt::LeftButton);
            QCOMPARE(d->painter().firstShownImage(), 84 - 23);
            QTest::mouseClick(d->stripBack(), Qt::LeftButton);
            QCOMPARE(d->painter().firstShownImage(), 58);
            // Image 60 from the strip.
            const PixelPoint c = stripCellCorner(2);
            click(d, QPoint(c.x + 20, c.y + 20));
            QCOMPARE(d->painter().currentImage(), 60);

            const PixelPicture before = cell(60);
            press(d, QStringLiteral("Border"));
            const PixelPicture framed = cell(60);
            QVERIFY(framed != before);
            QCOMPARE(QString::fromStdString(m_doc->history().undoLabel()),
                     QStringLiteral("Border"));
            press(d, QStringLiteral("FGnd <--> BGnd"));
            press(d, QStringLiteral("Undo"));  // one level: back to the border
            QCOMPARE(cell(60), framed);
            press(d, QStringLiteral("Undo"));
            QCOMPARE(cell(60), framed);
            // The pick cursor over the colour palette and while a pick is armed.
            moveTo(d, grey(3));
            QCOMPARE(d->painter().cursor(), PainterCursor::Pick);
            QCOMPARE(d->cursor().shape(), Qt::BitmapCursor);
            moveTo(d, QPoint(300, 200));
            QCOMPARE(d->cursor().shape(), Qt::ArrowCursor);
            click(d, QPoint(kSwatchArea.x + 3, kSwatchArea.y + 3));
            QCOMPARE(d->cursor().shape(), Qt::BitmapCursor);
            press(d, QStringLiteral("Border"));  // waits for the pick
            QCOMPARE(cell(60), framed);
            click(d, over(20, 20));  // picks the colour shown there
            QCOMPARE(d->painter().foreground(), before.at(20, 20));
            done = true;
            press(d, QStringLiteral("OK"));
        });
        QTest::mouseClick(units.button(QStringLiteral("Unit Images")), Qt::LeftButton);
        QVERIFY(done);
        // Define Units takes the first shown image over, within its own range.
        QCOMPARE(m_doc->firstShownImage, 58);
        QCOMPARE(units.editor().firstShownImage(), 58);
        // The editor's undo takes back what the painter's own undo left.
        QVERIFY(m_doc->history().undo());
        QVERIFY(m_doc->history().undo());
        QVERIFY(m_doc->history().undo());
        QCOMPARE(cell(60), blankUnitImage(0x3C3C3C));
    }
};

QTEST_MAIN(UnitPainterWidgetTest)
#include "UnitPainterWidgetTest.moc"
