#include "editor/CEditorApp.h"

#include <QDateTime>

#include "editor/CNewModuleDlg.h"
#include "editor/CQMXEditDlg.h"
#include "editor/CStartDlg.h"
#include "widgets/PlainText.h"

namespace qmx {

EditorOptions parseEditorOptions(const QStringList& arguments) {
    EditorOptions options;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            options.help = true;
        } else if (options.module.empty()) {
            options.module = a.toLocal8Bit().toStdString();
        }
    }
    return options;
}

QString editorUsageText() {
    return QStringLiteral(
        "Usage: qmx4edit [MODULE.qm4]\n"
        "The QMX module editor. Without a module it asks whether to start a new module or\n"
        "load one; with a module it opens that module (its image beside it) at once.\n");
}

CEditorApp::CEditorApp(std::string programFolder, EditorShellPrompts& prompts, Clock& clock)
    : m_programFolder(programFolder),
      m_prompts(prompts),
      m_document(programFolder, prompts, clock) {
    keepTextPlain();
}

CEditorApp::~CEditorApp() = default;

bool CEditorApp::newModule() {
    CNewModuleDlg dialog;
    if (dialog.exec() != QDialog::Accepted) return false;
    m_document.newModule(dialog.form());
    return true;
}

bool CEditorApp::loadModule() {
    const QString chosen =
        m_prompts.openFile(nullptr, QStringLiteral("Load Module"),
                           QString::fromLocal8Bit(m_programFolder + "modules"), moduleFilter());
    if (chosen.isEmpty()) {
        m_prompts.showDialogError(0);
        return false;
    }
    return m_document.loadModule(chosen.toLocal8Bit().toStdString());
}

CQMXEditDlg* CEditorApp::startUp(const EditorOptions& options) {
    // Work left by an editor that did not close normally comes first.
    bool ready = m_document.offerAutosave();
    if (!ready && !options.module.empty()) {
        ready = m_document.loadModule(options.module);
    } else if (!ready) {
        CStartDlg start;
        start.exec();
        switch (start.choice()) {
            case CStartDlg::Choice::New:
                ready = newModule();
                break;
            case CStartDlg::Choice::Load:
                ready = loadModule();
                break;
            case CStartDlg::Choice::None:
                break;
        }
    }
    if (!ready) return nullptr;
    const QString started =
        QStringLiteral("Started %1 in %2")
            .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm")),
                 QString::fromLocal8Bit(m_programFolder));
    m_main = std::make_unique<CQMXEditDlg>(m_document, started);
    return m_main.get();
}

}  // namespace qmx
