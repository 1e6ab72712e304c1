#include "editor/SetupFromTable.h"

#include <filesystem>

#include "core/edit/EditorFiles.h"
#include "core/edit/SetupTable.h"
#include "core/edit/TableFileText.h"
#include "core/game/NotePrompts.h"
#include "core/game/SavedGame.h"
#include "core/module/MessageTable.h"
#include "core/module/ModuleFile.h"
#include "core/settings/ProgramFolder.h"
#include "editor/EditorDocument.h"
#include "graphics/QtText.h"

namespace qmx {
namespace {

namespace fs = std::filesystem;

constexpr const char* kSaveFirstQuestion =
    "A setup game belongs to the module as it is saved on disk, and this module has changes "
    "that are not saved.  Save the module first?";
// The box lists this many of the table's lines; qmxtool setup lists them all.
constexpr std::size_t kShownReportLines = 25;

// Where the player looks for saved games: "Savedgames" beside the module's
// folder (the program folder's "modules"), else the editor's program folder's,
// else the module's own folder.
std::string setupFolder(const EditorDocument& document) {
    std::error_code ec;
    const fs::path moduleFolder = fs::path(document.modulePath()).parent_path();
    const fs::path beside = moduleFolder.parent_path() / "Savedgames";
    if (fs::is_directory(beside, ec)) return beside.string();
    const fs::path program = fs::path(document.programFolder()) / "Savedgames";
    if (fs::is_directory(program, ec)) return program.string();
    return moduleFolder.string();
}

std::string reportText(const SetupTableResult& result) {
    std::string text = setupSummary(result);
    if (result.report.empty()) return text;
    text += "\n\nLines of the table passed over or changed:";
    for (std::size_t i = 0; i < result.report.size() && i < kShownReportLines; ++i)
        text += "\n" + result.report[i];
    if (result.report.size() > kShownReportLines)
        text += "\n... and " + std::to_string(result.report.size() - kShownReportLines) +
                " more (qmxtool setup lists every line).";
    return text;
}

}  // namespace

bool makeSetupGameFromTable(EditorDocument& document, QWidget* parent) {
    EditorShellPrompts& prompts = document.prompts();
    if (document.coordinatesRunning) {
        prompts.showMessage(editormsg::kFinishCoordinates);
        return false;
    }
    if (document.hasUnsavedChanges()) {
        if (!prompts.askYesFirst(std::string(kWarningTitle), kSaveFirstQuestion) ||
            !document.saveModule(parent))
            return false;
    }
    const std::string modulePath = document.modulePath();
    // The module as the player will read it, identity and all.
    const ModuleLoad module = loadModuleFile(modulePath, ModuleReader::Player);
    if (!module.ok) {
        prompts.showText(std::string(kWarningTitle), "The player cannot read the saved module " +
                                                         modulePath +
                                                         ", so no setup game can be made for it.");
        return false;
    }

    const QString tablePath = prompts.openFile(
        parent, QStringLiteral("Make Setup Game from Table"), qtPath(document.moduleFolder()),
        QStringLiteral("Tables (*.csv *.txt *.tsv);;All Files (*)"));
    if (tablePath.isEmpty()) return false;
    const auto table = readTableFile(stdPath(tablePath));
    if (!table) {
        prompts.showMessage(editormsg::kCouldNotOpenFile);
        return false;
    }
    GameState state;
    const SetupTableResult result = placeUnitsFromTable(*table, module.module, state);
    if (result.placed == 0) {
        prompts.showText(
            std::string(kWarningTitle),
            "No line of the table places a unit; no setup game is made.\n\n" + reportText(result));
        return false;
    }

    const std::string start =
        (fs::path(setupFolder(document)) / (moduleTitle(modulePath) + "-setup.qms")).string();
    const QString chosen =
        prompts.saveFile(parent, QStringLiteral("Save Setup Game"), qtPath(start),
                         QStringLiteral("QMX Saved Games(*.qms);;All Files (*)"));
    if (chosen.isEmpty()) return false;
    const std::string savePath = savedGameName(stdPath(chosen));
    std::error_code ec;
    if (fs::exists(savePath, ec) &&
        !prompts.askYesNo(std::string(kWarningTitle), kOverwriteQuestion))
        return false;
    NotePrompts notes;
    if (!saveGameFile(savePath, state, module.module, {}, notes)) {
        prompts.showMessage(editormsg::kCouldNotOpenFile);
        return false;
    }
    prompts.showInformation(fromBytes(reportText(result)) +
                            QStringLiteral("\n\nThe setup game is saved as ") + qtPath(savePath) +
                            QStringLiteral(". The player opens it with the module ") +
                            qtPath(fs::path(modulePath).filename().string()) +
                            QStringLiteral(" and asks for the players when it is first loaded."));
    return true;
}

}  // namespace qmx
