#pragma once
// What the editor holds while its main dialog is open: the module, its
// image, the one edit history over both, the file the module came from and
// the folder the module dialogs start in. The file commands (load, save,
// graphics import and export, the hex-name report) run here whole, asking
// through the prompts.

#include <QImage>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "core/edit/EditHistory.h"
#include "core/module/Clock.h"
#include "core/module/Module.h"
#include "editor/EditorAutosave.h"
#include "editor/EditorShellPrompts.h"
#include "graphics/ModuleGraphics.h"

class QWidget;

namespace qmx {

class NewModuleForm;

// The file-dialog filters of the editor.
QString moduleFilter();          // "QMX Modules(*.qm4)" and "All Files"
QString importGraphicsFilter();  // Load Graphics
QString exportGraphicsFilter();  // Save Graphics As
QString reportFilter();          // Report Hex Names

// How Import Map Picture places a picture of the map alone.
struct MapPictureChoice {
    // The hex grid becomes the one that fits the picture, in `orientation`;
    // otherwise the grid stays and the picture is placed as it is, or scaled
    // to the grid's map size when `scale` is set.
    bool sizeGrid = true;
    GridOrientation orientation = GridOrientation::RowsAligned;
    bool scale = false;
};

class EditorDocument {
public:
    // `programFolder` ends with '/'; the module dialogs start in its "modules/".
    EditorDocument(std::string programFolder, EditorShellPrompts& prompts, Clock& clock);

    // A new module from the confirmed form, with its blank image.
    void newModule(const NewModuleForm& form);
    // Reads a module and its image. On failure the messages are shown and
    // what was held stays as it was.
    bool loadModule(const std::string& path);

    // File > Save: the dialog, the ".qm4" rule, the overwrite question, then
    // the module and its image written together. True when both were written.
    bool saveModule(QWidget* parent);
    // Writes module and image to `path` (already named). The module goes to a
    // temporary file first and takes its name only after the image is saved,
    // so a failure leaves the old module, image and backup as they were.
    bool writeModule(const std::string& path);

    // File > Load Graphics and Save Graphics As.
    bool importGraphics(QWidget* parent);
    bool importGraphicsFile(const std::string& path);
    // Map Functions > Import Map Picture, once the picture is read and the
    // author has chosen: the picture goes under the unit picture band (the
    // band and its counters stay), with the grid as chosen, as one step.
    // False, with a message, when the module picture would grow beyond the
    // largest picture a module may have.
    bool placeMapPicture(const QImage& picture, const MapPictureChoice& choice);
    // Reads a picture of any kind the editor takes; on failure shows why
    // (the file is missing, too large, or names what is wrong with it).
    std::optional<QImage> readPicture(const std::string& path);
    bool exportGraphics(QWidget* parent);
    // Map Functions > Save Map Template, once its options are chosen: the
    // file dialog, the ".png" rule, the overwrite question, the picture
    // written and a box saying where.
    bool saveMapTemplate(QWidget* parent, bool names, bool overMap);
    // Map Functions > Report Hex Names.
    bool reportHexNames(QWidget* parent);

    // --- the autosave ----------------------------------------------------------
    // Called every few seconds: when the history moved since the last
    // autosave, writes the module (and its picture, when it differs from the
    // module's own file) in the background. Nothing is written while the
    // module equals its file; the autosave then goes.
    void autosave();
    // At start-up: an autosave is there; asks whether to continue from it and
    // does. True when the autosaved module is now held. "No" removes it.
    bool offerAutosave();
    // A normal quit: the autosave goes.
    void endAutosave() { m_autosave.remove(); }
    EditorAutosave& autosaveFiles() { return m_autosave; }

    // Replaces the whole image as one step of the history.
    void replaceImage(QImage image, const std::string& label);

    // True while the coordinate function runs (the map tools set it).
    bool coordinatesRunning = false;

    bool hasUnsavedChanges() const { return !m_onDisk || !m_history.isClean(); }

    Module& module() { return m_module; }
    const Module& module() const { return m_module; }
    ModuleGraphics& graphics() { return m_graphics; }
    const ModuleGraphics& graphics() const { return m_graphics; }
    EditHistory& history() { return m_history; }
    EditorShellPrompts& prompts() { return m_prompts; }
    const std::string& modulePath() const { return m_path; }
    const std::string& moduleFolder() const { return m_folder; }
    // The folder a table command used becomes the folder the dialogs start in.
    void setModuleFolder(std::string folder) { m_folder = std::move(folder); }
    const std::string& programFolder() const { return m_programFolder; }
    // The picker's first image in Define Units, kept between openings.
    int firstShownImage = 1;

private:
    void showNotice(const Notice& n);
    // Reads a module and its picture (through `readPicture`) and holds them
    // with an empty history; on failure shows why and keeps what was held.
    bool readModule(const std::string& path,
                    const std::function<GraphicsResult(ModuleGraphics&)>& readPicture);
    // The state just read or written is what the autosave holds.
    void autosaveMatches();

    std::string m_programFolder;
    EditorShellPrompts& m_prompts;
    Clock& m_clock;
    Module m_module;
    ModuleGraphics m_graphics;
    EditHistory m_history;
    std::string m_path;    // the module file, "" for a new module never saved
    std::string m_folder;  // where the module dialogs start
    bool m_onDisk = false;
    EditorAutosave m_autosave;
    std::uint64_t m_autosavedRevision = 0;
    // The picture's revision that the module's own file holds.
    static constexpr std::uint64_t kNotOnDisk = static_cast<std::uint64_t>(-1);
    std::uint64_t m_diskPicture = kNotOnDisk;
    bool m_autosaveWarned = false;
};

}  // namespace qmx
