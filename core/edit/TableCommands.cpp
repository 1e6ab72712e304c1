#include "core/edit/TableCommands.h"

#include "core/edit/TableFileText.h"
#include "core/module/MessageTable.h"

namespace qmx {

TableCommandResult saveTableCommand(TableKind kind, const Module& module,
                                    const UnitStepBytes& steps, bool calibrationPending,
                                    TablePrompts& prompts) {
    TableCommandResult result;
    if (calibrationPending) {
        prompts.showMessage(editormsg::kFinishCoordinates);
        return result;
    }
    const std::optional<std::string> chosen = prompts.chooseSaveFile(kTableFileFilter);
    if (!chosen) return result;
    result.path = tableSaveName(*chosen);
    if (prompts.fileExists(result.path) && !prompts.askYesNo(kOverwriteTitle, kOverwriteText))
        return result;
    const Bytes bytes =
        kind == TableKind::Units
            ? buildUnitTable(module, steps)
            : buildNameTable(module, [&](int row) { prompts.showProgress(rowProgressText(row)); });
    if (const int message = writeTableFile(result.path, bytes); message != 0) {
        prompts.showMessage(message);
        return result;
    }
    result.done = true;
    return result;
}

TableCommandResult loadTableCommand(TableKind kind, Module& module, UnitStepBytes& steps,
                                    TablePrompts& prompts) {
    TableCommandResult result;
    const std::optional<std::string> chosen = prompts.chooseOpenFile(kTableFileFilter);
    if (!chosen) return result;
    result.path = *chosen;
    const std::optional<Bytes> data = readTableFile(result.path);
    if (!data) {
        prompts.showMessage(editormsg::kCouldNotOpenFile);
        return result;
    }
    TableReading reading;
    result.lines =
        kind == TableKind::Units
            ? readUnitTable(*data, module, steps, &reading)
            : readNameTable(
                  *data, module, [&](int row) { prompts.showProgress(rowProgressText(row)); },
                  &reading);
    prompts.showReport(tableReadingText(reading, kind == TableKind::Units));
    result.done = true;
    return result;
}

}  // namespace qmx
