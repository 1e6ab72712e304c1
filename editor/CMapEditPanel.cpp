#include "editor/CMapEditPanel.h"

#include <QApplication>
#include <QButtonGroup>
#include <QEvent>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <filesystem>
#include <functional>

#include "core/edit/EditorFiles.h"
#include "core/edit/MapEdits.h"
#include "core/edit/TableCommands.h"
#include "editor/CCoordinatesDlg.h"
#include "editor/CMapArea.h"
#include "editor/EditorDocument.h"
#include "graphics/QtText.h"

namespace qmx {

namespace {

QString text(std::string_view s) {
    return fromBytes(std::string(s));
}

// While the colour pick is armed, the next mouse press anywhere in the
// program: `press` gets the widget and the event, and returns true to swallow it.
class NextClick : public QObject {
public:
    NextClick(QObject* parent, std::function<bool(QWidget*, QMouseEvent*)> press)
        : QObject(parent), m_press(std::move(press)) {
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (event->type() != QEvent::MouseButtonPress || !widget) return false;
        const bool swallow = m_press(widget, static_cast<QMouseEvent*>(event));
        deleteLater();
        qApp->removeEventFilter(this);
        return swallow;
    }

private:
    std::function<bool(QWidget*, QMouseEvent*)> m_press;
};

// A box of the panel painted and clicked through callbacks.
class CPaintBox : public QWidget {
public:
    CPaintBox(const QString& name, QWidget* parent) : QWidget(parent) { setObjectName(name); }
    std::function<void(QPainter&)> paint;
    std::function<void(QPoint)> click;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        if (paint) paint(p);
    }
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton && click) click(event->position().toPoint());
    }
};

// The Coordinates command's questions, as the editor's boxes and dialog.
class CalibrationPrompts : public CoordinatePrompts {
public:
    CalibrationPrompts(EditorShellPrompts& prompts, QWidget* parent)
        : m_prompts(prompts), m_parent(parent) {}
    void showMessage(int number) override { m_prompts.showMessage(number); }
    void showText(std::string_view title, const std::string& text) override {
        m_prompts.showText(std::string(title), text);
    }
    int chooseSystem(GridOrientation orientation) override {
        CCoordinatesDlg dialog(orientation, m_parent);
        return dialog.exec() == QDialog::Accepted ? dialog.system() : 0;
    }

private:
    EditorShellPrompts& m_prompts;
    QWidget* m_parent;
};

// Clear Hex Names: OK/Cancel, then "Select Default Names".
class ClearNamesPrompts : public MapEditPrompts {
public:
    ClearNamesPrompts(EditorShellPrompts& prompts, QWidget* parent)
        : m_prompts(prompts), m_parent(parent) {}
    bool askOkCancel(std::string_view title, std::string_view question) override {
        return m_prompts.askOkCancel(std::string(title), std::string(question), m_parent);
    }
    std::optional<std::string> askDefaultName(std::string_view title, std::string_view label,
                                              std::string_view preset, int maxLength) override {
        QInputDialog dialog(m_parent);
        dialog.setObjectName(QStringLiteral("SelectDefaultNames"));
        dialog.setWindowTitle(text(title));
        dialog.setLabelText(text(label));
        dialog.setTextValue(text(preset));
        if (auto* field = dialog.findChild<QLineEdit*>()) field->setMaxLength(maxLength);
        if (dialog.exec() != QDialog::Accepted) return std::nullopt;
        return toBytes(dialog.textValue());
    }

private:
    EditorShellPrompts& m_prompts;
    QWidget* m_parent;
};

