#include "editor/shell/CEditHelpWindow.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QTextBrowser>
#include <QVBoxLayout>

// The guide is built into the editor's static library; naming its resource
// here keeps the linker from dropping it. (Outside the namespace: the macro
// declares the resource's function.)
static void initEditorResources() {
    Q_INIT_RESOURCE(editor);
}

namespace qmx {

QString CEditHelpWindow::guideText() {
    initEditorResources();
    QFile file(QStringLiteral(":/qmxedit/user-guide.md"));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.readAll());
}

CEditHelpWindow::CEditHelpWindow(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("QMX Editor Help"));
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("helpBrowser"));
    const QString guide = guideText();
    if (guide.isEmpty()) {
        m_browser->setPlainText(QStringLiteral("The user guide is missing from this build."));
    } else {
        m_browser->setMarkdown(guide);
        // Open at the editor's chapter.
        m_browser->scrollToAnchor(QStringLiteral("the-module-editor"));
        m_browser->find(QStringLiteral("The module editor"));
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_browser, 1);
    layout->addWidget(buttons);
    resize(720, 640);
}

}  // namespace qmx
