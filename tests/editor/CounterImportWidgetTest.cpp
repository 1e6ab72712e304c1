// Unit Functions > Import Counter Pictures through the real main dialog.

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTest>
#include <memory>

#include "editor/CEditorApp.h"
#include "editor/CImportCountersDlg.h"
#include "editor/CQMXEditDlg.h"
#include "editor/EditorDocument.h"
#include "tests/editor/EditorWidgetSupport.h"
#include "tests/support/ScriptedEditorDialogs.h"

using namespace qmx;
using namespace qmx::test;

class CounterImportWidgetTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<EditorHome> m_home;
    std::unique_ptr<CEditorApp> m_app;

    CQMXEditDlg* openModule() { return m_home->open(*m_app); }
    // The colour in the middle of unit image k of the editor's image.
    static QRgb centre(const EditorDocument& doc, int k) {
        const auto cell = doc.graphics().unitImageSource(doc.module(), k);
        return cell ? doc.graphics().image().pixel(cell->center()) & 0xFFFFFF : 0;
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

    // Two pictures from image 3 on: the preview says where they go, the import
    // is one step that Undo takes back whole, and a box says what was placed.
    // An import that does not fit is asked about first; No changes nothing.
    void importIsOneStepOfTheHistory() {
        const QString folder = m_home->path(QStringLiteral("counters"));
        QVERIFY(QDir().mkpath(folder));
        QImage red(40, 40, QImage::Format_RGB32);
        red.fill(0xFF0000);
        QImage blue(64, 64, QImage::Format_RGB32);
        blue.fill(0x0000FF);
        QVERIFY(red.save(folder + QStringLiteral("/a1.png")));
        QVERIFY(blue.save(folder + QStringLiteral("/a2.bmp")));

        CQMXEditDlg* main = openModule();
        QVERIFY(main);
        EditorDocument& doc = main->document();
        QCOMPARE(centre(doc, 3), qRgb(3, 3, 3) & 0xFFFFFF);

        QString preview;
        whenShown<CImportCountersDlg>([&](CImportCountersDlg* d) {
            QCOMPARE(d->firstImage()->value(), 1);  // the units all show image 1
            d->pathEdit()->setText(folder);
            d->firstImage()->setValue(3);
            preview = d->preview()->text();
            d->accept();
        });
        main->action(QStringLiteral("Import Counter Pictures..."))->trigger();
        QCOMPARE(preview, QStringLiteral("2 pictures \u2192 images 3 to 4"));
        QCOMPARE(centre(doc, 3), 0xFF0000u);
        QCOMPARE(centre(doc, 4), 0x0000FFu);
        QCOMPARE(centre(doc, 5), qRgb(5, 5, 5) & 0xFFFFFF);
        QCOMPARE(m_home->prompts.shown.back().text,
                 QStringLiteral("2 pictures placed as unit images 3 to 4."));

        main->undo();
        QCOMPARE(centre(doc, 3), qRgb(3, 3, 3) & 0xFFFFFF);
        QCOMPARE(centre(doc, 4), qRgb(4, 4, 4) & 0xFFFFFF);
        QVERIFY(!doc.history().canUndo());

        const int capacity = doc.module().imageCapacity();
        const QImage before = doc.graphics().image();
        m_home->prompts.yesNoAnswers = {false};
        whenShown<CImportCountersDlg>([&](CImportCountersDlg* d) {
            d->pathEdit()->setText(folder);
            d->firstImage()->setValue(capacity);
            d->accept();  // asks, and stays open on No
            QVERIFY(d->isVisible());
            d->reject();
        });
        main->action(QStringLiteral("Import Counter Pictures..."))->trigger();
        QVERIFY(m_home->prompts.shown.back().text.startsWith(QStringLiteral("Only 1 of the 2")));
        QCOMPARE(doc.graphics().image(), before);
    }
};

QTEST_MAIN(CounterImportWidgetTest)
#include "CounterImportWidgetTest.moc"
