// The map tools in the editor's real main dialog, driven offscreen: the
// Coordinates command calibrated by double clicks, the table files round
// trip, the edit modes and the picture commands with their undo.
#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QTest>
#include <memory>

#include "core/module/ModuleFile.h"
#include "editor/CCoordinatesDlg.h"
#include "editor/CEditorApp.h"
#include "editor/CMapArea.h"
#include "editor/CMapEditPanel.h"
#include "editor/CQMXEditDlg.h"
#include "editor/EditorDocument.h"
#include "tests/editor/EditorWidgetSupport.h"
#include "tests/support/ScriptedEditorDialogs.h"

using namespace qmx;
using namespace qmx::test;

namespace {

const QString kFinish =
    QStringLiteral("You cannot perform this function until you finish the Coordinate function.");

}  // namespace

class MapToolsWidgetTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<EditorHome> m_home;
    ScriptedEditorDialogs* m_prompts = nullptr;
    std::unique_ptr<CEditorApp> m_app;

    QString path(const QString& name) const { return m_home->path(name); }

    CQMXEditDlg* openModule() { return m_home->open(*m_app); }
    static Module& module(CQMXEditDlg* main) { return main->document().module(); }
    static std::string name(CQMXEditDlg* main, int c, int r) { return module(main).hex(c, r).name; }
    // The middle of hex (c, r) in the map area.
    static QPoint hexPoint(CQMXEditDlg* main, int c, int r) {
        const PixelPoint o = HexGeometry(module(main)).cellOrigin({c, r});
        return {o.x + 30, o.y + 30};
    }
    // The image pixel at the middle of hex (c, r).
    static QRgb hexPixel(CQMXEditDlg* main, int c, int r) {
        const PixelPoint at = hexPicturePosition(module(main), c, r);
        return main->document().graphics().image().pixel(at.x + 25, at.y + 28);
    }
    QStringList texts() const {
        QStringList t;
        for (const auto& s : m_prompts->shown) t << s.title + QStringLiteral(": ") + s.text;
        return t;
    }
    void trigger(CQMXEditDlg* main, const char* entry) {
        QAction* a = main->action(QString::fromLatin1(entry));
        QVERIFY2(a && a->isEnabled(), entry);
        a->trigger();
    }
    void chooseSystem(int system) {
        whenShown<CCoordinatesDlg>([system](CCoordinatesDlg* d) {
            d->systemField()->setValue(system);
            d->accept();
        });
    }

