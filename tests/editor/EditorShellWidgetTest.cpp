// The editor's start-up, main dialog and file commands, driven offscreen
// through the real dialogs.
#include <unistd.h>

#include <QAction>
#include <QCheckBox>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <memory>

#include "core/edit/EditorFiles.h"
#include "core/edit/ModuleEdits.h"
#include "core/module/FileIo.h"
#include "core/module/MessageTable.h"
#include "editor/CDefineUnitsDlg.h"
#include "editor/CEditAboutDlg.h"
#include "editor/CEditorApp.h"
#include "editor/CMapArea.h"
#include "editor/CModuleInformationDlg.h"
#include "editor/CNewModuleDlg.h"
#include "editor/CQMXEditDlg.h"
#include "editor/CStartDlg.h"
#include "tests/editor/EditorWidgetSupport.h"
#include "tests/support/PlainTextCheck.h"
#include "tests/support/ScriptedEditorDialogs.h"
#include "widgets/CHelpWindow.h"

using namespace qmx;
using namespace qmx::test;

namespace {

std::optional<Bytes> bytesOf(const QString& path) {
    return readWholeFile(str(path));
}

}  // namespace

class EditorShellWidgetTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<EditorHome> m_home;
    ScriptedEditorDialogs* m_prompts = nullptr;
    std::unique_ptr<CEditorApp> m_app;

    QString path(const QString& name) const { return m_home->path(name); }
    QString modulePath() const { return m_home->modulePath(); }

    CQMXEditDlg* start(const std::string& module = {}) {
        EditorOptions o;
        o.module = module;
        return m_app->startUp(o);
    }
    CQMXEditDlg* openModule() {
        CQMXEditDlg* main = start(str(modulePath()));
        if (main) main->show();
        return main;
    }
    QStringList shownTexts() const {
        QStringList texts;
        for (const auto& s : m_prompts->shown) texts << s.title + QStringLiteral(": ") + s.text;
        return texts;
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

    // Names that look like markup are shown as they are, in the dialogs and
    // the message boxes.
    void textFromFilesIsNeverMarkup() {
        CQMXEditDlg* main = openModule();
        QVERIFY(main);
        const QString needle = QStringLiteral("<b>x");
        main->document().module().units[1].name = test::kMarkupText;
        main->document().module().valueNames[0] = "<b>x";
        {
            CDefineUnitsDlg units(main->document());
            units.show();
            QCoreApplication::processEvents();
            QCOMPARE(test::markupLabels(needle), QStringList());
        }
        EditorDialogs real;
        const QString markup = QString::fromLatin1(test::kMarkupText);
        QCOMPARE(test::markupInModal(needle, [&] { real.showBox(QStringLiteral("T"), markup); }),
                 QStringList());
        QCOMPARE(test::markupInModal(needle, [&] { real.showInformation(markup); }), QStringList());
        QCOMPARE(test::markupInModal(needle, [&] { real.askYesNo("T", test::kMarkupText); }),
                 QStringList());
    }

    // ---- start-up --------------------------------------------------------------

    void closingTheStartDialogEndsTheProgram() {
        whenShown<CStartDlg>([](CStartDlg* d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("Vantor Editor"));
            QVERIFY(d->findChild<QLabel*>()->text().startsWith("Would you like to start"));
            d->reject();
        });
        QVERIFY(start() == nullptr);
    }

    void cancellingTheNewModuleDialogEndsTheProgram() {
        whenShown<CStartDlg>([](CStartDlg* d) {
            QTest::mouseClick(d->findChild<QPushButton*>("new"), Qt::LeftButton);
        });
        whenShown<CNewModuleDlg>([](CNewModuleDlg* d) { d->reject(); });
        QVERIFY(start() == nullptr);
    }

    void cancellingTheModuleDialogEndsTheProgram() {
        whenShown<CStartDlg>([](CStartDlg* d) {
            QTest::mouseClick(d->findChild<QPushButton*>("load"), Qt::LeftButton);
        });
        QVERIFY(start() == nullptr);
        // The open dialog was asked for modules, in the program's modules folder.
        QCOMPARE(m_prompts->shown.size(), std::size_t(1));
        QVERIFY(m_prompts->shown[0].text.startsWith("QMX Modules(*.qm4)"));
    }

    void loadFromTheStartDialogOpensTheMainDialog() {
        m_prompts->fileAnswers.push_back(modulePath());
        whenShown<CStartDlg>([](CStartDlg* d) {
            QTest::mouseClick(d->findChild<QPushButton*>("load"), Qt::LeftButton);
        });
        CQMXEditDlg* main = start();
        QVERIFY(main != nullptr);
        QCOMPARE(main->windowTitle(), QStringLiteral("QMX Editor - Battle.qm4"));
        QCOMPARE(main->document().module().unitCount, 40);
        QCOMPARE(main->document().moduleFolder(), str(path("modules")));
    }

    void newModuleDialogCorrectsAndCreates() {
        whenShown<CStartDlg>([](CStartDlg* d) {
            QTest::mouseClick(d->findChild<QPushButton*>("new"), Qt::LeftButton);
        });
        whenShown<CNewModuleDlg>([](CNewModuleDlg* d) {
            QCOMPARE(d->columnsEdit()->text(), QStringLiteral("20"));
            QCOMPARE(d->imagesEdit()->text(), QStringLiteral("84"));
            QVERIFY(d->capacityLabel()->text().startsWith("There are currently 84 unit images"));
            d->columnsEdit()->setText(QStringLiteral("12"));
            d->rowsEdit()->setText(QStringLiteral("25"));
            d->unitsEdit()->setText(QStringLiteral("10"));
            // Choosing the orientation corrects the sizes at once.
            QTest::mouseClick(d->columnsAlignedButton(), Qt::LeftButton);
            QCOMPARE(d->columnsEdit()->text(), QStringLiteral("20"));
            QCOMPARE(d->rowsEdit()->text(), QStringLiteral("26"));
            // Clicking the choice already made corrects again.
            d->rowsEdit()->setText(QStringLiteral("27"));
            QTest::mouseClick(d->columnsAlignedButton(), Qt::LeftButton);
            QCOMPARE(d->rowsEdit()->text(), QStringLiteral("28"));
            d->rowsEdit()->setText(QStringLiteral("26"));
            // Typing sizes the sheet and rewrites the capacity.
            d->imagesEdit()->clear();
            QTest::keyClicks(d->imagesEdit(), "150");
            QVERIFY(d->capacityLabel()->text().startsWith("There are currently 153 unit images"));
            // Leaving the field keeps the sheet the module will get.
            emit d->imagesEdit()->editingFinished();
            QVERIFY(d->capacityLabel()->text().startsWith("There are currently 153 unit images"));
            d->accept();
        });
        CQMXEditDlg* main = start();
        QVERIFY(main != nullptr);
        const Module& m = main->document().module();
        QCOMPARE(m.columns, 20);
        QCOMPARE(m.rows, 26);
        QCOMPARE(m.unitCount, 33);
        QCOMPARE(m.orientation, GridOrientation::ColumnsAligned);
        QCOMPARE(m.imageCapacity(), 153);
        const QImage& image = main->document().graphics().image();
        QCOMPARE(image.width(), 21 * 42);
        QCOMPARE(image.height(), 27 * 50 + m.mapTop - 1);
        QCOMPARE(image.pixel(500, 500) & 0xFFFFFF, 0xCCCCCCu);
        // A new module has never been saved.
        QVERIFY(main->document().hasUnsavedChanges());
        QCOMPARE(main->windowTitle(), QStringLiteral("QMX Editor *"));
    }

    void damagedModulesAreRefusedWithAMessage() {
        std::ofstream(str(path("modules/Bad.qm4")), std::ios::binary) << "short";
        QVERIFY(start(str(path("modules/Bad.qm4"))) == nullptr);
        QVERIFY(!m_prompts->shown.empty());
        QFile::remove(path("modules/Battle.PNG"));
        m_prompts->shown.clear();
        QVERIFY(start(str(modulePath())) == nullptr);
        QCOMPARE(m_prompts->shown.size(), std::size_t(1));
        QCOMPARE(m_prompts->shown[0].title, QStringLiteral("WARNING"));
        QVERIFY(m_prompts->shown[0].text.startsWith("Cannot find Module Graphics file!"));
    }

    void olderLayoutsOpenAndNewerOnesLeaveTheModuleAsItWas() {
        CQMXEditDlg* main = openModule();
        QVERIFY(main);
        EditorDocument& doc = main->document();
        // Version 151: the current layout without the reserved block.
        Bytes bytes = *bytesOf(modulePath());
        bytes[6] = 151;
        bytes.erase(bytes.begin() + 580, bytes.begin() + 580 + 429);
        const QString old = path("modules/Old.qm4");
        QVERIFY(writeFileAtomically(str(old), bytes));
        QVERIFY(QFile::copy(path("modules/Battle.PNG"), path("modules/Old.PNG")));
        doc.module().authorNotes = "in memory";
        QVERIFY(doc.loadModule(str(old)));
        QCOMPARE(doc.module().version, 151);
        QCOMPARE(doc.module().unitCount, 40);
        QCOMPARE(doc.module().valueNames[1], std::string("Def"));

        // Version 157: refused with message 32; the module held stays whole.
        bytes[6] = 157;
        const QString newer = path("modules/Newer.qm4");
        QVERIFY(writeFileAtomically(str(newer), bytes));
        QVERIFY(QFile::copy(path("modules/Battle.PNG"), path("modules/Newer.PNG")));
        doc.module().authorNotes = "kept";
        QVERIFY(!doc.loadModule(str(newer)));
        QCOMPARE(m_prompts->shown.back().text,
                 QStringLiteral("Sorry, this module is from a newer version of QMX.  You need to "
                                "download the latest version."));
        QCOMPARE(doc.module().authorNotes, std::string("kept"));
        QCOMPARE(doc.modulePath(), str(old));
    }

    // ---- the main dialog ----------------------------------------------------------

    void mainDialogHasEveryMenuEntry() {
        CQMXEditDlg* main = openModule();
        QVERIFY(main);
        QVERIFY(main->hexNameField()->text().isEmpty());
        QCOMPARE(main->mapScroll()->pos(), QPoint(kMapAreaX, kMapAreaY));
        const char* enabled[] = {"Enter Module Information",
                                 "Save",
                                 "Load Graphics",
                                 "Save Graphics As. . .",
                                 "Quit",
                                 "Report Hex Names",
                                 "Save Unit Table",
                                 "Load Unit Table",
                                 "Save Map Name Table",
                                 "Load Map Name Table",
                                 "Clear Hex Names",
                                 "Copy Hex Name [C]",
                                 "Paste Hex Name  [V]",
                                 "Coordinates",
                                 "Make Overview",
                                 "Draw hex grid Overlay",
                                 "Edit Units",
                                 "Add additional units",
                                 "Edit Cards",
                                 "Help",
                                 "About"};
        for (const char* e : enabled) {
            QAction* a = main->action(QString::fromLatin1(e));
            QVERIFY2(a && a->isEnabled(), e);
        }
        QVERIFY(main->findChild<QRadioButton*>("mode Edit Names") != nullptr);
        // The map area shows the map band, starting at MapTop.
        const Module& m = main->document().module();
        QCOMPARE(main->mapArea()->size(),
                 QSize(main->document().graphics().image().width(),
                       main->document().graphics().image().height() - m.mapTop));
    }

    void moduleInformationIsOneUndoableStep() {
        CQMXEditDlg* main = openModule();
        QVERIFY(main);
        whenShown<CModuleInformationDlg>([](CModuleInformationDlg* d) {
            QCOMPARE(d->editor()->toPlainText(), QStringLiteral("Notes"));
            d->editor()->setPlainText(QStringLiteral("First line\nSecond line"));
            d->accept();
        });
        main->action(QStringLiteral("Enter Module Information"))->trigger();
        QCOMPARE(main->document().module().authorNotes, std::string("First line\r\nSecond line"));
        QVERIFY(main->document().hasUnsavedChanges());
        QAction* undo = main->action(QStringLiteral("Undo Module Information"));
        QVERIFY(undo && undo->isEnabled());
        QCOMPARE(undo->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Z));
        undo->trigger();
        QCOMPARE(main->document().module().authorNotes, std::string("Notes"));
        QVERIFY(!main->document().hasUnsavedChanges());
        QAction* redo = main->action(QStringLiteral("Redo Module Information"));
        QVERIFY(redo);
        QCOMPARE(redo->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
        redo->trigger();
        QCOMPARE(main->document().module().authorNotes, std::string("First line\r\nSecond line"));

        // Cancel keeps the notes.
        whenShown<CModuleInformationDlg>([](CModuleInformationDlg* d) {
            d->editor()->setPlainText(QStringLiteral("Lost"));
            d->reject();
        });
        main->enterModuleInformation();
        QCOMPARE(main->document().module().authorNotes, std::string("First line\r\nSecond line"));

        // 499 bytes as the module keeps them: of a paste past that only what
        // fits is kept (the line end would take two).
        whenShown<CModuleInformationDlg>([](CModuleInformationDlg* d) {
            d->editor()->setPlainText(QString(497, QChar('n')));
            d->editor()->moveCursor(QTextCursor::Start);
            d->editor()->insertPlainText(QStringLiteral("a\nb"));
            d->accept();
        });
        main->enterModuleInformation();
        QCOMPARE(main->document().module().authorNotes, "a" + std::string(497, 'n'));
    }

    // ---- saving ---------------------------------------------------------------------

    void saveForcesTheExtensionAndAsksBeforeOverwriting() {
        CQMXEditDlg* main = openModule();
        QVERIFY(main);
        main->document().module().authorNotes = "Changed";
        const QString copy = path("modules/Copy");
        m_prompts->fileAnswers.push_back(copy);
        main->action(QStringLiteral("Save"))->trigger();
        QVERIFY(QFile::exists(copy + ".qm4"));
        QVERIFY(QFile::exists(copy + ".PNG"));
        QVERIFY(m_prompts->shown.back().text.contains("QMX Modules(*.qm4)"));
        QCOMPARE(main->document().modulePath(), str(copy + ".qm4"));

        // The file now exists: No leaves it alone, Yes writes it again.
        const auto before = bytesOf(copy + ".qm4");
        main->document().module().authorNotes = "Again";
        QImage changed = main->document().graphics().image().copy();
        changed.setPixel(0, 0, qRgb(1, 2, 3));
        main->document().replaceImage(changed, "Picture");
        m_prompts->fileAnswers.push_back(copy + ".qm4");
        m_prompts->yesNoAnswers.push_back(false);
        QVERIFY(!main->document().saveModule(main));
        QCOMPARE(m_prompts->shown.back().text, QString::fromLatin1(kOverwriteQuestion));
        QCOMPARE(bytesOf(copy + ".qm4"), before);
        m_prompts->fileAnswers.push_back(copy + ".qm4");
        m_prompts->yesNoAnswers.push_back(true);
        QVERIFY(main->document().saveModule(main));
        QVERIFY(bytesOf(copy + ".qm4") != before);
        // The previous image is kept as the backup.
        QVERIFY(QFile::exists(copy + ".BAK"));
        QImage reread(copy + ".PNG");
        QCOMPARE(reread.pixel(0, 0), qRgb(1, 2, 3));
        const ModuleLoad read = loadModuleFile(str(copy + ".qm4"), ModuleReader::Editor);
        QVERIFY(read.ok);
        QCOMPARE(read.module.authorNotes, std::string("Again"));
        QVERIFY(read.module.moduleId != (std::array<std::uint8_t, 3>{0, 0, 0}));
    }

    void anUnchangedPictureIsLeftAloneOrCopied() {
        CQMXEditDlg* main = openModule();
        QVERIFY(main);
        const QString picture = path("modules/Battle.PNG");
        const auto bytes = bytesOf(picture);
        const QDateTime stamp = QDateTime::currentDateTime().addSecs(-3600);
        {
            QFile f(picture);
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.setFileTime(stamp, QFileDevice::FileModificationTime));
        }
        main->document().history().apply(editAuthorNotes(main->document().module(), "Notes"));
        QVERIFY(main->document().writeModule(str(modulePath())));
        QCOMPARE(bytesOf(picture), bytes);
        QCOMPARE(QFileInfo(picture).lastModified(), stamp);
        QVERIFY(!QFile::exists(path("modules/Battle.BAK")));
        // Saved under a new name: the same bytes, not encoded again.
        QVERIFY(main->document().writeModule(str(path("modules/Other.qm4"))));
        QCOMPARE(bytesOf(path("modules/Other.PNG")), bytes);
    }

    void aFailedSaveKeepsTheOldFilesByteForByte() {
        CQMXEditDlg* main = openModule();
        QVERIFY(main);
        const auto module = bytesOf(modulePath());
        const auto image = bytesOf(path("modules/Battle.PNG"));
        // The image cannot be kept as the backup: a folder holds its name.
        QDir(path("modules")).mkdir(QStringLiteral("Battle.BAK"));
        QDir(path("modules/Battle.BAK")).mkdir(QStringLiteral("inside"));
        main->document().history().apply(
            editAuthorNotes(main->document().module(), "Never written"));
        main->document().replaceImage(main->document().graphics().image().mirrored(), "Picture");
        QVERIFY(!main->document().writeModule(str(modulePath())));
        QCOMPARE(bytesOf(modulePath()), module);
        QCOMPARE(bytesOf(path("modules/Battle.PNG")), image);
        QVERIFY(main->document().hasUnsavedChanges());
        // No temporary file is left behind.
        QCOMPARE(QDir(path("modules")).entryList(QDir::Files).size(), qsizetype(2));

        // A folder that does not exist: the module write fails, "Data File Write Error!".
        m_prompts->shown.clear();
        QVERIFY(!main->document().writeModule(str(path("nowhere/Battle.qm4"))));
        QCOMPARE(m_prompts->shown.size(), std::size_t(1));
        QCOMPARE(m_prompts->shown[0].text, QStringLiteral("Data File Write Error!"));
    }

    void aSaveIntoAReadOnlyFolderKeepsTheOldFiles() {
        if (::getuid() == 0) QSKIP("the superuser writes into read-only folders");
        CQMXEditDlg* main = openModule();
        QVERIFY(main);
        const auto module = bytesOf(modulePath());
        const auto image = bytesOf(path("modules/Battle.PNG"));
        QFile::setPermissions(path("modules"), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        main->document().history().apply(editAuthorNotes(main->document().module(), "No"));
        const bool written = main->document().writeModule(str(modulePath()));
        QFile::setPermissions(path("modules"), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                   QFileDevice::ExeOwner);
        QVERIFY(!written);
        QCOMPARE(bytesOf(modulePath()), module);
        QCOMPARE(bytesOf(path("modules/Battle.PNG")), image);
    }

    // ---- graphics ------------------------------------------------------------------

    void loadGraphicsReplacesTheImageAsOneStep() {
        CQMXEditDlg* main = openModule();
        QVERIFY(main);
        const QImage before = main->document().graphics().image();
        QImage other(300, 400, QImage::Format_RGB32);
        other.fill(Qt::red);
        QVERIFY(other.save(path("map.bmp")));
        QFile::copy(path("map.bmp"), path("map.qmg"));
        m_prompts->fileAnswers.push_back(path("map.qmg"));
        main->action(QStringLiteral("Load Graphics"))->trigger();
        const auto& shown = m_prompts->shown;
        QVERIFY(shown.at(shown.size() - 2).text.startsWith("Portable Network Graphics (*.png)"));
        // Smaller than the map of 20 x 20 hexes needs: loaded, with a word.
        QVERIFY2(shown.back().text.startsWith("The picture is 300 x 400 pixels, smaller than this "
                                              "module needs: "),
                 qPrintable(shown.back().text));
        QCOMPARE(main->document().graphics().image().size(), QSize(300, 400));
        QCOMPARE(main->mapArea()->height(), 400 - main->document().module().mapTop);
        main->undo();
        QCOMPARE(main->document().graphics().image(), before);

        // A file nothing reads, a damaged Targa, a file not there: each says so,
        // the image stays.
        std::ofstream(str(path("map.psp")), std::ios::binary) << "Paint Shop Pro Image File";
        std::ofstream(str(path("cut.tga")), std::ios::binary)
            << std::string("\0\0\2\0\0\0\0\0\0\0\0\0\x50\0\x50\0\x18\0", 18) << "abc";
        m_prompts->shown.clear();
        QVERIFY(!main->document().importGraphicsFile(str(path("map.psp"))));
        QVERIFY(!main->document().importGraphicsFile(str(path("cut.tga"))));
        QVERIFY(!main->document().importGraphicsFile(str(path("gone.png"))));
        QCOMPARE(m_prompts->shown.size(), std::size_t(3));
        QCOMPARE(m_prompts->shown[0].text, "The picture " + path("map.psp") +
                                               " cannot be loaded: there is no reader for .psp "
                                               "pictures here.");
        QCOMPARE(m_prompts->shown[1].text,
                 "The picture " + path("cut.tga") + " cannot be loaded: it is cut short.");
        QVERIFY(m_prompts->shown[2].text.startsWith("Cannot find Module Graphics file!"));
        QCOMPARE(main->document().graphics().image(), before);
    }

    void bitmapsGetTheDibBoxes() {
        CQMXEditDlg* main = openModule();
        QVERIFY(main);
        const QImage before = main->document().graphics().image();
        // A header claiming 40,000 x 20,000 at 24 bits.
        std::string big(54, '\0');
        big[0] = 'B', big[1] = 'M';
        big[18] = char(0x40), big[19] = char(0x9C);  // 40000
        big[22] = char(0x20), big[23] = char(0x4E);  // 20000
        big[28] = 24;
        std::ofstream(str(path("huge.bmp")), std::ios::binary) << big;
        QVERIFY(!main->document().importGraphicsFile(str(path("huge.bmp"))));
        QCOMPARE(m_prompts->shown.back().title, QString());
        QCOMPARE(m_prompts->shown.back().text, QStringLiteral("DIB_TOO_BIG"));
        // A bitmap header over nothing: it cannot be read.
        big[18] = 10, big[19] = 0, big[22] = 10, big[23] = 0;
        std::ofstream(str(path("cut.qmg")), std::ios::binary) << big;
        QVERIFY(!main->document().importGraphicsFile(str(path("cut.qmg"))));
        QCOMPARE(m_prompts->shown.back().text, QStringLiteral("CANNOT_LOAD_DIB"));
        QCOMPARE(main->document().graphics().image(), before);
        // A bitmap that cannot be written.
        m_prompts->fileAnswers.push_back(path("nowhere/map.bmp"));
        m_prompts->filterAnswers.push_back(1);
        QVERIFY(!main->document().exportGraphics(main));
        QCOMPARE(m_prompts->shown.back().text, QStringLiteral("CANNOT_SAVE_DIB"));
    }

    void loadGraphicsReadsSunRasterAndFooterlessTarga() {
        CQMXEditDlg* main = openModule();
        QVERIFY(main);
        // 2 x 1, 24 bits, BGR, rows padded to 16 bits.
        const unsigned char ras[] = {0x59, 0xA6, 0x6A, 0x95, 0, 0, 0, 2, 0, 0, 0, 1, 0,
                                     0,    0,    24,   0,    0, 0, 0, 0, 0, 0, 1, 0, 0,
                                     0,    0,    0,    0,    0, 0, 3, 2, 1, 6, 5, 4};
        std::ofstream(str(path("scan.ras")), std::ios::binary)
            .write(reinterpret_cast<const char*>(ras), sizeof ras);
        QVERIFY(main->document().importGraphicsFile(str(path("scan.ras"))));
        const QImage& image = main->document().graphics().image();
        QCOMPARE(image.size(), QSize(2, 1));
        QCOMPARE(image.pixel(0, 0) & 0xFFFFFF, 0x010203u);
        QCOMPARE(image.pixel(1, 0) & 0xFFFFFF, 0x040506u);
        // 1 x 2 Targa, 24 bits, bottom row first, no footer.
        std::ofstream(str(path("scan.tga")), std::ios::binary)
            << std::string("\0\0\2\0\0\0\0\0\0\0\0\0\1\0\2\0\x18\0", 18)
            << "\x03\x02\x01\x06\x05\x04";
        QVERIFY(main->document().importGraphicsFile(str(path("scan.tga"))));
        QCOMPARE(main->document().graphics().image().pixel(0, 0) & 0xFFFFFF, 0x040506u);
        QCOMPARE(main->document().graphics().image().pixel(0, 1) & 0xFFFFFF, 0x010203u);
    }

    void saveGraphicsAsTakesTheTypeAndAsksBeforeOverwriting() {
        CQMXEditDlg* main = openModule();
        QVERIFY(main);
        m_prompts->fileAnswers.push_back(path("export"));
        m_prompts->filterAnswers.push_back(1);  // Windows Bitmap
        main->action(QStringLiteral("Save Graphics As. . ."))->trigger();
        QImage written(path("export.bmp"));
        QCOMPARE(written.size(), main->document().graphics().image().size());
        QVERIFY(
            m_prompts->shown.back().text.startsWith("Portable Network Graphics (*.png);;"
                                                    "Windows Bitmap (*.bmp);;"
                                                    "Portable Pixelmap (*.ppm)"));
        // The type typed wins over the entry; an existing file is asked about
        // ("No" leaves it as it was).
        m_prompts->fileAnswers.push_back(path("export.tga"));
        m_prompts->filterAnswers.push_back(0);
        QVERIFY(main->document().exportGraphics(main));
        QVERIFY(QFile::exists(path("export.tga")));
        const auto before = bytesOf(path("export.bmp"));
        m_prompts->fileAnswers.push_back(path("export.bmp"));
        m_prompts->yesNoAnswers.push_back(false);
        QVERIFY(!main->document().exportGraphics(main));
        QCOMPARE(m_prompts->shown.back().text, QString::fromLatin1(kOverwriteQuestion));
        QVERIFY(bytesOf(path("export.bmp")) == before);
    }

    // ---- report ---------------------------------------------------------------------

    void reportHexNamesWritesEveryHexAndAsksBeforeOverwriting() {
        CQMXEditDlg* main = openModule();
        QVERIFY(main);
        m_prompts->fileAnswers.push_back(path("names.csv"));
        main->action(QStringLiteral("Report Hex Names"))->trigger();
        const auto report = bytesOf(path("names.txt"));
        QVERIFY(report);
        QCOMPARE(report->size(), std::size_t(400 * 7));
        const std::string head(report->begin(), report->begin() + 14);
        QCOMPARE(head, std::string("0101\r\n 0201\r\n "));

        m_prompts->fileAnswers.push_back(path("names"));
        m_prompts->yesNoAnswers.push_back(false);
        main->document().module().hex(1, 1).name = "X";
        QVERIFY(!main->document().reportHexNames(main));
        QCOMPARE(m_prompts->shown.back().title, QStringLiteral("WARNING"));
        QCOMPARE(bytesOf(path("names.txt")), report);
    }

    // ---- quitting, help, about ---------------------------------------------------

    void quittingWithUnsavedChangesAsks() {
        CQMXEditDlg* main = openModule();
        QVERIFY(main);
        // Nothing changed: no question.
        QVERIFY(main->confirmClose());
        QVERIFY(m_prompts->shown.empty());
        main->document().history().apply(editAuthorNotes(main->document().module(), "New"));
        m_prompts->saveChoices = {SaveChoice::Cancel};
        main->action(QStringLiteral("Quit"))->trigger();
        QVERIFY(main->isVisible());
        QCOMPARE(m_prompts->shown.back().text, QString::fromLatin1(kSaveChangesQuestion));
        // Save: the save dialog comes, and the dialog closes once saved.
        m_prompts->saveChoices = {SaveChoice::Save};
        m_prompts->fileAnswers.push_back(modulePath());
        m_prompts->yesNoAnswers.push_back(true);
        main->close();
        QVERIFY(!main->isVisible());
        QCOMPARE(loadModuleFile(str(modulePath()), ModuleReader::Editor).module.authorNotes,
                 std::string("New"));
    }

    void quittingCanDiscardTheChanges() {
        CQMXEditDlg* main = openModule();
        QVERIFY(main);
        main->document().history().apply(editAuthorNotes(main->document().module(), "New"));
        m_prompts->saveChoices = {SaveChoice::Discard};
        QTest::keyClick(main, Qt::Key_Escape);
        QVERIFY(!main->isVisible());
        QCOMPARE(loadModuleFile(str(modulePath()), ModuleReader::Editor).module.authorNotes,
                 std::string("Notes"));
    }

    // ---- the autosave ---------------------------------------------------------------

    bool autosaved() const { return QFile::exists(path(kEditorAutosaveMarker)); }
    QString autosavePicture() const { return path(QStringLiteral("editor-autosave.PNG")); }
    void autosaveNow(CQMXEditDlg* main) {
        main->document().autosave();
        QVERIFY(main->document().autosaveFiles().finish());
    }

    // An editor that ends without closing (killed, a crash, a power cut)
    // leaves its work in the autosave; the next start offers it back.
    void theAutosaveBringsBackTheWorkOfAKilledEditor() {
        CQMXEditDlg* main = openModule();
        QVERIFY(main);
        QVERIFY(main->findChild<QTimer*>(QStringLiteral("autosaveTimer"))->isActive());
        EditorDocument& doc = main->document();
        autosaveNow(main);
        QVERIFY(!autosaved());  // nothing changed yet
        doc.history().apply(editAuthorNotes(doc.module(), "Autosaved"));
        autosaveNow(main);
        QVERIFY(autosaved());
        // The picture is the module's own file's: it is not written again.
        QVERIFY(!QFile::exists(autosavePicture()));
        QImage painted = doc.graphics().image().copy();
        painted.setPixel(3, 3, 0xFF123456);
        doc.replaceImage(painted, "Paint");
        autosaveNow(main);
        QVERIFY(QFile::exists(autosavePicture()));

        // Killed: nothing of the window's closing runs.
        m_app.reset();
        m_app = m_home->editor();
        m_prompts->shown.clear();
        m_prompts->yesNoAnswers = {true};
        main = start();
        QVERIFY(main);
        QVERIFY(m_prompts->shown.at(0).text.startsWith(
            "The editor was not closed normally.  Your work on Battle.qm4 was autosaved"));
        EditorDocument& back = main->document();
        QCOMPARE(back.module().authorNotes, std::string("Autosaved"));
        QCOMPARE(back.graphics().image().pixel(3, 3), 0xFF123456u);
        QCOMPARE(back.modulePath(), str(modulePath()));
        QVERIFY(back.hasUnsavedChanges());

        // Saving it keeps it: the autosave goes.
        m_prompts->fileAnswers.push_back(modulePath());
        m_prompts->yesNoAnswers.push_back(true);
        QVERIFY(back.saveModule(main));
        QVERIFY(!autosaved() && !QFile::exists(path(kEditorAutosaveName)));
        QCOMPARE(loadModuleFile(str(modulePath()), ModuleReader::Editor).module.authorNotes,
                 std::string("Autosaved"));
    }

    // "No" to the offer, an undo back to the file and a normal quit all
    // leave no autosave behind.
    void theAutosaveGoesWhenItIsNotNeeded() {
        CQMXEditDlg* main = openModule();
        QVERIFY(main);
        EditorDocument& doc = main->document();
        doc.history().apply(editAuthorNotes(doc.module(), "Once"));
        autosaveNow(main);
        QVERIFY(autosaved());
        doc.history().undo();
        autosaveNow(main);
        QVERIFY(!autosaved());

        doc.history().apply(editAuthorNotes(doc.module(), "Twice"));
        autosaveNow(main);
        m_prompts->saveChoices = {SaveChoice::Discard};
        main->close();
        QVERIFY(!autosaved());

        doc.history().apply(editAuthorNotes(doc.module(), "Thrice"));
        autosaveNow(main);
        m_app = m_home->editor();
        m_prompts->yesNoAnswers = {false};
        main = openModule();
        QVERIFY(main);
        QCOMPARE(main->document().module().authorNotes, std::string("Notes"));
        QVERIFY(!autosaved());
    }

    void helpShowsTheEditorChapterAndAboutItsStartLine() {
        CQMXEditDlg* main = openModule();
        QVERIFY(main);
        main->action(QStringLiteral("Help"))->trigger();
        auto* help = main->findChild<CHelpWindow*>();
        QVERIFY(help && help->isVisible());
        QVERIFY(help->browser()->toPlainText().contains("Define Units"));
        whenShown<CEditAboutDlg>([](CEditAboutDlg* d) {
            QVERIFY(d->findChild<QLabel*>("startupText")->text().startsWith("Started "));
            d->accept();
        });
        main->showAbout();
    }
};

QTEST_MAIN(EditorShellWidgetTest)
#include "EditorShellWidgetTest.moc"
