// Define Units, Add Units and Edit Cards driven offscreen through the real
// dialogs, and a module built from nothing, saved and read back by qmxtool.
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>
#include <QTreeView>
#include <memory>
#include <sstream>

#include "core/edit/NewModuleForm.h"
#include "core/module/MessageTable.h"
#include "editor/CAddUnitsDlg.h"
#include "editor/CDefineUnitsDlg.h"
#include "editor/CEditCardsDlg.h"
#include "editor/CEditorApp.h"
#include "editor/CImagePicker.h"
#include "editor/CNewModuleDlg.h"
#include "editor/CQMXEditDlg.h"
#include "editor/CStartDlg.h"
#include "editor/CUnitListModel.h"
#include "editor/EditorDocument.h"
#include "tests/editor/EditorWidgetSupport.h"
#include "tests/support/ScriptedEditorDialogs.h"
#include "tools/qmxtool/Commands.h"

using namespace qmx;
using namespace qmx::test;

namespace {

struct ToolOutput {
    int status = 0;
    std::string out;
    std::string err;
};

ToolOutput runQmxtool(const std::vector<std::string>& args) {
    tool::CommandTable table;
    tool::registerAllCommands(table);
    std::istringstream in;
    std::ostringstream out, err;
    ToolOutput r;
    r.status = tool::runTool(table, args, {in, out, err});
    r.out = out.str();
    r.err = err.str();
    return r;
}

// A click on the picker at a point of the dialog.
void clickPicker(CDefineUnitsDlg* d, QPoint inDialog, Qt::MouseButton button,
                 Qt::KeyboardModifiers mods = {}) {
    QTest::mouseClick(d->picker(), button, mods, inDialog - d->picker()->pos());
}

QRgb previewPixel(CDefineUnitsDlg* d, int step) {
    return d->preview(step)->pixmap().toImage().pixel(5, 5) & 0xFFFFFF;
}

}  // namespace

class UnitsWidgetTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<EditorHome> m_home;
    ScriptedEditorDialogs* m_prompts = nullptr;
    std::unique_ptr<EditorDocument> m_doc;

    QString path(const QString& name) const { return m_home->path(name); }

