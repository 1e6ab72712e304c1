#pragma once
// The editor's start-up: the program folder, the start dialog, the new-module
// dialog or the module dialog, then the main dialog. Cancelling any of them
// ends the program.

#include <QStringList>
#include <memory>
#include <string>

#include "core/module/Clock.h"
#include "editor/EditorDocument.h"
#include "editor/EditorShellPrompts.h"

namespace qmx {

class CQMXEditDlg;

struct EditorOptions {
    std::string module;  // a module to open at once, skipping the start dialog
    bool help = false;
};
EditorOptions parseEditorOptions(const QStringList& arguments);
QString editorUsageText();

class CEditorApp {
public:
    CEditorApp(std::string programFolder, EditorShellPrompts& prompts, Clock& clock);
    ~CEditorApp();

    // Runs the start-up questions; the main dialog when a module is ready,
    // null when the author cancelled or the module could not be read.
    CQMXEditDlg* startUp(const EditorOptions& options);
    EditorDocument& document() { return m_document; }
    CQMXEditDlg* mainDialog() const { return m_main.get(); }

private:
    bool newModule();
    bool loadModule();

    std::string m_programFolder;
    EditorShellPrompts& m_prompts;
    EditorDocument m_document;
    std::unique_ptr<CQMXEditDlg> m_main;
};

}  // namespace qmx