// The table commands' file dialogs and messages.
class PanelTablePrompts : public TablePrompts {
public:
    PanelTablePrompts(EditorDocument& document, const char* caption, QLabel* progress,
                      QWidget* parent)
        : m_document(document),
          m_caption(QString::fromLatin1(caption)),
          m_progress(progress),
          m_parent(parent) {}
    std::optional<std::string> chooseSaveFile(std::string_view filter) override {
        return chosen(m_document.prompts().saveFile(m_parent, m_caption, folder(), text(filter)));
    }
    std::optional<std::string> chooseOpenFile(std::string_view filter) override {
        return chosen(m_document.prompts().openFile(m_parent, m_caption, folder(), text(filter)));
    }
    bool fileExists(const std::string& path) override {
        std::error_code ec;
        return std::filesystem::exists(path, ec);
    }
    bool askYesNo(std::string_view title, std::string_view question) override {
        return m_document.prompts().askYesNo(std::string(title), std::string(question));
    }
    void showMessage(int number) override { m_document.prompts().showMessage(number); }
    void showProgress(const std::string& line) override {
        m_progress->setText(fromBytes(line));
        m_progress->repaint();
    }
    void showReport(const std::string& text) override {
        m_document.prompts().showBox(m_caption, fromBytes(text));
    }

private:
    QString folder() const { return qtPath(m_document.moduleFolder()); }
    // The folder of a file chosen is where the next dialog starts.
    std::optional<std::string> chosen(const QString& file) {
        if (file.isEmpty()) return std::nullopt;
        const std::string path = stdPath(file);
        m_document.setModuleFolder(folderOf(path));
        return path;
    }

    EditorDocument& m_document;
    QString m_caption;
    QLabel* m_progress;
    QWidget* m_parent;
};

QColor colourOf(Pixel p) {
    return QColor::fromRgb(p);
}

}  // namespace

CMapEditPanel::CMapEditPanel(EditorDocument& document, QWidget* parent)
    : QWidget(parent), m_document(document), m_tools(document.module(), PixelSurface{}) {
    setObjectName(QStringLiteral("mapEditPanel"));

    auto* overview = new CPaintBox(QStringLiteral("overview"), this);
    overview->setGeometry(0, 0, 144, 100);
    overview->paint = [this](QPainter& p) { paintOverview(p); };
    overview->click = [this](QPoint at) { overviewClicked(at); };
    m_overview = overview;

    m_hexNameLabel = new QLabel(this);
    m_hexNameLabel->setObjectName(QStringLiteral("IDC_HexName"));
    m_hexNameLabel->setGeometry(4, 104, 170, 18);

    m_nameField = new QLineEdit(this);
    m_nameField->setObjectName(QStringLiteral("hexName"));
    m_nameField->setGeometry(4, 124, 170, 24);
    // A hex record keeps 32 bytes: a longer name would be cut on saving.
    m_nameField->setMaxLength(static_cast<int>(kHexNameSize));
    m_nameField->installEventFilter(this);
    // Gaining the focus switches to Edit Names: only a click gives it, so the
    // dialog opens in Terrain mode.
    m_nameField->setFocusPolicy(Qt::ClickFocus);
    connect(m_nameField, &QLineEdit::textEdited, this, [this](const QString& t) {
        auto changes = m_tools.names().nameFieldChanged(m_document.module(), toBytes(t));
        if (changes.empty()) return;
        m_document.history().apply(
            hexNamesEdit(m_document.module(), std::move(changes), "Hex Name", "hex name field"));
        showHexName(m_tools.selected());
        m_map->update();
        emit changed();
    });

    auto button = [this](const char* caption, int x, int y, auto slot) {
        auto* b = new QPushButton(QString::fromLatin1(caption), this);
        b->setObjectName(QStringLiteral("tool ") + QString::fromLatin1(caption));
        b->setGeometry(x, y, 42, 26);
        connect(b, &QPushButton::clicked, this, slot);
        return b;
    };
    m_swap = button("F<>B", 2, 154, [this] { apply(m_tools.swapColours(), "F<>B"); });
    m_undo = button("Undo", 46, 154, [this] {
        m_tools.setSurface(surface());
        apply(m_tools.undo(), "Undo Hex Picture");
    });
    m_border = button("Border", 2, 186, [this] {
        m_tools.setSurface(surface());
        apply(m_tools.border(), "Border");
    });
    m_fill = button("Fill", 46, 186, [this] {
        m_tools.armFill();
        m_terrain->setCursor(Qt::CrossCursor);
    });

    auto* colours = new CPaintBox(QStringLiteral("colourArea"), this);
    colours->setGeometry(kColourPickArea.x, kColourPickArea.y, kColourPickArea.width,
                         kColourPickArea.height);
    colours->paint = [this](QPainter& p) { paintColours(p); };
    colours->click = [this](QPoint) {
        m_tools.armColourPick();
        setCursor(Qt::PointingHandCursor);
        if (m_map) m_map->setCursor(Qt::PointingHandCursor);
        // The map and the terrain editor pick from the module picture; any
        // other click takes the colour shown under the pointer.
        new NextClick(this, [this](QWidget* target, QMouseEvent* event) {
            const auto inside = [target](QWidget* w) {
                return w && (w == target || w->isAncestorOf(target));
            };
            if (!m_tools.pickArmed() || inside(m_map) || inside(m_terrain)) return false;
            const QPoint at = target->mapFromGlobal(event->globalPosition().toPoint());
            const QImage shown = target->grab(QRect(at, QSize(1, 1))).toImage();
            if (!shown.isNull()) m_tools.pickColour(shown.pixel(0, 0) | 0xFF000000u);
            unsetCursor();
            if (m_map) m_map->unsetCursor();
            m_colours->update();
            return true;
        });
    };
    m_colours = colours;

    auto* terrain = new CPaintBox(QStringLiteral("terrainEditor"), this);
    terrain->move(4, kTerrainEditorTop);
    terrain->paint = [this](QPainter& p) { paintTerrain(p); };
    terrain->click = [this](QPoint at) { terrainClicked(at); };
    m_terrain = terrain;

    auto* modeLabel = new QLabel(QStringLiteral("Edit Mode:"), this);
    modeLabel->setGeometry(4, 394, 170, 18);
    auto* group = new QButtonGroup(this);
    const char* modes[] = {"Terrain", "Hex Copy", "Edit Names"};
    for (int i = 0; i < 3; ++i) {
        m_modes[i] = new QRadioButton(QString::fromLatin1(modes[i]), this);
        m_modes[i]->setObjectName(QStringLiteral("mode ") + QString::fromLatin1(modes[i]));
        m_modes[i]->setGeometry(10, 414 + 22 * i, 160, 20);
        group->addButton(m_modes[i], i + 1);
    }
    m_modes[0]->setChecked(true);
    connect(group, &QButtonGroup::idClicked, this,
            [this](int id) { setMode(static_cast<EditMode>(id)); });
    setMinimumSize(178, 484);
    documentChanged();
}