private slots:
    void init() {
        m_home = std::make_unique<EditorHome>();
        QVERIFY(m_home->isValid());
        m_prompts = &m_home->prompts;
        m_doc = m_home->document();
        QVERIFY(m_doc);
    }
    void cleanup() {
        finishDialogWaits();
        m_doc.reset();
        m_home.reset();
    }

    // ---- Define Units ---------------------------------------------------------------

    void opensOnUnitOneWithEveryControl() {
        m_doc->module().setTotalMode(1, TotalMode::Total);
        m_doc->module().setTotalMode(2, TotalMode::NotComputed);
        m_doc->module().setTotalMode(3, TotalMode::Highest);
        CDefineUnitsDlg d(*m_doc);
        QCOMPARE(d.windowTitle(), QStringLiteral("Define Units"));
        QCOMPARE(d.numberField()->text(), QStringLiteral("1"));
        QCOMPARE(d.valueNameEdit(0)->text(), QStringLiteral("Att"));
        QCOMPARE(d.modeButton(0)->text(), QStringLiteral("Min"));
        QCOMPARE(d.modeButton(1)->text(), QStringLiteral("Total"));
        QCOMPARE(d.modeButton(2)->text(), QStringLiteral("Total"));
        QCOMPARE(d.modeButton(3)->text(), QStringLiteral("Max"));
        QCOMPARE(d.imageField(0)->text(), QStringLiteral("1"));
        QVERIFY(!d.usedBox(1)->isChecked());
        QCOMPARE(d.picker()->geometry(), QRect(278, 27, 315, 132));
        QCOMPARE(d.listModel()->rowCount(), 40);
        QCOMPARE(d.listModel()->headerData(2, Qt::Horizontal, Qt::DisplayRole).toString(),
                 QStringLiteral("Att"));
        QCOMPARE(d.list()->currentIndex().row(), 0);
        for (const char* b :
             {"Copy", "Paste", "Copy to Next", "Unit Images", "Select Next Unit", "OK"})
            QVERIFY2(d.button(QString::fromLatin1(b)), b);
        QVERIFY(d.findChild<QLabel*>() != nullptr);
        // Unit image 1 is grey 1 in the test image.
        QCOMPARE(previewPixel(&d, 0), 0x010101u);
    }

    void editsGoToTheModuleAndTheListAtOnce() {
        CDefineUnitsDlg d(*m_doc);
        d.list()->setCurrentIndex(d.listModel()->index(4, 0));
        QCOMPARE(d.numberField()->text(), QStringLiteral("5"));
        d.nameEdit()->setFocus();
        QTest::keyClicks(d.nameEdit(), "Guards");
        QCOMPARE(m_doc->module().units[5].name, std::string("Guards"));
        QCOMPARE(d.listModel()->index(4, 1).data().toString(), QStringLiteral("Guards"));
        d.valueEdit(0, 0)->setValue(-1);
        QCOMPARE(m_doc->module().units[5].values[0][0], std::uint8_t(255));
        QCOMPARE(d.listModel()->index(4, 2).data().toInt(), -1);
        d.valueEdit(0, 1)->setValue(150);
        QCOMPARE(m_doc->module().units[5].values[0][1], std::uint8_t(99));
        // A name is cut at 36 characters.
        QTest::keyClicks(d.nameEdit(), " of the Emperor, Old Guard Grenadiers");
        QCOMPARE(m_doc->module().units[5].name.size(), std::size_t(36));
        QCOMPARE(d.nameEdit()->toPlainText().size(), qsizetype(36));
        // Value names and total modes are the module's.
        d.valueNameEdit(3)->setFocus();
        QTest::keyClicks(d.valueNameEdit(3), "Range");
        QCOMPARE(m_doc->module().valueNames[3], std::string("Rang"));
        QTest::mouseClick(d.modeButton(0), Qt::LeftButton);
        QCOMPARE(d.modeButton(0)->text(), QStringLiteral("Max"));
        QTest::mouseClick(d.modeButton(0), Qt::LeftButton);
        QCOMPARE(d.modeButton(0)->text(), QStringLiteral("Total"));
        QCOMPARE(m_doc->module().totalMode(0), TotalMode::Total);
        // Typing a unit number selects it.
        d.numberField()->setText(QStringLiteral("12"));
        emit d.numberField()->editingFinished();
        QCOMPARE(d.editor().currentUnit(), 12);
        QCOMPARE(d.list()->currentIndex().row(), 11);
    }

    void usedBoxesFollowTheirRules() {
        CDefineUnitsDlg d(*m_doc);
        d.valueEdit(0, 2)->setValue(6);
        // Step 4 while step 3 is not used: the box stays clear.
        QTest::mouseClick(d.usedBox(3), Qt::LeftButton);
        QVERIFY(!d.usedBox(3)->isChecked());
        QCOMPARE(m_doc->module().units[1].stepImage[3], 0);
        for (int s = 1; s <= 3; ++s) {
            QTest::mouseClick(d.usedBox(s), Qt::LeftButton);
            QVERIFY(d.usedBox(s)->isChecked());
        }
        QCOMPARE(d.valueEdit(3, 2)->value(), 6);
        QCOMPARE(d.imageField(3)->text(), QStringLiteral("1"));
        // Clearing step 3 while step 4 is used asks; Yes: steps 3 and 4 go.
        m_prompts->yesNoAnswers = {true};
        QTest::mouseClick(d.usedBox(2), Qt::LeftButton);
        QCOMPARE(m_prompts->shown.size(), std::size_t(1));
        QVERIFY(!d.usedBox(2)->isChecked());
        QVERIFY(!d.usedBox(3)->isChecked());
        QVERIFY(d.usedBox(1)->isChecked());
        QCOMPARE(m_doc->module().units[1].stepImage[2], 0);
        QCOMPARE(m_doc->module().units[1].stepImage[3], 0);
    }

    void pickerClicksGiveImagesToSteps() {
        CDefineUnitsDlg d(*m_doc);
        // Left click, column 2 row 1: image 2 * 3 + 1 + 1 = 8 to step 1.
        clickPicker(&d, QPoint(278 + 2 * 45 + 10, 27 + 44 + 10), Qt::LeftButton);
        QCOMPARE(m_doc->module().units[1].stepImage[0], 8);
        QCOMPARE(d.imageField(0)->text(), QStringLiteral("8"));
        QCOMPARE(previewPixel(&d, 0), 0x080808u);
        QCOMPARE(d.listModel()->index(0, 8).data().toInt(), 8);
        // Right with step 2 used.
        QTest::mouseClick(d.usedBox(1), Qt::LeftButton);
        clickPicker(&d, QPoint(280, 30), Qt::RightButton);
        QCOMPARE(m_doc->module().units[1].stepImage[1], 1);
        QCOMPARE(previewPixel(&d, 1), 0x010101u);
        // The spin moves the picker by one column of three.
        QTest::mouseClick(d.pickerForward(), Qt::LeftButton);
        QCOMPARE(d.editor().firstShownImage(), 4);
        clickPicker(&d, QPoint(280, 30), Qt::LeftButton);
        QCOMPARE(m_doc->module().units[1].stepImage[0], 4);
        QTest::mouseClick(d.pickerForward(), Qt::LeftButton);
        QTest::mouseClick(d.pickerBack(), Qt::LeftButton);
        QCOMPARE(d.editor().firstShownImage(), 4);
        // The picker's place is kept for the next opening.
        QCOMPARE(m_doc->firstShownImage, 4);
        // Painting shows image 4 in the first cell.
        const QImage shot = d.picker()->grab().toImage();
        QCOMPARE(shot.pixel(10, 10) & 0xFFFFFF, 0x040404u);
    }

    void copyPasteAndTheNextUnit() {
        CDefineUnitsDlg d(*m_doc);
        QTest::mouseClick(d.button(QStringLiteral("Paste")), Qt::LeftButton);
        QCOMPARE(m_doc->history().size(), std::size_t(0));  // nothing copied: nothing done
        QTest::keyClicks(d.nameEdit(), "HQ");
        d.valueEdit(0, 4)->setValue(3);
        QTest::mouseClick(d.button(QStringLiteral("Copy")), Qt::LeftButton);
        QTest::mouseClick(d.button(QStringLiteral("Copy to Next")), Qt::LeftButton);
        QCOMPARE(d.editor().currentUnit(), 2);
        QCOMPARE(d.nameEdit()->toPlainText(), QStringLiteral("HQ"));
        QCOMPARE(m_doc->module().units[2].values[0][4], std::uint8_t(3));
        QTest::mouseClick(d.button(QStringLiteral("Select Next Unit")), Qt::LeftButton);
        QCOMPARE(d.editor().currentUnit(), 3);
        QCOMPARE(d.nameEdit()->toPlainText(), QString());
        QTest::mouseClick(d.button(QStringLiteral("Paste")), Qt::LeftButton);
        QCOMPARE(m_doc->module().units[3].name, std::string("HQ"));
        QVERIFY(d.button(QStringLiteral("Unit Images"))->isEnabled());
    }

    void undoInsideTheDialogRefreshesIt() {
        CDefineUnitsDlg d(*m_doc);
        QTest::keyClicks(d.nameEdit(), "Rifles");
        d.valueEdit(0, 0)->setValue(4);
        d.undo();
        QCOMPARE(d.valueEdit(0, 0)->value(), 0);
        d.undo();
        QCOMPARE(d.nameEdit()->toPlainText(), QString());
        QCOMPARE(d.listModel()->index(0, 1).data().toString(), QString());
        d.redo();
        QCOMPARE(d.nameEdit()->toPlainText(), QStringLiteral("Rifles"));
        // The keys reach the dialog from a control that has no undo of its own.
        d.show();
        d.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        d.button(QStringLiteral("Copy"))->setFocus();
        QTest::keyClick(d.button(QStringLiteral("Copy")), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(m_doc->module().units[1].name, std::string());
    }

    // ---- Add Units -----------------------------------------------------------------

    void addUnitsAsksAndCapsWithACaution() {
        NewModuleForm form;
        form.units = 64950;
        form.confirm();
        m_doc->newModule(form);
        CAddUnitsDlg d(*m_doc);
        QCOMPARE(d.findChild<QLabel*>("question")->text(),
                 QStringLiteral("There are currently 64950 units in the module.  How many more "
                                "do you wish to add?"));
        QTest::keyClicks(d.numberEdit(), "100");
        d.accept();
        QCOMPARE(m_doc->module().unitCount, 65000);
        QCOMPARE(m_prompts->shown.size(), std::size_t(1));
        QCOMPARE(m_prompts->shown[0].title, QStringLiteral("Caution"));
        QCOMPARE(m_prompts->shown[0].text,
                 QStringLiteral("Too many units.  Number truncated to 65,000.\n\n50 units will "
                                "be added. Do you wish to add them?"));
        QCOMPARE(m_doc->module().units[65000].stepImage[5], 1);
        QCOMPARE(m_doc->module().units[64950].stepImage[5], 0);
        // The list of the grown table has a line per unit.
        CDefineUnitsDlg units(*m_doc);
        QCOMPARE(units.listModel()->rowCount(), 65000);
        units.list()->setCurrentIndex(units.listModel()->index(64999, 0));
        QCOMPARE(units.numberField()->text(), QStringLiteral("65000"));
    }

    // ---- Edit Cards -----------------------------------------------------------------

    void typingIntoADeckWithoutCardsIsRefused() {
        CEditCardsDlg d(*m_doc);
        QCOMPARE(d.cardField()->text(), QStringLiteral("0"));
        QCOMPARE(d.deckField()->text(), QStringLiteral("1"));
        d.textEdit()->setFocus();
        QTest::keyClicks(d.textEdit(), "x");
        QCOMPARE(d.textEdit()->toPlainText(), QString());
        QCOMPARE(m_prompts->shown.size(), std::size_t(1));
        d.accept();
        QCOMPARE(m_doc->module().decks[1].cardCount, std::uint8_t(0));
    }

    void cardsAreStoredWhenLeavingThem() {
        CEditCardsDlg d(*m_doc);
        QVERIFY(d.findChild<QLabel*>() != nullptr);
        QTest::mouseClick(d.addButton(), Qt::LeftButton);
        QCOMPARE(d.cardField()->text(), QStringLiteral("1"));
        QTest::keyClicks(d.textEdit(), "Move");
        QTest::keyClick(d.textEdit(), Qt::Key_Tab, Qt::ControlModifier);
        QTest::keyClicks(d.textEdit(), "two");
        QTest::keyClick(d.textEdit(), Qt::Key_Return);
        QTest::keyClicks(d.textEdit(), "hexes");
        QTest::mouseClick(d.addButton(), Qt::LeftButton);
        QCOMPARE(m_doc->module().decks[1].cards[1].text, std::string("Move\ttwo\r\nhexes"));
        QCOMPARE(m_doc->module().decks[1].cards[1].storedLength, 19u);  // 15 bytes + 4
        QCOMPARE(d.cardField()->text(), QStringLiteral("2"));
        QCOMPARE(d.textEdit()->toPlainText(), QString());
        // Ctrl+Z in the text takes the Add back, Ctrl+Shift+Z makes it again.
        QTest::keyClick(d.textEdit(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(int(m_doc->module().decks[1].cardCount), 1);
        QTest::keyClick(d.textEdit(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(int(m_doc->module().decks[1].cardCount), 2);
        // Card 2 left empty is kept, stored length 4.
        QTest::mouseClick(d.cardDown(), Qt::LeftButton);
        QCOMPARE(m_doc->module().decks[1].cards[2].storedLength, 4u);
        QCOMPARE(d.textEdit()->toPlainText(), QStringLiteral("Move\ttwo\nhexes"));
        QTest::mouseClick(d.cardDown(), Qt::LeftButton);
        QCOMPARE(d.cardField()->text(), QStringLiteral("1"));
        // Deck name copied at once; the deck spin shows the next deck.
        QTest::keyClicks(d.deckNameEdit(), "Allied Orders");
        QCOMPARE(m_doc->module().decks[1].name, std::string("Allied Orders"));
        QTest::mouseClick(d.deckUp(), Qt::LeftButton);
        QCOMPARE(d.deckField()->text(), QStringLiteral("2"));
        QCOMPARE(d.cardField()->text(), QStringLiteral("0"));
        QCOMPARE(d.deckNameEdit()->text(), QString());
        // Delete Card takes the card shown out of its deck.
        QTest::mouseClick(d.deckDown(), Qt::LeftButton);
        QTest::mouseClick(d.findChild<QPushButton*>(QStringLiteral("deleteCard")), Qt::LeftButton);
        QCOMPARE(int(m_doc->module().decks[1].cardCount), 1);
        QCOMPARE(m_doc->module().decks[1].cards[1].text, std::string());
    }

    void cardTextIsLimitedTo1064Characters() {
        CEditCardsDlg d(*m_doc);
        QTest::mouseClick(d.addButton(), Qt::LeftButton);
        d.textEdit()->setPlainText(QString(1100, QChar('a')));
        QCOMPARE(d.textEdit()->toPlainText().size(), qsizetype(1064));
        // Typing into a full card takes nothing and keeps its end; a line
        // end counts two of the 1,064.
        d.textEdit()->moveCursor(QTextCursor::Start);
        QTest::keyClicks(d.textEdit(), "XY");
        QCOMPARE(d.textEdit()->toPlainText(), QString(1064, QChar('a')));
        d.textEdit()->setPlainText(QString(1062, QChar('a')));
        d.textEdit()->moveCursor(QTextCursor::End);
        QTest::keyClick(d.textEdit(), Qt::Key_Return);
        QTest::keyClicks(d.textEdit(), "Z");
        QCOMPARE(d.textEdit()->toPlainText(), QString(1062, QChar('a')) + QChar('\n'));
        d.reject();  // closing the window keeps the text too
        QCOMPARE(m_doc->module().decks[1].cards[1].text.size(), std::size_t(1064));
    }

    // ---- a module from nothing ---------------------------------------------------------

    void aModuleBuiltFromNothingReadsBackInQmxtool() {
        CEditorApp app(m_home->folder(), *m_prompts, m_home->clock);
        whenShown<CStartDlg>([](CStartDlg* d) {
            QTest::mouseClick(d->findChild<QPushButton*>("new"), Qt::LeftButton);
        });
        whenShown<CNewModuleDlg>([](CNewModuleDlg* d) {
            d->columnsEdit()->setText(QStringLiteral("30"));
            d->rowsEdit()->setText(QStringLiteral("24"));
            d->unitsEdit()->setText(QStringLiteral("36"));
            d->accept();
        });
        CQMXEditDlg* main = app.startUp({});
        QVERIFY(main);
        main->show();

        whenShown<CDefineUnitsDlg>([](CDefineUnitsDlg* d) {
            QTest::keyClicks(d->valueNameEdit(0), "Att");
            QTest::keyClicks(d->valueNameEdit(1), "Def");
            QTest::mouseClick(d->modeButton(0), Qt::LeftButton);  // Max
            QTest::mouseClick(d->modeButton(0), Qt::LeftButton);  // Total
            QTest::keyClicks(d->nameEdit(), "1st Guards");
            d->valueEdit(0, 0)->setValue(7);
            d->valueEdit(0, 1)->setValue(-1);
            clickPicker(d, QPoint(278 + 45 + 5, 27 + 5), Qt::LeftButton);  // image 4
            QTest::mouseClick(d->usedBox(1), Qt::LeftButton);
            d->valueEdit(1, 0)->setValue(3);
            clickPicker(d, QPoint(278 + 45 + 5, 27 + 44 + 5), Qt::RightButton);  // image 5
            QTest::mouseClick(d->button(QStringLiteral("Copy to Next")), Qt::LeftButton);
            d->nameEdit()->selectAll();
            QTest::keyClicks(d->nameEdit(), "2nd Guards");
            QTest::mouseClick(d->button(QStringLiteral("OK")), Qt::LeftButton);
        });
        main->action(QStringLiteral("Edit Units"))->trigger();

        whenShown<CEditCardsDlg>([](CEditCardsDlg* d) {
            QTest::keyClicks(d->deckNameEdit(), "Events");
            QTest::mouseClick(d->addButton(), Qt::LeftButton);
            QTest::keyClicks(d->textEdit(), "Rain: no movement");
            QTest::keyClick(d->textEdit(), Qt::Key_Return);
            QTest::keyClicks(d->textEdit(), "this turn.");
            QTest::mouseClick(d->addButton(), Qt::LeftButton);
            QTest::keyClicks(d->textEdit(), "Reinforcements");
            d->accept();
        });
        main->action(QStringLiteral("Edit Cards"))->trigger();

        const std::string file = str(path("modules/Built.qm4"));
        m_prompts->fileAnswers.push_back(path("modules/Built"));
        main->action(QStringLiteral("Save"))->trigger();
        QVERIFY(!main->document().hasUnsavedChanges());

        const ToolOutput info = runQmxtool({"info", file});
        QCOMPARE(info.status, 0);
        QVERIFY2(info.out.find("Size:         30 x 24 hexes (columns x rows)") != std::string::npos,
                 info.out.c_str());
        QVERIFY(info.out.find("Units:        36") != std::string::npos);
        QVERIFY(info.out.find("1  Att       Total") != std::string::npos);
        QVERIFY(info.out.find("2  Def       Lowest") != std::string::npos);
        QVERIFY(info.out.find("1  Events") != std::string::npos);
        QVERIFY(info.out.find("2 cards") != std::string::npos);

        const ToolOutput units = runQmxtool({"units", file});
        QCOMPARE(units.status, 0);
        std::istringstream lines(units.out);
        std::string first, second, third;
        std::getline(lines, first);
        std::getline(lines, second);
        std::getline(lines, third);
        QVERIFY2(first.find("1st Guards") != std::string::npos, first.c_str());
        QVERIFY2(first.find("step 1 image 4 values 7 -1 0 0 0 0 | step 2 image 5 values 3 -1 0 "
                            "0 0 0") != std::string::npos,
                 first.c_str());
        QVERIFY2(second.find("2nd Guards") != std::string::npos, second.c_str());
        QVERIFY(second.find("step 1 image 4 values 7 -1 0 0 0 0 | step 2 image 5") !=
                std::string::npos);
        QVERIFY2(third.find("step 1 image 1 values 0 0 0 0 0 0") != std::string::npos,
                 third.c_str());
        QVERIFY(third.find("step 2") == std::string::npos);

        const ToolOutput card1 = runQmxtool({"card", file, "1", "1", "--raw"});
        QCOMPARE(card1.status, 0);
        QCOMPARE(card1.out, std::string("Rain: no movement\r\nthis turn."));
        const ToolOutput card2 = runQmxtool({"card", file, "1", "2", "--raw"});
        QCOMPARE(card2.out, std::string("Reinforcements"));

        // The player reads it: versions, image and all.
        const ModuleLoad player = tool::loadModuleForTool(file);
        QVERIFY(player.ok);
        ModuleGraphics graphics;
        QVERIFY(graphics.load(file).ok());
        QCOMPARE(graphics.image().height(), 25 * 42 + player.module.mapTop - 1);
#ifdef QMX4_PROGRAM
        // And the player program opens it and shows its board.
        QProcess qmx4;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QMX_HOME"), QString::fromStdString(m_home->folder()));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        qmx4.setProcessEnvironment(env);
        const QString shot = path("board.png");
        qmx4.start(QStringLiteral(QMX4_PROGRAM),
                   {QStringLiteral("--no-dialogs"), QStringLiteral("--screenshot"), shot,
                    QString::fromLocal8Bit(file.c_str())});
        QVERIFY(qmx4.waitForFinished(60000));
        QVERIFY2(qmx4.exitStatus() == QProcess::NormalExit && qmx4.exitCode() == 0,
                 qmx4.readAllStandardError().constData());
        QVERIFY(!QImage(shot).isNull());
#endif
    }
};

QTEST_MAIN(UnitsWidgetTest)
#include "UnitsWidgetTest.moc"
