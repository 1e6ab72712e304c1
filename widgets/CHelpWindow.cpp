#include "widgets/CHelpWindow.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <QVBoxLayout>

// The guide is built into a static library; naming its resource here keeps
// the linker from dropping it. (Outside the namespace: the macro declares the
// resource's function.)
static void initGuideResource() {
    Q_INIT_RESOURCE(guide);
}

namespace qmx {

QString CHelpWindow::guideText() {
    initGuideResource();
    QFile file(QStringLiteral(":/qmx/user-guide.md"));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.readAll());
}

void CHelpWindow::openAt(const QString& chapter) {
    // The chapter's heading, not the first mention of its name in the text.
    for (QTextBlock b = m_browser->document()->begin(); b.isValid(); b = b.next()) {
        if (b.blockFormat().headingLevel() == 0 || !b.text().endsWith(chapter)) continue;
        QTextCursor at(b);
        at.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        m_browser->setTextCursor(at);
        QScrollBar* bar = m_browser->verticalScrollBar();
        bar->setValue(bar->value() + m_browser->cursorRect(at).top());
        return;
    }
}

CHelpWindow::CHelpWindow(const QString& title, const QString& chapter, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(title);
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    setModal(false);
    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("helpBrowser"));
    m_browser->setOpenExternalLinks(true);
    const QString guide = guideText();
    if (guide.isEmpty()) {
        m_browser->setPlainText(QStringLiteral("The user guide is missing from this build."));
    } else {
        // The guide's pictures are built in beside it.
        m_browser->setSearchPaths({QStringLiteral(":/qmx")});
        m_browser->setMarkdown(guide);
        // Once the window stands laid out, so the heading can go to the top.
        if (!chapter.isEmpty()) QTimer::singleShot(0, this, [this, chapter] { openAt(chapter); });
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_browser, 1);
    layout->addWidget(buttons);
    resize(720, 640);
}

}  // namespace qmx
