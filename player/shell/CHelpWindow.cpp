#include "player/shell/CHelpWindow.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace qmx {

QString CHelpWindow::guideText() {
    QFile file(QStringLiteral(":/qmx/user-guide.md"));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.readAll());
}

CHelpWindow::CHelpWindow(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("QMX Help"));
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    setModal(false);

    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("helpBrowser"));
    m_browser->setOpenExternalLinks(true);
    const QString guide = guideText();
    if (guide.isEmpty()) {
        m_browser->setPlainText(QStringLiteral("The user guide is missing from this build."));
    } else {
        m_browser->setMarkdown(guide);
    }

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_browser, 1);
    layout->addWidget(buttons);
    resize(720, 640);
}

}  // namespace qmx
