#include "editor/EditorDocument.h"

#include <QFileInfo>
#include <algorithm>
#include <filesystem>
#include <functional>
#include <optional>

#include "core/edit/EditorFiles.h"
#include "core/edit/ModuleEdits.h"
#include "core/edit/NewModuleForm.h"
#include "core/map/MapPicture.h"
#include "core/module/FileIo.h"
#include "core/module/MessageTable.h"
#include "core/module/ModuleFile.h"
#include "core/module/UnitImageSheet.h"
#include "graphics/MapImage.h"
#include "graphics/PictureFile.h"
#include "graphics/QtText.h"

namespace fs = std::filesystem;

namespace qmx {

namespace {

// The whole image swapped in one step; QImage shares its pixels, so both
// states cost memory only while they differ.
class ImageEdit : public EditAction {
public:
    ImageEdit(ModuleGraphics& graphics, QImage after, std::string label)
        : m_graphics(graphics),
          m_before(graphics.image()),
          m_after(std::move(after)),
          m_label(std::move(label)) {}
    void redo() override { m_graphics.image() = m_after; }
    void undo() override { m_graphics.image() = m_before; }
    std::string label() const override { return m_label; }
    // The state not shown keeps its pixels alive (the shown one is the image's own).
    std::size_t cost() const override {
        return static_cast<std::size_t>(std::max(m_before.sizeInBytes(), m_after.sizeInBytes()));
    }
    bool changesPicture() const override { return true; }

private:
    ModuleGraphics& m_graphics;
    QImage m_before;
    QImage m_after;
    std::string m_label;
};

// A new map picture and the hex grid that goes with it, in one step.
class MapPictureEdit : public ImageEdit {
public:
    MapPictureEdit(ModuleGraphics& graphics, QImage after, Module& module, MapGrid grid)
        : ImageEdit(graphics, std::move(after), "Import Map Picture"),
          m_module(module),
          m_before(gridOf(module)),
          m_after(std::move(grid)) {}
    void redo() override {
        ImageEdit::redo();
        setGrid(m_module, m_after);
    }
    void undo() override {
        ImageEdit::undo();
        setGrid(m_module, m_before);
    }

private:
    Module& m_module;
    MapGrid m_before;
    MapGrid m_after;
};

}  // namespace

QString moduleFilter() {
    return QStringLiteral("QMX Modules(*.qm4);;All Files (*.*)");
}

QString importGraphicsFilter() {
    return QStringLiteral(
        "Portable Network Graphics (*.png);;Windows Bitmap (*.bmp);;QMX map file (*.qmg);;"
        "Zsoft Paintbrush (*.pcx);;Portable Bitmap (*.pbm);;Portable Pixelmap (*.ppm);;"
        "Portable greymap (*.pgm);;Truevision Targa (*.tga);;"
        "Tagged Image File Format (*.tiff);;Jpeg Compliant (*.jpeg);;Amiga (*.iff *.ILBM);;"
        "Sun Raster Image (*.ras);;Paint Shop Pro (*.psp)");
}

QString exportGraphicsFilter() {
    return QStringLiteral(
        "Portable Network Graphics (*.png);;Windows Bitmap (*.bmp);;Portable Pixelmap (*.ppm);;"
        "Truevision Targa (*.tga);;Tagged Image File Format (*.tiff);;Jpeg Compliant (*.jpeg)");
}

QString reportFilter() {
    return QStringLiteral("Text file(*.txt);;All Files (*.*)");
}

EditorDocument::EditorDocument(std::string programFolder, EditorShellPrompts& prompts, Clock& clock)
    : m_programFolder(std::move(programFolder)),
      m_prompts(prompts),
      m_clock(clock),
      m_autosave(m_programFolder) {
    m_folder = m_programFolder + "modules";
}

void EditorDocument::newModule(const NewModuleForm& form) {
    m_module = form.createModule();
    m_graphics = ModuleGraphics::createBlank(m_module);
    // The overview, the frame strips and the stack marker the player draws from.
    m_graphics.drawFixedPictures(m_module);
    m_history.clear();
    m_path.clear();
    m_onDisk = false;
    m_diskPicture = kNotOnDisk;
    autosaveMatches();
}

void EditorDocument::autosaveMatches() {
    m_autosavedRevision = m_history.revision();
}

void EditorDocument::showNotice(const Notice& n) {
    if (n.number != 0) {
        m_prompts.showMessage(n.number);
    } else {
        m_prompts.showText(std::string(kWarningTitle), n.text);
    }
}

bool EditorDocument::readModule(const std::string& path,
                                const std::function<GraphicsResult(ModuleGraphics&)>& readPicture) {
    ModuleLoad load = loadModuleFile(path, ModuleReader::Editor);
    for (const Notice& n : load.notices) showNotice(n);
    if (!load.ok) return false;
    ModuleGraphics graphics;
    const GraphicsResult g = readPicture(graphics);
    if (!g.ok()) {
        showNotice(g.notice(MessageTable::Editor));
        return false;
    }
    m_module = std::move(load.module);
    m_graphics = std::move(graphics);
    m_history.clear();
    return true;
}

bool EditorDocument::loadModule(const std::string& path) {
    if (!readModule(path, [&](ModuleGraphics& g) { return g.load(path); })) return false;
    m_path = path;
    m_folder = folderOf(path);
    m_onDisk = true;
    m_diskPicture = m_history.pictureRevision();
    autosaveMatches();
    return true;
}

bool EditorDocument::writeModule(const std::string& path) {
    assignModuleId(m_module, m_clock);
    const Bytes bytes = serializeModule(m_module);
    const std::string tmp = temporarySibling(path);
    if (!writeFileAtomically(tmp, bytes)) {
        m_prompts.showMessage(editormsg::kDataFileWriteError);
        return false;
    }
    // An unchanged picture is the file it was read from: beside the same
    // module it is left alone, beside another its bytes are copied. Only a
    // changed picture is encoded again.
    std::optional<std::string> unchanged;
    if (!m_path.empty() && m_diskPicture != kNotOnDisk &&
        m_history.pictureRevision() == m_diskPicture)
        unchanged = ModuleGraphics::findGraphicsFile(m_path);
    std::error_code ec;
    GraphicsResult g{GraphicsStatus::Ok, ModuleGraphics::graphicsName(path), true};
    if (!unchanged || *unchanged != ModuleGraphics::graphicsName(path))
        g = m_graphics.save(path, unchanged.value_or(std::string()));
    if (!g.ok()) {
        fs::remove(tmp, ec);
        showNotice(g.notice(MessageTable::Editor));
        return false;
    }
    fs::rename(tmp, path, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove(tmp, ignored);
        m_prompts.showMessage(editormsg::kDataFileWriteError);
        return false;
    }
    m_path = path;
    m_onDisk = true;
    m_history.markClean();
    m_diskPicture = m_history.pictureRevision();
    m_autosave.remove();
    autosaveMatches();
    return true;
}

void EditorDocument::autosave() {
    if (m_autosave.busy()) return;
    if (m_autosave.finish()) {
        m_autosaveWarned = false;
    } else if (!m_autosaveWarned) {
        m_autosaveWarned = true;
        m_prompts.showText(std::string(kWarningTitle),
                           editorAutosaveFailedText(m_autosave.modulePath()));
    }
    if (m_history.revision() == m_autosavedRevision) return;
    if (!hasUnsavedChanges()) {
        // Undone back to the file: the file holds it all.
        m_autosave.remove();
    } else {
        const bool pictureOnDisk = !m_path.empty() && m_history.pictureRevision() == m_diskPicture;
        m_autosave.start(m_module, pictureOnDisk ? QImage() : m_graphics.image(),
                         m_history.pictureRevision(), m_path);
    }
    autosaveMatches();
}

bool EditorDocument::offerAutosave() {
    const auto found = m_autosave.find();
    if (!found) return false;
    if (!m_prompts.askYesFirst(std::string(kWarningTitle),
                               editorAutosaveQuestion(found->source, found->when))) {
        m_autosave.remove();
        return false;
    }
    const bool read = readModule(m_autosave.modulePath(), [&](ModuleGraphics& g) {
        return found->ownPicture ? g.importImage(m_autosave.picturePath()) : g.load(found->source);
    });
    if (!read) return false;
    // Save goes to the module the work belongs to, and asks first.
    m_path = found->source;
    if (!m_path.empty()) m_folder = folderOf(m_path);
    m_onDisk = false;
    m_diskPicture = found->ownPicture ? kNotOnDisk : m_history.pictureRevision();
    autosaveMatches();
    return true;
}

bool EditorDocument::saveModule(QWidget* parent) {
    if (coordinatesRunning) {
        m_prompts.showMessage(editormsg::kFinishCoordinates);
        return false;
    }
    const std::string start =
        m_path.empty() ? m_folder + "/" : m_folder + "/" + fs::path(m_path).filename().string();
    const QString chosen =
        m_prompts.saveFile(parent, QStringLiteral("Save Module"), qtPath(start), moduleFilter());
    if (chosen.isEmpty()) {
        m_prompts.showDialogError(0);
        return false;
    }
    // The name is fixed first, so the overwrite question is about the file
    // that is really written.
    const std::string path = moduleSaveName(stdPath(chosen));
    m_folder = folderOf(path);
    if (fileExists(path) && !m_prompts.askYesNo(std::string(kWarningTitle), kOverwriteQuestion))
        return false;
    return writeModule(path);
}

void EditorDocument::replaceImage(QImage image, const std::string& label) {
    m_history.apply(std::make_unique<ImageEdit>(m_graphics, std::move(image), label));
    m_history.closeStep();
}

std::optional<QImage> EditorDocument::readPicture(const std::string& path) {
    PictureFile read = readPictureFile(path);
    switch (read.status) {
        case PictureFile::Status::Ok:
            return std::move(read.image);
        case PictureFile::Status::NotFound:
            m_prompts.showMessage(editormsg::kNoGraphicsFile);
            break;
        case PictureFile::Status::DibTooBig:
            m_prompts.showInformation(QString::fromLatin1(kDibTooBig));
            break;
        case PictureFile::Status::Unreadable:
            if (read.dib)
                m_prompts.showInformation(QString::fromLatin1(kCannotLoadDib));
            else
                m_prompts.showText(std::string(kWarningTitle),
                                   pictureReadFailure(path, read.reason));
            break;
    }
    return std::nullopt;
}

bool EditorDocument::placeMapPicture(const QImage& picture, const MapPictureChoice& choice) {
    MapGrid grid = gridOf(m_module);
    if (choice.sizeGrid) {
        const GridSize fit = gridFittingMap(picture.width(), picture.height(), choice.orientation);
        grid = resizedGrid(m_module, fit.columns, fit.rows, choice.orientation);
    }
    const PixelPoint size = blankMapSize(grid.columns, grid.rows, grid.orientation);
    QImage map = picture;
    if (!choice.sizeGrid && choice.scale)
        map = picture.scaled(size.x, size.y, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    // Every reader refuses a module picture of more than 32,767 pixels a side.
    const int width = std::max(map.width(), size.x);
    const int height = m_module.mapTop + std::max(map.height(), size.y);
    if (width > kMaxGraphicsSide || height > kMaxGraphicsSide) {
        m_prompts.showText(std::string(kWarningTitle),
                           "The picture is " + std::to_string(picture.width()) + " x " +
                               std::to_string(picture.height()) +
                               " pixels: under the unit pictures the module picture would be " +
                               std::to_string(width) + " x " + std::to_string(height) +
                               ", more than the " + std::to_string(kMaxGraphicsSide) +
                               " pixels a side a module picture may have. Make it smaller first.");
        return false;
    }
    QImage image = withMapPicture(m_module, m_graphics.image(), map, QSize(size.x, size.y),
                                  QSize(m_module.overviewWidth, m_module.overviewHeight),
                                  QSize(grid.overviewWidth, grid.overviewHeight));
    m_history.apply(
        std::make_unique<MapPictureEdit>(m_graphics, std::move(image), m_module, std::move(grid)));
    m_history.closeStep();
    return true;
}

bool EditorDocument::importGraphicsFile(const std::string& path) {
    std::optional<QImage> loaded = readPicture(path);
    if (!loaded) return false;
    replaceImage(std::move(*loaded), "Load Graphics");
    const std::string small =
        pictureSizeWarning(m_module, m_graphics.image().width(), m_graphics.image().height());
    if (!small.empty()) m_prompts.showText(std::string(kWarningTitle), small);
    return true;
}

bool EditorDocument::importGraphics(QWidget* parent) {
    const QString chosen =
        m_prompts.openFile(parent, QStringLiteral("Load Graphics"),
                           qtPath(m_programFolder + "modules"), importGraphicsFilter());
    if (chosen.isEmpty()) {
        m_prompts.showDialogError(0);
        return false;
    }
    return importGraphicsFile(stdPath(chosen));
}

bool EditorDocument::exportGraphics(QWidget* parent) {
    int entry = 0;
    const QString chosen =
        m_prompts.saveFile(parent, QStringLiteral("Save Graphics As"),
                           qtPath(m_programFolder + "modules"), exportGraphicsFilter(), &entry);
    if (chosen.isEmpty()) {
        m_prompts.showDialogError(0);
        return false;
    }
    const std::string path = exportSaveName(stdPath(chosen), entry);
    // The dialog's own question is off (it would ask about another name).
    if (fileExists(path) && !m_prompts.askYesNo(std::string(kWarningTitle), kOverwriteQuestion))
        return false;
    const GraphicsResult r = m_graphics.exportImage(path);
    if (!r.ok() && imageFormatFor(path) == "bmp") {
        m_prompts.showInformation(QString::fromLatin1(kCannotSaveDib));
        return false;
    }
    if (!r.ok()) {
        showNotice(r.notice(MessageTable::Editor));
        return false;
    }
    return true;
}

bool EditorDocument::saveMapTemplate(QWidget* parent, bool names, bool overMap) {
    std::string start = m_folder + "/";
    if (!m_path.empty()) start += fs::path(m_path).stem().string() + " template.png";
    QString chosen = m_prompts.saveFile(parent, QStringLiteral("Save Map Template"), qtPath(start),
                                        QStringLiteral("Portable Network Graphics (*.png)"));
    if (chosen.isEmpty()) return false;
    if (!chosen.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive))
        chosen += QStringLiteral(".png");
    const std::string path = stdPath(chosen);
    if (fileExists(path) && !m_prompts.askYesNo(std::string(kWarningTitle), kOverwriteQuestion))
        return false;
    const ModuleGraphics picture(
        mapTemplate(m_module, names, overMap ? &m_graphics.image() : nullptr));
    if (!picture.exportImage(path).ok()) {
        m_prompts.showText(std::string(kWarningTitle),
                           "The map template could not be written to " + path + ".");
        return false;
    }
    const PixelPoint size = blankMapSize(m_module.columns, m_module.rows, m_module.orientation);
    m_prompts.showInformation(QString::fromStdString(
        "The map template of " + std::to_string(m_module.columns) + " x " +
        std::to_string(m_module.rows) + " hexes (" + std::to_string(size.x) + " x " +
        std::to_string(size.y) + " pixels) was written to " + path + "."));
    return true;
}

bool EditorDocument::reportHexNames(QWidget* parent) {
    const QString chosen = m_prompts.saveFile(parent, QStringLiteral("Report Hex Names"),
                                              qtPath(m_folder + "/"), reportFilter());
    if (chosen.isEmpty()) {
        m_prompts.showDialogError(0);
        return false;
    }
    const std::string path = reportSaveName(stdPath(chosen));
    if (fileExists(path) && !m_prompts.askYesNo(std::string(kWarningTitle), kOverwriteQuestion))
        return false;
    if (!writeFileAtomically(path, hexNameReport(m_module))) {
        m_prompts.showMessage(editormsg::kCouldNotOpenFile);
        return false;
    }
    return true;
}

}  // namespace qmx
