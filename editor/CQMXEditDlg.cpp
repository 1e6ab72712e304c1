#include "editor/CQMXEditDlg.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QResizeEvent>
#include <QScrollArea>
#include <QStyle>
#include <QTimer>
#include <filesystem>

#include "core/edit/EditorFiles.h"
#include "core/edit/ModuleEdits.h"
#include "core/module/FileIo.h"
#include "core/module/MessageTable.h"
#include "core/module/UnitImageSheet.h"
#include "editor/CAddUnitsDlg.h"
#include "editor/CDefineUnitsDlg.h"
#include "editor/CEditAboutDlg.h"
#include "editor/CEditCardsDlg.h"
#include "editor/CImportCountersDlg.h"
#include "editor/CImportMapDlg.h"
#include "editor/CMapArea.h"
#include "editor/CMapEditPanel.h"
#include "editor/CMapTemplateDlg.h"
#include "editor/CModuleInformationDlg.h"
#include "editor/EditorDocument.h"
#include "editor/SetupFromTable.h"
#include "graphics/MapImage.h"
#include "graphics/QtText.h"
#include "widgets/CHelpWindow.h"

namespace qmx {

CQMXEditDlg::CQMXEditDlg(EditorDocument& document, QString startupText, QWidget* parent)
    : QDialog(parent), m_document(document), m_startupText(std::move(startupText)) {
    setObjectName(QStringLiteral("QMXEditor"));
    setWindowIcon(QApplication::style()->standardIcon(QStyle::SP_FileDialogDetailedView));
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    setWindowFlag(Qt::WindowMinimizeButtonHint);

    m_menu = new QMenuBar(this);
    buildMenu();

    // Everything below the menu bar is placed in dialog coordinates under it.
    auto* body = new QWidget(this);
    body->setObjectName(QStringLiteral("body"));

    // The overview, the hex name and the map tools on the left.
    m_panel = new CMapEditPanel(m_document, body);
    m_panel->move(0, 0);
    m_hexName = m_panel->nameField();
    connect(m_panel, &CMapEditPanel::changed, this, [this] { refresh(); });

    m_scroll = new QScrollArea(body);
    m_scroll->setObjectName(QStringLiteral("mapScroll"));
    m_scroll->move(kMapAreaX, kMapAreaY);
    m_map = new CMapArea(m_document, m_scroll);
    m_scroll->setWidget(m_map);
    m_scroll->setWidgetResizable(false);
    m_panel->attachMap(m_map, m_scroll);

    const int menuHeight = m_menu->sizeHint().height();
    body->move(0, menuHeight);
    resize(1100, 760);
    refresh();

    // The autosave follows the history every few seconds, never while a
    // button is held (a stroke of the painter or the terrain brush).
    auto* autosave = new QTimer(this);
    autosave->setObjectName(QStringLiteral("autosaveTimer"));
    connect(autosave, &QTimer::timeout, this, [this] {
        if (QGuiApplication::mouseButtons() == Qt::NoButton) m_document.autosave();
    });
    autosave->start(kAutosaveIntervalMs);
}

QAction* CQMXEditDlg::action(const QString& text) const {
    for (QAction* a : findChildren<QAction*>()) {
        if (a->menu()) continue;  // a menu's own title
        QString t = a->text();
        t.remove(QChar('&'));
        if (t == text) return a;
    }
    return nullptr;
}

void CQMXEditDlg::buildMenu() {
    auto add = [this](QMenu* menu, const QString& text, auto slot, bool enabled = true) {
        QAction* a = menu->addAction(text);
        a->setEnabled(enabled);
        if constexpr (!std::is_same_v<decltype(slot), std::nullptr_t>) {
            connect(a, &QAction::triggered, this, slot);
        }
        return a;
    };
    QMenu* file = m_menu->addMenu(QStringLiteral("&File"));
    add(file, QStringLiteral("Enter Module Information"), [this] { enterModuleInformation(); });
    QAction* save = add(file, QStringLiteral("Save"), [this] {
        m_document.saveModule(this);
        refresh();
    });
    save->setShortcut(QKeySequence::Save);
    add(file, QStringLiteral("Load Graphics"), [this] {
        m_document.importGraphics(this);
        refresh();
    });
    add(file, QStringLiteral("Save Graphics As. . ."), [this] { m_document.exportGraphics(this); });
    file->addSeparator();
    add(file, QStringLiteral("Save Unit Table"), [this] { m_panel->saveUnitTable(); });
    add(file, QStringLiteral("Load Unit Table"), [this] { m_panel->loadUnitTable(); });
    add(file, QStringLiteral("Save Map Name Table"), [this] { m_panel->saveNameTable(); });
    add(file, QStringLiteral("Load Map Name Table"), [this] { m_panel->loadNameTable(); });
    add(file, QStringLiteral("Make Setup Game from Table..."), [this] {
        makeSetupGameFromTable(m_document, this);
        refresh();
    });
    file->addSeparator();
    add(file, QStringLiteral("Quit"), [this] { close(); });

    QMenu* edit = m_menu->addMenu(QStringLiteral("&Edit"));
    m_undo = add(edit, QStringLiteral("Undo"), [this] { undo(); });
    m_undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    m_redo = add(edit, QStringLiteral("Redo"), [this] { redo(); });
    m_redo->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));

    QMenu* map = m_menu->addMenu(QStringLiteral("&Map Functions"));
    add(map, QStringLiteral("Clear Hex Names"), [this] { m_panel->clearHexNames(); });
    // The plain keys C and V; the name field keeps them for typing.
    add(map, QStringLiteral("Copy Hex Name [C]"), [this] {
        m_panel->copyHexName();
    })->setShortcut(QKeySequence(Qt::Key_C));
    add(map, QStringLiteral("Paste Hex Name  [V]"), [this] {
        m_panel->pasteHexName();
    })->setShortcut(QKeySequence(Qt::Key_V));
    add(map, QStringLiteral("Coordinates"), [this] { m_panel->coordinates(); });
    add(map, QStringLiteral("Report Hex Names"), [this] { m_document.reportHexNames(this); });
    add(map, QStringLiteral("Make Overview"), [this] { m_panel->makeOverview(); });
    add(map, QStringLiteral("Draw hex grid Overlay"), [this] { m_panel->gridOverlay(); });
    map->addSeparator();
    add(map, QStringLiteral("Save Map Template..."), [this] { saveMapTemplate(); });
    add(map, QStringLiteral("Import Map Picture..."), [this] { importMapPicture(); });
    QAction* names = add(map, QStringLiteral("Show Hex Names"), nullptr);
    names->setCheckable(true);
    names->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
    connect(names, &QAction::toggled, this, [this](bool on) { showHexNames(on); });

    QMenu* units = m_menu->addMenu(QStringLiteral("&Unit Functions"));
    add(units, QStringLiteral("Edit Units"), [this] { editUnits(); });
    add(units, QStringLiteral("Add additional units"), [this] { addUnits(); });
    add(units, QStringLiteral("Import Counter Pictures..."), [this] {
        CImportCountersDlg dialog(m_document, this);
        dialog.exec();
        refresh();
    });

    QMenu* cards = m_menu->addMenu(QStringLiteral("&Card Functions"));
    add(cards, QStringLiteral("Edit Cards"), [this] { editCards(); });

    QMenu* help = m_menu->addMenu(QStringLiteral("&Help"));
    QAction* helpEntry = add(help, QStringLiteral("Help"), [this] { showHelp(); });
    helpEntry->setShortcut(QKeySequence::HelpContents);
    add(help, QStringLiteral("About"), [this] { showAbout(); });
}

