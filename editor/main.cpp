// qmx4edit: the module editor.
#include <QApplication>
#include <QDir>
#include <cstdio>

#include "core/settings/ProgramFolder.h"
#include "editor/CEditorApp.h"
#include "editor/CQMXEditDlg.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const qmx::EditorOptions options = qmx::parseEditorOptions(QApplication::arguments());
    if (options.help) {
        std::fputs(qmx::editorUsageText().toLocal8Bit().constData(), stdout);
        return 0;
    }
    const std::string folder = qmx::resolveProgramFolder(qmx::programFolderInputs(
        QDir(QApplication::applicationDirPath()).absolutePath().toStdString()));
    qmx::EditorDialogs prompts;
    qmx::SystemClock clock;
    qmx::CEditorApp editor(folder, prompts, clock);
    qmx::CQMXEditDlg* main = editor.startUp(options);
    if (!main) return 1;
    main->exec();
    return 0;
}
