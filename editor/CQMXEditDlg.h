#pragma once
// "QMX Editor": the main dialog. The map area at (178, 19), the edit-mode
// buttons, the hex-name field and the menu. Closing it ends the program; with
// unsaved changes the author is asked whether to save first.

#include <QDialog>
#include <QString>

class QAction;
class QLineEdit;
class QMenuBar;
class QScrollArea;

namespace qmx {

class CMapArea;
class CMapEditPanel;
class EditorDocument;

constexpr int kMapAreaX = 178;
constexpr int kMapAreaY = 19;
// How often the autosave looks whether the module changed.
constexpr int kAutosaveIntervalMs = 3000;

class CQMXEditDlg : public QDialog {
    Q_OBJECT

public:
    CQMXEditDlg(EditorDocument& document, QString startupText, QWidget* parent = nullptr);

    EditorDocument& document() { return m_document; }
    QMenuBar* menuBar() const { return m_menu; }
    QScrollArea* mapScroll() const { return m_scroll; }
    CMapArea* mapArea() const { return m_map; }
    QLineEdit* hexNameField() const { return m_hexName; }
    CMapEditPanel* mapTools() const { return m_panel; }
    // The menu entry with this text (ampersands left out), or null.
    QAction* action(const QString& text) const;

    // The menu commands, callable directly.
    void enterModuleInformation();
    void editUnits();
    void addUnits();
    void editCards();
    // Map Functions > Save Map Template, Import Map Picture and Show Hex Names.
    void saveMapTemplate();
    void importMapPicture();
    void showHexNames(bool show);
    void undo();
    void redo();
    void showHelp();
    void showAbout();

    // Closing: true when the dialog may close (saved, discarded or clean).
    bool confirmClose();
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildMenu();
    // After anything changed: image size, undo entries, caption.
    void refresh();

    EditorDocument& m_document;
    QString m_startupText;
    QMenuBar* m_menu = nullptr;
    QScrollArea* m_scroll = nullptr;
    CMapArea* m_map = nullptr;
    QLineEdit* m_hexName = nullptr;
    CMapEditPanel* m_panel = nullptr;
    QAction* m_undo = nullptr;
    QAction* m_redo = nullptr;
    bool m_closing = false;
};

}  // namespace qmx