void CMapEditPanel::attachMap(CMapArea* map, QScrollArea* scroll) {
    m_map = map;
    m_scroll = scroll;
    connect(map, &CMapArea::clicked, this, &CMapEditPanel::mapClicked);
    connect(map, &CMapArea::doubleClicked, this, &CMapEditPanel::mapDoubleClicked);
    connect(map, &CMapArea::hovered, this, &CMapEditPanel::mapHovered);
    connect(scroll->horizontalScrollBar(), &QScrollBar::valueChanged, m_overview,
            qOverload<>(&QWidget::update));
    connect(scroll->verticalScrollBar(), &QScrollBar::valueChanged, m_overview,
            qOverload<>(&QWidget::update));
}

PixelSurface CMapEditPanel::surface() {
    QImage& image = m_document.graphics().image();
    if (image.isNull()) return {};
    if (image.format() != QImage::Format_RGB32) image.convertTo(QImage::Format_RGB32);
    PixelSurface s;
    s.pixels = reinterpret_cast<Pixel*>(image.bits());  // detaches a shared copy
    s.width = image.width();
    s.height = image.height();
    s.stride = image.bytesPerLine() / 4;
    s.writable = mapPictureRect(m_document.module(), s.width, s.height);
    return s;
}

Hex CMapEditPanel::hexAt(QPoint map) const {
    const Module& m = m_document.module();
    if (m.columns < 1 || m.rows < 1) return {0, 0};
    return HexGeometry(m).hexAt({map.x(), map.y()}, 1.0f, {0, 0});
}