void CQMXEditDlg::refresh() {
    m_map->imageChanged();
    m_panel->documentChanged();
    const int menuHeight = m_menu->sizeHint().height();
    m_scroll->resize(std::max(100, width() - kMapAreaX - 8),
                     std::max(100, height() - menuHeight - kMapAreaY - 8));
    if (auto* body = findChild<QWidget*>(QStringLiteral("body")))
        body->resize(width(), height() - menuHeight);
    m_panel->resize(kMapAreaX, std::max(m_panel->minimumHeight(), height() - menuHeight));
    m_menu->resize(width(), menuHeight);

    EditHistory& h = m_document.history();
    m_undo->setEnabled(h.canUndo());
    m_redo->setEnabled(h.canRedo());
    m_undo->setText(h.canUndo() ? QStringLiteral("Undo ") + QString::fromStdString(h.undoLabel())
                                : QStringLiteral("Undo"));
    m_redo->setText(h.canRedo() ? QStringLiteral("Redo ") + QString::fromStdString(h.redoLabel())
                                : QStringLiteral("Redo"));
    QString caption = QStringLiteral("QMX Editor");
    if (!m_document.modulePath().empty()) {
        caption += QStringLiteral(" - ") +
                   QString::fromStdString(
                       std::filesystem::path(m_document.modulePath()).filename().string());
    }
    if (m_document.hasUnsavedChanges()) caption += QStringLiteral(" *");
    setWindowTitle(caption);
}

