#pragma once
// The left side of the editor's main dialog and the map commands behind it:
// the overview, the hex-name label and field, the terrain editor with its
// buttons (F<>B, Undo, Border, Fill) and colour area, the edit-mode radio
// buttons; and the menu's map functions (Coordinates, the hex-name
// commands, Make Overview, the grid overlay) and table files. The rules are
// the core's (MapTools, CoordinateCalibration, TableCommands); every change
// becomes one step of the document's edit history.

#include <QWidget>

#include "core/edit/UnitTableFile.h"
#include "core/map/CoordinateCalibration.h"
#include "core/map/MapTools.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollArea;

namespace qmx {

class CMapArea;
class EditorDocument;

class CMapEditPanel : public QWidget {
    Q_OBJECT

public:
    CMapEditPanel(EditorDocument& document, QWidget* parent = nullptr);
    // The map area and its scroll area, whose clicks and scrolling the panel takes.
    void attachMap(CMapArea* map, QScrollArea* scroll);

    QLineEdit* nameField() const { return m_nameField; }
    QLabel* hexNameLabel() const { return m_hexNameLabel; }
    QWidget* terrainEditor() const { return m_terrain; }
    QWidget* colourArea() const { return m_colours; }
    QWidget* overview() const { return m_overview; }
    MapTools& tools() { return m_tools; }
    const CoordinateCalibration& calibration() const { return m_calibration; }

    // Menu commands.
    void coordinates();
    void clearHexNames();
    void copyHexName();
    void pasteHexName();
    void makeOverview();
    void gridOverlay();
    void saveUnitTable();
    void loadUnitTable();
    void saveNameTable();
    void loadNameTable();

    // The map area's mouse, in map pixels.
    void mapClicked(QPoint map);
    void mapDoubleClicked(QPoint map);
    void mapHovered(QPoint map);

    void setMode(EditMode mode);
    // The image or the module was replaced or undone: show it anew.
    void documentChanged();

signals:
    // Something entered the edit history.
    void changed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    PixelSurface surface();
    Hex hexAt(QPoint map) const;
    void apply(const MapToolResult& r, const std::string& label);
    void showHexName(Hex h);
    void syncButtons();
    void paintOverview(QPainter& p);
    void overviewClicked(QPoint at);
    void paintTerrain(QPainter& p);
    void terrainClicked(QPoint at);
    void paintColours(QPainter& p);

    EditorDocument& m_document;
    MapTools m_tools;
    CoordinateCalibration m_calibration;
    UnitStepBytes m_steps;
    CMapArea* m_map = nullptr;
    QScrollArea* m_scroll = nullptr;
    QWidget* m_overview = nullptr;
    QLabel* m_hexNameLabel = nullptr;
    QLineEdit* m_nameField = nullptr;
    QWidget* m_terrain = nullptr;
    QWidget* m_colours = nullptr;
    QPushButton* m_swap = nullptr;
    QPushButton* m_undo = nullptr;
    QPushButton* m_border = nullptr;
    QPushButton* m_fill = nullptr;
    QRadioButton* m_modes[3] = {};
};

}  // namespace qmx