void CMapEditPanel::apply(const MapToolResult& r, const std::string& label) {
    bool stepped = false;
    if (r.pictureBefore && r.pictureBefore->available) {
        m_document.history().apply(
            pictureBlockEdit([this] { return surface(); }, *r.pictureBefore, label));
        stepped = true;
    }
    if (r.overlayBefore) {
        m_document.history().apply(
            pixelsEdit([this] { return surface(); }, *r.overlayBefore, label));
        stepped = true;
    }
    if (!r.nameChanges.empty()) {
        m_document.history().apply(hexNamesEdit(m_document.module(), r.nameChanges, label));
        stepped = true;
    }
    if (r.nameField) {
        const QSignalBlocker block(m_nameField);
        m_nameField->setText(fromBytes(*r.nameField));
    }
    if (stepped) m_document.history().closeStep();
    if (m_map && (r.redrawAll || !r.redraw.empty())) m_map->update();
    m_terrain->update();
    m_colours->update();
    if (stepped) emit changed();
}

void CMapEditPanel::showHexName(Hex h) {
    const Module& m = m_document.module();
    if (!m.hexInRange(h.column, h.row) || h.row > m.rows) {
        m_hexNameLabel->clear();
        return;
    }
    m_hexNameLabel->setText(fromBytes(m.hex(h.column, h.row).name));
}

void CMapEditPanel::syncButtons() {
    const bool terrain = m_tools.mode() == EditMode::Terrain;
    for (QPushButton* b : {m_swap, m_undo, m_border, m_fill}) b->setEnabled(terrain);
    m_modes[static_cast<int>(m_tools.mode()) - 1]->setChecked(true);
    const PictureSize block = terrainBlockSize(m_document.module().orientation);
    m_terrain->resize(block.width * kTerrainMagnification, block.height * kTerrainMagnification);
}

void CMapEditPanel::setMode(EditMode mode) {
    m_tools.setSurface(surface());
    apply(m_tools.setMode(mode), "Edit Mode");
    syncButtons();
}

void CMapEditPanel::documentChanged() {
    m_tools.setSurface(surface());
    syncButtons();
    m_overview->update();
    m_terrain->update();
    showHexName(m_tools.selected());
}

bool CMapEditPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_nameField) {
        if (event->type() == QEvent::FocusIn) {
            const std::string name = m_tools.names().nameFieldFocused(m_document.module());
            syncButtons();
            const QSignalBlocker block(m_nameField);
            m_nameField->setText(fromBytes(name));
        } else if (event->type() == QEvent::FocusOut) {
            m_document.history().closeStep();
        }
    }
    return QWidget::eventFilter(watched, event);
}

void CMapEditPanel::mapClicked(QPoint map) {
    m_tools.setSurface(surface());
    if (m_tools.pickArmed()) {
        const QRect band = m_document.graphics().mapRect(m_document.module());
        const QPoint at = map + band.topLeft();
        const QImage& image = m_document.graphics().image();
        if (image.valid(at)) m_tools.pickColour(image.pixel(at));
        unsetCursor();
        m_map->unsetCursor();
        m_colours->update();
        return;
    }
    const Hex h = hexAt(map);
    if (h.column < 1) return;
    if (m_calibration.pending()) {
        // While the Coordinates command waits for its double-click, a click
        // only selects: the two presses of a double-click must not copy.
        m_tools.names().clickHex(m_document.module(), h.column, h.row);
        return;
    }
    apply(m_tools.clickMap(h), "Hex Copy");
    showHexName(h);
}

void CMapEditPanel::mapDoubleClicked(QPoint map) {
    const Hex h = hexAt(map);
    if (h.column < 1) return;
    if (!m_calibration.pending()) {
        if (auto name = m_tools.names().clickHex(m_document.module(), h.column, h.row)) {
            const QSignalBlocker block(m_nameField);
            m_nameField->setText(fromBytes(*name));
        }
        return;
    }
    CalibrationPrompts prompts(m_document.prompts(), this);
    const CalibrationClick click =
        m_calibration.doubleClick(m_document.module(), h.column, h.row, prompts);
    m_document.coordinatesRunning = m_calibration.pending();
    if (click == CalibrationClick::Named) {
        m_document.history().apply(
            hexNamesEdit(m_document.module(), m_calibration.lastNaming().changes, "Coordinates"));
        m_document.history().closeStep();
        m_map->update();
        showHexName(h);
        emit changed();
    }
}

