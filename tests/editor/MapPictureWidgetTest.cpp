// The designer's map picture commands in the editor's real main dialog:
// Save Map Template, Import Map Picture (grid sized to the picture, or kept
// and the picture scaled) with its one-step undo, and Show Hex Names.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QRadioButton>
#include <QTest>
#include <memory>

#include "core/edit/EditorFiles.h"
#include "core/map/MapPicture.h"
#include "core/module/UnitImageSheet.h"
#include "editor/CEditorApp.h"
#include "editor/CImportMapDlg.h"
#include "editor/CMapArea.h"
#include "editor/CMapTemplateDlg.h"
#include "editor/CQMXEditDlg.h"
#include "editor/EditorDocument.h"
#include "tests/editor/EditorWidgetSupport.h"
#include "tests/support/ScriptedEditorDialogs.h"

using namespace qmx;
using namespace qmx::test;

class MapPictureWidgetTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<EditorHome> m_home;
    std::unique_ptr<CEditorApp> m_app;

    CQMXEditDlg* openModule() { return m_home->open(*m_app); }
    static Module& module(CQMXEditDlg* main) { return main->document().module(); }
    static QRgb hexPixel(CQMXEditDlg* main, int c, int r) {
        const PixelPoint at = hexPicturePosition(module(main), c, r);
        return main->document().graphics().image().pixel(at.x + 25, at.y + 28);
    }
    // A map picture whose hexes of a grid in `o` are painted by their
    // column and row, so that a pixel tells which hex it came from.
    static QImage codedMap(int columns, int rows, GridOrientation o, int width, int height) {
        QImage map(width, height, QImage::Format_RGB32);
        map.fill(Qt::white);
        Module m = Module::createEmpty(columns, rows, o, kMinUnits);
        m.mapTop = 0;
        for (int r = 1; r <= rows; ++r)
            for (int c = 1; c <= columns; ++c) {
                const PixelPoint at = hexPicturePosition(m, c, r);
                for (int y = 20; y < 36; ++y)
                    for (int x = 17; x < 33; ++x)
                        if (at.x + x < width && at.y + y < height)
                            map.setPixel(at.x + x, at.y + y, qRgb(c, r, 99));
            }
        return map;
    }
    void importMap(CQMXEditDlg* main, const QImage& map, bool sizeGrid, GridOrientation o,
                   bool scale = false) {
        const QString file = m_home->path(QStringLiteral("map.png"));
        QVERIFY(map.save(file));
        m_home->prompts.fileAnswers.push_back(file);
        whenShown<CImportMapDlg>([=](CImportMapDlg* d) {
            d->findChild<QRadioButton*>(sizeGrid ? QStringLiteral("sizeGrid")
                                                 : QStringLiteral("keepGrid"))
                ->setChecked(true);
            d->findChild<QComboBox*>(QStringLiteral("orientation"))
                ->setCurrentIndex(o == GridOrientation::RowsAligned ? 0 : 1);
            d->findChild<QCheckBox*>(QStringLiteral("scale"))->setChecked(scale);
            d->accept();
        });
        main->action(QStringLiteral("Import Map Picture..."))->trigger();
    }