void CQMXEditDlg::enterModuleInformation() {
    CModuleInformationDlg dialog(m_document.module().authorNotes, this);
    if (dialog.exec() == QDialog::Accepted) {
        m_document.history().apply(editAuthorNotes(m_document.module(), dialog.notes()));
        m_document.history().closeStep();
    }
    refresh();
}

void CQMXEditDlg::saveMapTemplate() {
    const Module& module = m_document.module();
    const PixelPoint size = blankMapSize(module.columns, module.rows, module.orientation);
    CMapTemplateDlg options(QSize(size.x, size.y), module.mapTop, this);
    if (options.exec() != QDialog::Accepted) return;
    m_document.saveMapTemplate(this, options.names(), options.overMap());
}

void CQMXEditDlg::importMapPicture() {
    if (m_document.coordinatesRunning) {
        m_document.prompts().showMessage(editormsg::kFinishCoordinates);
        return;
    }
    const QString chosen = m_document.prompts().openFile(this, QStringLiteral("Import Map Picture"),
                                                         qtPath(m_document.moduleFolder() + "/"),
                                                         importGraphicsFilter());
    if (chosen.isEmpty()) return;
    const std::optional<QImage> picture = m_document.readPicture(stdPath(chosen));
    if (!picture) return;
    CImportMapDlg dialog(m_document.module(), picture->size(), this);
    if (dialog.exec() != QDialog::Accepted) return;
    m_document.placeMapPicture(*picture, dialog.choice());
    refresh();
}

void CQMXEditDlg::showHexNames(bool show) {
    m_map->setShowHexNames(show);
}

void CQMXEditDlg::editUnits() {
    if (m_document.coordinatesRunning) {
        m_document.prompts().showMessage(editormsg::kFinishCoordinates);
        return;
    }
    CDefineUnitsDlg dialog(m_document, this);
    dialog.exec();
    m_document.history().closeStep();
    refresh();
}

void CQMXEditDlg::addUnits() {
    CAddUnitsDlg dialog(m_document, this);
    dialog.exec();
    refresh();
}

void CQMXEditDlg::editCards() {
    CEditCardsDlg dialog(m_document, this);
    dialog.exec();
    m_document.history().closeStep();
    refresh();
}

void CQMXEditDlg::undo() {
    m_document.history().undo();
    refresh();
}

void CQMXEditDlg::redo() {
    m_document.history().redo();
    refresh();
}

void CQMXEditDlg::showHelp() {
    auto* help = new CHelpWindow(QStringLiteral("QMX Editor Help"),
                                 QStringLiteral("The module editor"), this);
    help->setAttribute(Qt::WA_DeleteOnClose);
    help->show();
}

void CQMXEditDlg::showAbout() {
    CEditAboutDlg about(m_startupText, this);
    about.exec();
}

bool CQMXEditDlg::confirmClose() {
    if (!m_document.hasUnsavedChanges()) return true;
    switch (m_document.prompts().askSaveChanges()) {
        case SaveChoice::Save: {
            const bool saved = m_document.saveModule(this);
            refresh();
            return saved;
        }
        case SaveChoice::Discard:
            return true;
        case SaveChoice::Cancel:
            return false;
    }
    return false;
}

void CQMXEditDlg::reject() {
    // Escape, Quit and the window's close button all come here.
    if (m_closing || confirmClose()) {
        m_closing = true;
        m_document.endAutosave();
        QDialog::reject();
    }
}

void CQMXEditDlg::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    refresh();
}

void CQMXEditDlg::closeEvent(QCloseEvent* event) {
    if (m_closing) {
        event->accept();
        return;
    }
    if (!confirmClose()) {
        event->ignore();
        return;
    }
    m_closing = true;
    m_document.endAutosave();
    event->accept();
    QDialog::reject();
}

}  // namespace qmx
