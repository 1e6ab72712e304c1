#pragma once
// The four table commands of the editor's File menu, run whole: "Save Unit
// Table", "Load Unit Table", "Save Map Name Table" and "Load Map Name Table".
// The file dialogs, the question and the messages come through TablePrompts;
// the editor's windows implement it, tests script it.

#include <optional>
#include <string>
#include <string_view>

#include "core/edit/NameTableFile.h"
#include "core/edit/UnitTableFile.h"
#include "core/module/Module.h"

namespace qmx {

inline constexpr std::string_view kOverwriteTitle = "WARNING";
inline constexpr std::string_view kOverwriteText =
    "This file already exists!  Do you wish to overwrite it?";

// The menu items' prompts.
inline constexpr std::string_view kSaveUnitTableHelp =
    "Saves your unit information as a spreadsheet";
inline constexpr std::string_view kLoadUnitTableHelp =
    "Loads unit information from a comma-delimited spreadsheet table";
inline constexpr std::string_view kSaveNameTableHelp = "Saves your hex names as a spreadsheet";
inline constexpr std::string_view kLoadNameTableHelp =
    "Loads map names from a comma-delimited spreadsheet table";

class TablePrompts {
public:
    virtual ~TablePrompts() = default;
    // The file dialogs with the filter "Text files(*.txt)", starting in the
    // modules folder; nothing for Cancel. The open dialog takes only
    // existing files.
    virtual std::optional<std::string> chooseSaveFile(std::string_view filter) = 0;
    virtual std::optional<std::string> chooseOpenFile(std::string_view filter) = 0;
    virtual bool fileExists(const std::string& path) = 0;
    // Yes/No; true for Yes.
    virtual bool askYesNo(std::string_view title, std::string_view question) = 0;
    // Message `number` of the editor's table, titled "WARNING".
    virtual void showMessage(int number) = 0;
    // Progress in the hex-name field ("Row 12").
    virtual void showProgress(const std::string& text) = 0;
    // What a load read and passed over, in one box.
    virtual void showReport(const std::string& text) = 0;
};

enum class TableKind { Units, Names };

struct TableCommandResult {
    bool done = false;  // the file was written or read
    std::string path;   // the file; its folder becomes the current module folder
    int lines = 0;      // units or rows read
};

// Refused with message 16 while a calibration is pending. The chosen name
// gets ".txt" first and the overwrite question is asked about that name.
TableCommandResult saveTableCommand(TableKind kind, const Module& module,
                                    const UnitStepBytes& steps, bool calibrationPending,
                                    TablePrompts& prompts);
// Reads the chosen table into the module (units or hex names) in place.
TableCommandResult loadTableCommand(TableKind kind, Module& module, UnitStepBytes& steps,
                                    TablePrompts& prompts);

}  // namespace qmx