private slots:
    void init() {
        m_home = std::make_unique<EditorHome>();
        QVERIFY(m_home->isValid());
        m_app = m_home->editor();
    }
    void cleanup() {
        finishDialogWaits();
        m_app.reset();
        m_home.reset();
    }

    void theGridIsSizedToThePictureAndUndoneInOneStep() {
        CQMXEditDlg* main = openModule();
        QVERIFY(main);
        Module& m = module(main);
        m.hex(2, 3).name = "Keep";
        const QImage before = main->document().graphics().image();
        const int top = m.mapTop;
        const std::uint8_t perRow = m.imagesPerRow;
        // A map drawn for 30 x 12 hexes in line with the side edge, a little
        // larger than that grid's blank map.
        const PixelPoint size = blankMapSize(30, 12, GridOrientation::ColumnsAligned);
        importMap(main, codedMap(30, 12, GridOrientation::ColumnsAligned, size.x + 10, size.y + 10),
                  true, GridOrientation::ColumnsAligned);
        QCOMPARE(m.columns, 30);
        QCOMPARE(m.rows, 12);
        QCOMPARE(m.orientation, GridOrientation::ColumnsAligned);
        QCOMPARE(m.hexes.size(), std::size_t(30 * 13));
        QCOMPARE(m.hex(2, 3).name, std::string("Keep"));
        QCOMPARE(m.hex(30, 12).name, std::string("3012"));
        QCOMPARE(m.mapTop, top);
        QCOMPARE(m.imagesPerRow, perRow);
        // Every hex of the picture lands at the hex of the module that has its
        // column and row; the unit picture band is untouched.
        for (const Hex h : {Hex{1, 1}, Hex{2, 1}, Hex{17, 6}, Hex{30, 12}})
            QCOMPARE(hexPixel(main, h.column, h.row), qRgb(h.column, h.row, 99));
        const QImage& image = main->document().graphics().image();
        QCOMPARE(image.height(), top + size.y + 10);
        const QRect cell = *main->document().graphics().unitImageSource(m, 5);
        QCOMPARE(image.copy(cell), before.copy(cell));
        QCOMPARE(main->action(QStringLiteral("Undo Import Map Picture"))->isEnabled(), true);

        main->action(QStringLiteral("Undo Import Map Picture"))->trigger();
        QCOMPARE(m.columns, 20);
        QCOMPARE(m.orientation, GridOrientation::RowsAligned);
        QCOMPARE(m.hexes.size(), std::size_t(20 * 21));
        QCOMPARE(m.hex(2, 3).name, std::string("Keep"));
        QCOMPARE(main->document().graphics().image(), before);
    }

    void aKeptGridScalesThePictureOnlyWhenAsked() {
        CQMXEditDlg* main = openModule();
        QVERIFY(main);
        const PixelPoint grid = blankMapSize(20, 20, GridOrientation::RowsAligned);
        // The map drawn at half the size the grid needs.
        QImage half = codedMap(20, 20, GridOrientation::RowsAligned, grid.x, grid.y)
                          .scaled(grid.x / 2, grid.y / 2);
        importMap(main, half, false, GridOrientation::RowsAligned);
        QCOMPARE(module(main).columns, 20);
        // Placed as it is, and the rest of the grid's map blank.
        QCOMPARE(main->document().graphics().image().pixel(0, module(main).mapTop),
                 qRgb(255, 255, 255));
        QCOMPARE(main->document().graphics().image().height(), module(main).mapTop + grid.y);
        QCOMPARE(hexPixel(main, 20, 20), QColor::fromRgb(kBlankMapColour).rgb());

        importMap(main, half, false, GridOrientation::RowsAligned, true);
        QCOMPARE(main->document().graphics().image().height(), module(main).mapTop + grid.y);
        const QColor scaled(hexPixel(main, 14, 9));
        QVERIFY2(std::abs(scaled.red() - 14) < 4 && std::abs(scaled.green() - 9) < 4,
                 qPrintable(scaled.name()));

        // A picture that would make the module picture too tall for any reader
        // to take back is refused, and nothing changes.
        const QImage before = main->document().graphics().image();
        QImage tall(400, 32700, QImage::Format_RGB32);
        tall.fill(Qt::white);
        QVERIFY(
            !main->document().placeMapPicture(tall, {false, GridOrientation::RowsAligned, false}));
        QVERIFY(m_home->prompts.shown.back().text.contains(QStringLiteral("32767 pixels a side")));
        QCOMPARE(main->document().graphics().image(), before);
    }

    void theTemplateHasTheGridsSizeAndTheNamesShow() {
        CQMXEditDlg* main = openModule();
        QVERIFY(main);
        Module& m = module(main);
        m.hex(4, 4).name = "Twin";
        m.hex(9, 7).name = "Twin";
        const QString file = m_home->path(QStringLiteral("template.png"));
        m_home->prompts.fileAnswers.push_back(file);
        whenShown<CMapTemplateDlg>([](CMapTemplateDlg* d) {
            d->findChild<QCheckBox*>(QStringLiteral("names"))->setChecked(true);
            d->accept();
        });
        main->action(QStringLiteral("Save Map Template..."))->trigger();
        const QImage saved(file);
        const PixelPoint size = blankMapSize(20, 20, GridOrientation::RowsAligned);
        QCOMPARE(saved.size(), QSize(size.x, size.y));
        // The outline's left side, and a name written inside the hex.
        const PixelPoint at = hexPicturePosition(m, 3, 2);
        const int y = at.y - m.mapTop;
        QVERIFY(QColor(saved.pixel(at.x + 1, y + 28)).lightness() < 128);
        bool written = false;
        for (int x = at.x + 5; x < at.x + 45; ++x)
            written = written || QColor(saved.pixel(x, y + 19)).lightness() < 128;
        QVERIFY(written);
        // A template made as the picture of the map imports to the same grid.
        importMap(main, saved, true, GridOrientation::RowsAligned);
        QCOMPARE(m.columns, 20);
        QCOMPARE(m.rows, 20);

        // Show Hex Names: the duplicated name in red on the map area.
        QAction* show = main->action(QStringLiteral("Show Hex Names"));
        QVERIFY(show->isCheckable());
        show->trigger();
        QVERIFY(main->mapArea()->showsHexNames());
        const QImage shown = main->mapArea()->grab().toImage();
        const PixelPoint twin = hexPicturePosition(m, 9, 7);
        int red = 0;
        for (int x = twin.x; x < twin.x + 50; ++x)
            for (int ty = twin.y - m.mapTop; ty < twin.y - m.mapTop + 54; ++ty) {
                const QColor c(shown.pixel(x, ty));
                red += c.red() > 200 && c.green() < 60 && c.blue() < 60;
            }
        QVERIFY2(red > 20, qPrintable(QString::number(red)));
        const Bytes report = hexNameReport(m);
        QVERIFY(std::string(report.begin(), report.end())
                    .starts_with("Duplicate hex names:\r\nTwin: 4,4 9,7\r\n\r\n"));
    }
};

QTEST_MAIN(MapPictureWidgetTest)
#include "MapPictureWidgetTest.moc"