private slots:
    void init() {
        m_home = std::make_unique<EditorHome>();
        QVERIFY(m_home->isValid());
        m_prompts = &m_home->prompts;
        m_app = m_home->editor();
    }
    void cleanup() {
        finishDialogWaits();
        m_app.reset();
        m_home.reset();
    }

    // ---- Coordinates -----------------------------------------------------------------

    void theDialogWrapsAndRelabelsItsSamples() {
        CQMXEditDlg* main = openModule();
        QVERIFY(main);
        bool checked = false;
        whenShown<CCoordinatesDlg>([&checked](CCoordinatesDlg* d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("Automatic Coordinates"));
            QCOMPARE(d->system(), 1);
            QCOMPARE(d->sampleLabel(1), QStringLiteral("A2"));
            QCOMPARE(d->sampleLabel(2), QStringLiteral("A1"));
            QCOMPARE(d->sampleLabel(3), QStringLiteral("B2"));
            QCOMPARE(d->description(), QStringLiteral("Numbers will be computed diagonally."));
            d->systemField()->stepDown();
            QCOMPARE(d->system(), 18);
            QCOMPARE(d->sampleLabel(1), QStringLiteral("B2"));
            d->systemField()->stepUp();
            QCOMPARE(d->system(), 1);
            d->systemField()->setValue(18);
            d->systemField()->stepUp();
            QCOMPARE(d->system(), 1);
            d->systemField()->setValue(4);
            QCOMPARE(d->sampleLabel(2), QStringLiteral("0101"));
            QVERIFY(d->description().isEmpty());
            checked = true;
            d->reject();
        });
        std::vector<std::string> before;
        for (const HexRecord& h : module(main).hexes) before.push_back(h.name);
        trigger(main, "Coordinates");
        QVERIFY(checked);
        // Cancel: nothing chosen, nothing pending, no name changed.
        QVERIFY(!main->mapTools()->calibration().pending());
        QVERIFY(!main->document().coordinatesRunning);
        for (std::size_t i = 0; i < before.size(); ++i)
            QCOMPARE(module(main).hexes[i].name, before[i]);
        QVERIFY(m_prompts->shown.empty());
    }

    void doubleClicksNameTheMapAndOneUndoTakesItBack() {
        CQMXEditDlg* main = openModule();
        QVERIFY(main);
        chooseSystem(1);
        trigger(main, "Coordinates");
        QCOMPARE(texts(), QStringList{QStringLiteral(
                              "Coordinates: Now double-click on hex A1.  Press OK, then make "
                              "your selection.")});
        QVERIFY(main->document().coordinatesRunning);

        // While the calibration waits: message 16 for the refused commands.
        m_prompts->shown.clear();
        trigger(main, "Coordinates");
        trigger(main, "Make Overview");
        trigger(main, "Save Unit Table");
        trigger(main, "Save Map Name Table");
        trigger(main, "Edit Units");
        trigger(main, "Save");
        QCOMPARE(m_prompts->shown.size(), std::size_t(6));
        for (const auto& s : m_prompts->shown) QCOMPARE(s.text, kFinish);

        QTest::mouseDClick(main->mapArea(), Qt::LeftButton, {}, hexPoint(main, 10, 5));
        QVERIFY(!main->mapTools()->calibration().pending());
        QVERIFY(!main->document().coordinatesRunning);
        QCOMPARE(name(main, 10, 5), std::string("A1"));
        QCOMPARE(name(main, 9, 5), std::string("A2"));
        QCOMPARE(name(main, 1, 5), std::string("A10"));
        QCOMPARE(name(main, 10, 6).substr(0, 1), std::string("B"));
        QCOMPARE(name(main, 11, 5), std::string("1105"));  // right of the origin
        QCOMPARE(name(main, 10, 4), std::string("1004"));  // above it

        EditHistory& h = main->document().history();
        QCOMPARE(h.undoLabel(), std::string("Coordinates"));
        QCOMPARE(main->action(QStringLiteral("Undo Coordinates")) != nullptr, true);
        main->undo();
        QCOMPARE(name(main, 10, 5), std::string("1005"));
        QCOMPARE(name(main, 9, 6), std::string("0906"));
        main->redo();
        QCOMPARE(name(main, 10, 5), std::string("A1"));
    }

    void aColumnsMapIsCalibratedByItsDoubleClick() {
        {
            Module m = Module::createEmpty(12, 10, GridOrientation::ColumnsAligned, 33);
            ModuleGraphics g = ModuleGraphics::createBlank(m);
            FixedClock clock;
            const std::string file = str(m_home->modulePath());
            QVERIFY(g.save(file).ok() && saveModuleFile(file, m, clock));
        }
        CQMXEditDlg* main = openModule();
        QVERIFY(main);
        QCOMPARE(module(main).orientation, GridOrientation::ColumnsAligned);
        chooseSystem(4);
        trigger(main, "Coordinates");
        QVERIFY(texts().last().contains(QStringLiteral("Now double-click on Hex 0101")));
        QTest::mouseDClick(main->mapArea(), Qt::LeftButton, {}, hexPoint(main, 3, 3));
        QCOMPARE(name(main, 3, 3), std::string("0101"));
        QCOMPARE(name(main, 3, 4), std::string("0102"));
        QCOMPARE(name(main, 2, 3), std::string("0203"));  // left of the origin: kept
    }

    // ---- tables ----------------------------------------------------------------------

    void bothTablesRoundTripThroughTheMenu() {
        CQMXEditDlg* main = openModule();
        QVERIFY(main);
        chooseSystem(1);
        trigger(main, "Coordinates");
        QTest::mouseDClick(main->mapArea(), Qt::LeftButton, {}, hexPoint(main, 10, 5));
        QCOMPARE(name(main, 10, 5), std::string("A1"));
        Module& m = module(main);
        m.units[3].name = "3rd Guards";
        m.units[3].stepImage[1] = 7;
        m.units[3].values[1][2] = 12;
        const std::vector<UnitDefinition> units = m.units;
        const std::vector<HexRecord> hexes = m.hexes;

        m_prompts->shown.clear();
        m_prompts->fileAnswers.push_back(path(QStringLiteral("modules/units")));
        trigger(main, "Save Unit Table");
        QCOMPARE(QFileInfo(path(QStringLiteral("modules/units.txt"))).size(), qint64(40 * 184));
        m_prompts->fileAnswers.push_back(path(QStringLiteral("modules/names.txt")));
        trigger(main, "Save Map Name Table");
        QCOMPARE(QFileInfo(path(QStringLiteral("modules/names.txt"))).size(), qint64(20 * 20 * 40));
        QCOMPARE(texts(), (QStringList{QStringLiteral("Save Unit Table: Text files(*.txt)"),
                                       QStringLiteral("Save Map Name Table: Text files(*.txt)")}));
        // The progress of the name table ends at its last row.
        QCOMPARE(main->mapTools()->hexNameLabel()->text().isEmpty(), false);

        // Change everything, then load both tables back.
        for (UnitDefinition& u : m.units) u.name = "changed";
        for (HexRecord& h : m.hexes) h.name = "x";
        m_prompts->fileAnswers.push_back(path(QStringLiteral("modules/units.txt")));
        trigger(main, "Load Unit Table");
        QCOMPARE(main->document().history().undoLabel(), std::string("Load Unit Table"));
        for (int u = 1; u <= m.unitCount; ++u) {
            QCOMPARE(m.units[u].name, units[u].name);
            QVERIFY(m.units[u].stepImage == units[u].stepImage);
            QVERIFY(m.units[u].values == units[u].values);
        }
        m_prompts->fileAnswers.push_back(path(QStringLiteral("modules/names.txt")));
        trigger(main, "Load Map Name Table");
        QCOMPARE(main->document().history().undoLabel(), std::string("Load Map Name Table"));
        for (int r = 1; r <= m.rows; ++r)
            for (int c = 1; c <= m.columns; ++c)
                QCOMPARE(m.hex(c, r).name, hexes[m.hexIndex(c, r)].name);

        // Each load is one step back.
        main->undo();
        QCOMPARE(name(main, 10, 5), std::string("x"));
        main->undo();
        QCOMPARE(m.units[3].name, std::string("changed"));
    }

    void aMissingTableFileSaysSo() {
        CQMXEditDlg* main = openModule();
        QVERIFY(main);
        m_prompts->fileAnswers.push_back(path(QStringLiteral("modules/none.txt")));
        trigger(main, "Load Map Name Table");
        QCOMPARE(texts(), (QStringList{QStringLiteral("Load Map Name Table: Text files(*.txt)"),
                                       QStringLiteral("WARNING: Could not open file!")}));
        QVERIFY(!main->document().history().canUndo());
    }

    // ---- hex names -------------------------------------------------------------------

    void theNameFieldCopyPasteAndClear() {
        CQMXEditDlg* main = openModule();
        QVERIFY(main);
        CMapEditPanel* panel = main->mapTools();
        QTest::mouseClick(main->mapArea(), Qt::LeftButton, {}, hexPoint(main, 4, 7));
        QCOMPARE(panel->tools().selected(), (Hex{4, 7}));
        QCOMPARE(panel->hexNameLabel()->text(), QStringLiteral("0407"));

        // The field's focus switches to Edit Names; typing names the hex, one step.
        main->activateWindow();
        main->hexNameField()->setFocus();
        QTRY_COMPARE(panel->tools().mode(), EditMode::EditNames);
        QVERIFY(panel->findChild<QRadioButton*>("mode Edit Names")->isChecked());
        QCOMPARE(main->hexNameField()->text(), QStringLiteral("0407"));
        main->hexNameField()->selectAll();
        QTest::keyClicks(main->hexNameField(), QStringLiteral("Ford"));
        QCOMPARE(name(main, 4, 7), std::string("Ford"));
        QCOMPARE(main->document().history().undoLabel(), std::string("Hex Name"));
        // Typed into the field, C and V are letters, not the copy and paste keys.
        QTest::keyClicks(main->hexNameField(), QStringLiteral("cv"));
        QCOMPARE(name(main, 4, 7), std::string("Fordcv"));
        QTest::keyClick(main->hexNameField(), Qt::Key_Backspace);
        QTest::keyClick(main->hexNameField(), Qt::Key_Backspace);
        QCOMPARE(name(main, 4, 7), std::string("Ford"));
        QCOMPARE(main->document().history().size(), std::size_t(1));

        // Copy, then paste onto another hex; the field follows in Edit Names.
        // Outside the field C copies.
        main->mapScroll()->setFocus();
        QTest::keyClick(main->mapScroll(), Qt::Key_C);
        QCOMPARE(panel->tools().names().clipboard(), std::string("Ford"));
        QTest::mouseClick(main->mapArea(), Qt::LeftButton, {}, hexPoint(main, 5, 8));
        QCOMPARE(main->hexNameField()->text(), QStringLiteral("0508"));
        trigger(main, "Paste Hex Name  [V]");
        QCOMPARE(name(main, 5, 8), std::string("Ford"));
        QCOMPARE(main->hexNameField()->text(), QStringLiteral("Ford"));
        main->undo();
        QCOMPARE(name(main, 5, 8), std::string("0508"));
        main->undo();
        QCOMPARE(name(main, 4, 7), std::string("0407"));

        // Clear Hex Names: Cancel changes nothing; OK and the default name set all.
        m_prompts->yesNoAnswers.push_back(false);
        trigger(main, "Clear Hex Names");
        QCOMPARE(name(main, 1, 1), std::string("0101"));
        bool asked = false;
        whenShown<QInputDialog>([&asked](QInputDialog* d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("Select Default Names"));
            QCOMPARE(d->labelText(), QStringLiteral("Primary"));
            QCOMPARE(d->textValue(), QStringLiteral("Off Map"));
            asked = true;
            d->accept();
        });
        trigger(main, "Clear Hex Names");
        QVERIFY(asked);
        const Module& m = module(main);
        for (int r = 1; r <= m.rows; ++r)
            for (int c = 1; c <= m.columns; ++c) QCOMPARE(m.hex(c, r).name, std::string("Off Map"));
        QVERIFY(texts().contains(QStringLiteral(
            "Clear Coordinates: This will delete ALL hex names.  Are you sure you want to "
            "continue?")));
        main->undo();
        QCOMPARE(name(main, 20, 20), std::string("2020"));
    }

    // ---- pictures --------------------------------------------------------------------

    void hexCopyAndTheTerrainToolsUndoExactly() {
        CQMXEditDlg* main = openModule();
        QVERIFY(main);
        CMapEditPanel* panel = main->mapTools();
        QCOMPARE(panel->tools().mode(), EditMode::Terrain);
        QVERIFY(panel->findChild<QPushButton*>("tool Border")->isEnabled());
        // Paint the source hex red, straight into the image.
        {
            QImage& image = main->document().graphics().image();
            const PixelPoint at = hexPicturePosition(module(main), 3, 3);
            for (int y = 5; y < 50; ++y)
                for (int x = 5; x < 45; ++x) image.setPixel(at.x + x, at.y + y, qRgb(255, 0, 0));
        }
        QTest::mouseClick(main->mapArea(), Qt::LeftButton, {}, hexPoint(main, 3, 3));
        QCOMPARE(panel->tools().source(), (Hex{3, 3}));
        QCOMPARE(panel->terrainEditor()->size(), QSize(51 * 3, 56 * 3));

        const QImage before = main->document().graphics().image().copy();
        panel->findChild<QRadioButton*>("mode Hex Copy")->click();
        QCOMPARE(panel->tools().mode(), EditMode::HexCopy);
        QVERIFY(!panel->findChild<QPushButton*>("tool Border")->isEnabled());
        QTest::mouseClick(main->mapArea(), Qt::LeftButton, {}, hexPoint(main, 7, 6));
        QCOMPARE(hexPixel(main, 7, 6), qRgb(255, 0, 0));
        QCOMPARE(main->document().history().undoLabel(), std::string("Hex Copy"));
        main->undo();
        QVERIFY(main->document().graphics().image() == before);
        main->redo();
        QCOMPARE(hexPixel(main, 7, 6), qRgb(255, 0, 0));
        main->undo();

        // Border in Terrain mode, and the overlay of the whole grid.
        panel->findChild<QRadioButton*>("mode Terrain")->click();
        QTest::mouseClick(panel->findChild<QPushButton*>("tool Border"), Qt::LeftButton);
        QVERIFY(main->document().graphics().image() != before);
        main->undo();
        QVERIFY(main->document().graphics().image() == before);
        trigger(main, "Draw hex grid Overlay");
        QCOMPARE(main->document().history().undoLabel(), std::string("Draw hex grid Overlay"));
        QVERIFY(main->document().graphics().image() != before);
        main->undo();
        QVERIFY(main->document().graphics().image() == before);
    }

    void fillAndSwapWorkOnTheSourceHexInTheTerrainEditor() {
        CQMXEditDlg* main = openModule();
        QVERIFY(main);
        CMapEditPanel* panel = main->mapTools();
        main->document().graphics().image().fill(qRgb(255, 255, 255));
        QTest::mouseClick(main->mapArea(), Qt::LeftButton, {}, hexPoint(main, 5, 5));
        const QImage before = main->document().graphics().image().copy();
        // Fill: armed by the button, done by the next click in the terrain editor.
        QTest::mouseClick(panel->findChild<QPushButton*>("tool Fill"), Qt::LeftButton);
        QVERIFY(panel->tools().fillArmed());
        QTest::mouseClick(panel->terrainEditor(), Qt::LeftButton, {}, QPoint(75, 84));
        QVERIFY(!panel->tools().fillArmed());
        QCOMPARE(hexPixel(main, 5, 5), qRgb(0, 0, 0));
        QCOMPARE(hexPixel(main, 6, 5), qRgb(255, 255, 255));  // the neighbour stays
        QCOMPARE(main->document().history().undoLabel(), std::string("Fill"));
        // F<>B turns the filled hexagon back to the background colour.
        QTest::mouseClick(panel->findChild<QPushButton*>("tool F<>B"), Qt::LeftButton);
        QCOMPARE(hexPixel(main, 5, 5), qRgb(255, 255, 255));
        main->undo();
        QCOMPARE(hexPixel(main, 5, 5), qRgb(0, 0, 0));
        main->undo();
        QVERIFY(main->document().graphics().image() == before);
    }

    void theColourPickTakesThePixelUnderTheNextClick() {
        CQMXEditDlg* main = openModule();
        QVERIFY(main);
        CMapEditPanel* panel = main->mapTools();
        {
            QImage& image = main->document().graphics().image();
            const PixelPoint at = hexPicturePosition(module(main), 2, 2);
            image.setPixel(at.x + 25, at.y + 28, qRgb(0, 128, 64));
        }
        QTest::mouseClick(panel->colourArea(), Qt::LeftButton, {}, QPoint(10, 10));
        QVERIFY(panel->tools().pickArmed());
        const PixelPoint at = hexPicturePosition(module(main), 2, 2);
        const int top = main->document().graphics().mapRect(module(main)).top();
        QTest::mouseClick(main->mapArea(), Qt::LeftButton, {}, QPoint(at.x + 25, at.y + 28 - top));
        QVERIFY(!panel->tools().pickArmed());
        QCOMPARE(panel->tools().foreground(), Pixel(qRgb(0, 128, 64)));
        QVERIFY(!main->document().history().canUndo());

        // Armed again, a click on any other window takes the colour shown there.
        QWidget swatch;
        swatch.setAutoFillBackground(true);
        QPalette palette;
        palette.setColor(QPalette::Window, QColor(200, 10, 90));
        swatch.setPalette(palette);
        swatch.resize(40, 40);
        swatch.show();
        QVERIFY(QTest::qWaitForWindowExposed(&swatch));
        QTest::mouseClick(panel->colourArea(), Qt::LeftButton, {}, QPoint(10, 10));
        QTest::mouseClick(&swatch, Qt::LeftButton, {}, QPoint(20, 20));
        QVERIFY(!panel->tools().pickArmed());
        QCOMPARE(panel->tools().foreground(), Pixel(qRgb(200, 10, 90)));
    }

    void makeOverviewWritesTheOverviewAsOneStep() {
        CQMXEditDlg* main = openModule();
        QVERIFY(main);
        {
            QImage& image = main->document().graphics().image();
            const QRect band = main->document().graphics().mapRect(module(main));
            image.fill(qRgb(255, 255, 255));
            for (int y = band.top(); y < band.bottom(); ++y)
                for (int x = 0; x < band.width() / 2; ++x) image.setPixel(x, y, qRgb(0, 0, 255));
        }
        const QImage before = main->document().graphics().image().copy();
        trigger(main, "Make Overview");
        const QImage& after = main->document().graphics().image();
        QCOMPARE(main->document().history().undoLabel(), std::string("Make Overview"));
        QCOMPARE(after.pixel(20, 20), qRgb(0, 0, 255));
        QCOMPARE(after.pixel(module(main).overviewWidth - 20, 20), qRgb(255, 255, 255));
        // The progress ("Row 20") gives way to the selected hex's name again.
        QCOMPARE(main->mapTools()->hexNameLabel()->text(), QStringLiteral("0101"));
        main->undo();
        QVERIFY(main->document().graphics().image() == before);

        if (qEnvironmentVariableIsSet("QMX_SCREENSHOT")) {
            main->resize(1100, 760);
            main->grab().save(qEnvironmentVariable("QMX_SCREENSHOT"));
        }
    }
};

QTEST_MAIN(MapToolsWidgetTest)
#include "MapToolsWidgetTest.moc"