void CMapEditPanel::mapHovered(QPoint map) {
    const Hex h = hexAt(map);
    if (h.column >= 1) showHexName(h);
}

void CMapEditPanel::coordinates() {
    CalibrationPrompts prompts(m_document.prompts(), this);
    m_calibration.start(m_document.module().orientation, prompts);
    m_document.coordinatesRunning = m_calibration.pending();
}

void CMapEditPanel::clearHexNames() {
    CalibrationPrompts refusal(m_document.prompts(), this);
    if (m_calibration.refuses(refusal)) return;
    ClearNamesPrompts prompts(m_document.prompts(), this);
    MapToolResult r;
    r.nameChanges = m_tools.names().clearNames(m_document.module(), false, prompts);
    apply(r, "Clear Hex Names");
    showHexName(m_tools.selected());
}

void CMapEditPanel::copyHexName() {
    m_tools.names().copyName(m_document.module());
}

void CMapEditPanel::pasteHexName() {
    MapToolResult r;
    r.nameChanges = m_tools.names().pasteName(m_document.module());
    if (m_tools.mode() == EditMode::EditNames) r.nameField = m_tools.names().clipboard();
    apply(r, "Paste Hex Name");
    showHexName(m_tools.selected());
}

void CMapEditPanel::makeOverview() {
    CalibrationPrompts prompts(m_document.prompts(), this);
    if (m_calibration.refuses(prompts)) return;
    const Module& module = m_document.module();
    PixelSurface s = surface();
    if (!s.pixels) return;
    // Only the overview's rectangle changes: the step keeps that, not the image.
    const PixelRect rect{0, 0, module.overviewWidth, module.overviewHeight};
    OwnedPicture before = copyRect(s, rect);
    const OwnedPicture tiles = buildOverviewTiles(module, s, [this, &module](int line) {
        m_hexNameLabel->setText(fromBytes(overviewProgressText(module.orientation, line)));
        m_hexNameLabel->repaint();
    });
    stretchOverview(tiles, s, rect.width, rect.height);
    m_document.history().apply(
        rectEdit([this] { return surface(); }, rect, std::move(before), "Make Overview"));
    m_document.history().closeStep();
    documentChanged();
    emit changed();
}

void CMapEditPanel::gridOverlay() {
    m_tools.setSurface(surface());
    apply(m_tools.gridOverlay(), "Draw hex grid Overlay");
}

void CMapEditPanel::saveUnitTable() {
    PanelTablePrompts prompts(m_document, "Save Unit Table", m_hexNameLabel, this);
    saveTableCommand(TableKind::Units, m_document.module(), m_steps, m_calibration.pending(),
                     prompts);
}

void CMapEditPanel::saveNameTable() {
    PanelTablePrompts prompts(m_document, "Save Map Name Table", m_hexNameLabel, this);
    saveTableCommand(TableKind::Names, m_document.module(), m_steps, m_calibration.pending(),
                     prompts);
    showHexName(m_tools.selected());
}

void CMapEditPanel::loadUnitTable() {
    PanelTablePrompts prompts(m_document, "Load Unit Table", m_hexNameLabel, this);
    Module& module = m_document.module();
    std::vector<UnitDefinition> before = module.units;
    if (loadTableCommand(TableKind::Units, module, m_steps, prompts).done) {
        m_document.history().apply(unitTableEdit(module, std::move(before), "Load Unit Table"));
        m_document.history().closeStep();
        emit changed();
    }
}

void CMapEditPanel::loadNameTable() {
    PanelTablePrompts prompts(m_document, "Load Map Name Table", m_hexNameLabel, this);
    Module& module = m_document.module();
    std::vector<HexRecord> before = module.hexes;
    if (loadTableCommand(TableKind::Names, module, m_steps, prompts).done) {
        m_document.history().apply(hexTableEdit(module, std::move(before), "Load Map Name Table"));
        m_document.history().closeStep();
        emit changed();
    }
    showHexName(m_tools.selected());
}

