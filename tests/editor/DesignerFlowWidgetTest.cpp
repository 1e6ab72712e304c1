// A module made the way a designer makes one: a new module in the editor, its
// map painted elsewhere and brought in with Import Map Picture, its counters
// drawn elsewhere and brought in with Import Counter Pictures, saved, and a
// setup game made from a spreadsheet table; then the player opens the setup
// and shows the map and the counters at the hexes the table names.
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <memory>

#include "core/edit/ModuleEdits.h"
#include "core/map/MapPicture.h"
#include "core/module/UnitImageSheet.h"
#include "editor/CEditorApp.h"
#include "editor/CImportCountersDlg.h"
#include "editor/CImportMapDlg.h"
#include "editor/CNewModuleDlg.h"
#include "editor/CQMXEditDlg.h"
#include "editor/CStartDlg.h"
#include "editor/EditorDocument.h"
#include "player/CMainFrame.h"
#include "tests/editor/EditorWidgetSupport.h"
#include "tests/support/PlayerHome.h"
#include "tests/support/ScriptedEditorDialogs.h"
#include "tests/support/ScriptedPrompts.h"

using namespace qmx;
using namespace qmx::test;

class DesignerFlowWidgetTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { finishDialogWaits(); }

    void aPaintedMapDrawnCountersAndATableSetupShowInThePlayer() {
        PlayerHome home;
        QVERIFY(home.isValid());
        ScriptedEditorDialogs dialogs;
        FixedClock clock;
        auto editor = std::make_unique<CEditorApp>(str(home.folder()) + "/", dialogs, clock);

        // The map, painted for 24 x 16 hexes in line with the top edge: the
        // middle of each hex coloured by its column and row.
        const PixelPoint size = blankMapSize(24, 16, GridOrientation::RowsAligned);
        QImage map(size.x, size.y, QImage::Format_RGB32);
        map.fill(Qt::white);
        Module grid = Module::createEmpty(24, 16, GridOrientation::RowsAligned, kMinUnits);
        grid.mapTop = 0;
        for (int r = 1; r <= 16; ++r)
            for (int c = 1; c <= 24; ++c) {
                const PixelPoint at = hexPicturePosition(grid, c, r);
                for (int y = 8; y < 48; ++y)
                    for (int x = 8; x < 44; ++x) map.setPixel(at.x + x, at.y + y, qRgb(c, r, 99));
            }
        const QString mapFile = home.path(QStringLiteral("painted map.png"));
        QVERIFY(map.save(mapFile));
        // Three counters of other sizes and kinds.
        const QString counters = home.path(QStringLiteral("counters"));
        QVERIFY(QDir().mkpath(counters));
        const QRgb colours[3] = {qRgb(200, 0, 0), qRgb(0, 160, 0), qRgb(0, 0, 220)};
        const char* files[3] = {"/inf 1.png", "/inf 2.bmp", "/inf 10.png"};
        for (int i = 0; i < 3; ++i) {
            QImage counter(64, 64, QImage::Format_RGB32);
            counter.fill(colours[i]);
            QVERIFY(counter.save(counters + QString::fromLatin1(files[i])));
        }

        // A new module, 20 x 20 hexes.
        whenShown<CStartDlg>([](CStartDlg* d) {
            QTest::mouseClick(d->findChild<QPushButton*>("new"), Qt::LeftButton);
        });
        whenShown<CNewModuleDlg>([](CNewModuleDlg* d) { d->accept(); });
        CQMXEditDlg* main = editor->startUp(EditorOptions{});
        QVERIFY(main);
        main->show();
        EditorDocument& doc = main->document();

        dialogs.fileAnswers.push_back(mapFile);
        whenShown<CImportMapDlg>([](CImportMapDlg* d) {
            d->findChild<QRadioButton*>(QStringLiteral("sizeGrid"))->setChecked(true);
            d->accept();
        });
        main->action(QStringLiteral("Import Map Picture..."))->trigger();
        QCOMPARE(doc.module().columns, 24);
        QCOMPARE(doc.module().rows, 16);

        whenShown<CImportCountersDlg>([&](CImportCountersDlg* d) {
            d->pathEdit()->setText(counters);
            d->firstImage()->setValue(2);
            d->accept();
        });
        main->action(QStringLiteral("Import Counter Pictures..."))->trigger();
        // Units 1 to 3 show the counters, in the names' natural order.
        for (int u = 1; u <= 3; ++u) {
            UnitDefinition unit = doc.module().units[static_cast<std::size_t>(u)];
            unit.stepImage[0] = static_cast<std::uint16_t>(u + 1);
            doc.history().apply(editUnit(doc.module(), u, unit, "Unit Image"));
        }
        const QString moduleFile = home.path(QStringLiteral("modules/Designed.qm4"));
        dialogs.fileAnswers.push_back(moduleFile);
        main->action(QStringLiteral("Save"))->trigger();
        QVERIFY(QFile::exists(moduleFile));

        // The setup from a spreadsheet table: hexes by their names and by
        // column,row. The editor writes the saved game the player opens.
        const QString table = home.path(QStringLiteral("setup.csv"));
        {
            QFile f(table);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("unit,hex\n1,0302\n2,0605\n3,\"4,3\"\n");
        }
        const QString game = home.path(QStringLiteral("Savedgames/Designed-setup.qms"));
        dialogs.fileAnswers = {table, game};
        main->action(QStringLiteral("Make Setup Game from Table..."))->trigger();
        QVERIFY(QFile::exists(game));
        QVERIFY2(
            dialogs.shown.back().text.startsWith(QStringLiteral("3 units placed on 3 hexes; ")),
            qPrintable(dialogs.shown.back().text));
        editor.reset();
        const std::vector<Hex> hexes = {{3, 2}, {6, 5}, {4, 3}};

        // The player opens the setup and shows the map and the counters.
        ScriptedPrompts person;
        auto player = home.player(moduleFile, game, &person);
        QCOMPARE(player->start(), CQMXApp::StartResult::Running);
        auto* view = qobject_cast<CQMXView*>(player->frame()->boardView());
        QVERIFY(view);
        view->resize(800, 600);
        QImage shown(view->viewport()->size(), QImage::Format_RGB32);
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                view->viewport()->render(&shown);
                return shown.pixel(hexCentre(view, {5, 4})) == qRgb(5, 4, 99);
            }(),
            5000);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(shown.pixel(hexCentre(view, hexes[static_cast<std::size_t>(i)])), colours[i]);
        QCOMPARE(shown.pixel(hexCentre(view, {2, 6})), qRgb(2, 6, 99));
        // The players are still to be defined, as at the start of any game.
        QCOMPARE(person.definitions, 1);
    }
};

QTEST_MAIN(DesignerFlowWidgetTest)
#include "DesignerFlowWidgetTest.moc"