void CMapEditPanel::paintOverview(QPainter& p) {
    const Module& m = m_document.module();
    const QImage& image = m_document.graphics().image();
    p.fillRect(rect(), palette().window());
    const QRect source(0, 0, m.overviewWidth, m.overviewHeight);
    if (image.isNull() || source.isEmpty()) return;
    p.drawImage(QPoint(0, 0), image, source.intersected(image.rect()));
    if (!m_scroll || !m_map || m_map->width() < 1 || m_map->height() < 1) return;
    // The frame of the visible part of the map.
    const QSize view = m_scroll->viewport()->size();
    const int x = m_scroll->horizontalScrollBar()->value() * source.width() / m_map->width();
    const int y = m_scroll->verticalScrollBar()->value() * source.height() / m_map->height();
    const int w = std::min(source.width(), view.width() * source.width() / m_map->width());
    const int h = std::min(source.height(), view.height() * source.height() / m_map->height());
    p.setPen(QPen(Qt::red, 1));
    p.drawRect(x, y, std::max(1, w - 1), std::max(1, h - 1));
}

void CMapEditPanel::overviewClicked(QPoint at) {
    const Module& m = m_document.module();
    if (!m_scroll || !m_map || m.overviewWidth == 0 || m.overviewHeight == 0) return;
    OverviewGeometry g;
    g.orientation = m.orientation;
    g.overviewSize = {m.overviewWidth, m.overviewHeight};
    g.mapSize = {m_map->width(), m_map->height()};
    const QSize view = m_scroll->viewport()->size();
    g.viewSize = {view.width(), view.height()};
    g.frameSize = {view.width() * m.overviewWidth / std::max(1, m_map->width()),
                   view.height() * m.overviewHeight / std::max(1, m_map->height())};
    const PixelPoint scroll = overviewClickScroll(g, at.x(), at.y());
    m_scroll->horizontalScrollBar()->setValue(scroll.x);
    m_scroll->verticalScrollBar()->setValue(scroll.y);
}

void CMapEditPanel::paintTerrain(QPainter& p) {
    p.fillRect(rect(), Qt::white);
    const Module& m = m_document.module();
    const QImage& image = m_document.graphics().image();
    const Hex src = m_tools.source();
    if (image.isNull() || src.column < 1 || src.column > m.columns || src.row < 1 ||
        src.row > m.rows)
        return;
    const PixelPoint at = hexPicturePosition(m, m_tools.source().column, m_tools.source().row);
    const PictureSize block = terrainBlockSize(m.orientation);
    const QRect source = QRect(at.x, at.y, block.width, block.height).intersected(image.rect());
    if (source.isEmpty()) return;
    const QRect target(
        (source.x() - at.x) * kTerrainMagnification, (source.y() - at.y) * kTerrainMagnification,
        source.width() * kTerrainMagnification, source.height() * kTerrainMagnification);
    p.drawImage(target, image, source);
    p.setPen(Qt::gray);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void CMapEditPanel::terrainClicked(QPoint at) {
    m_tools.setSurface(surface());
    if (m_tools.pickArmed()) {
        const PixelPoint p = m_tools.terrainPoint(at.x(), at.y());
        const QImage& image = m_document.graphics().image();
        if (image.valid(p.x, p.y)) m_tools.pickColour(image.pixel(p.x, p.y));
        unsetCursor();
        if (m_map) m_map->unsetCursor();
        m_colours->update();
        return;
    }
    m_terrain->unsetCursor();
    apply(m_tools.clickTerrainEditor(at.x(), at.y()), "Fill");
}

void CMapEditPanel::paintColours(QPainter& p) {
    p.fillRect(rect(), palette().window());
    p.setPen(Qt::black);
    p.setBrush(colourOf(m_tools.background()));
    p.drawRect(24, 10, 36, 20);
    p.setBrush(colourOf(m_tools.foreground()));
    p.drawRect(6, 3, 36, 20);
}

}  // namespace qmx
