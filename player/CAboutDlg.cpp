#include "player/CAboutDlg.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "player/ToolbarIcons.h"
#include "widgets/PlainText.h"

namespace qmx {

CAboutDlg::CAboutDlg(const QString& startupText, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About QMX"));

    auto* icon = new QLabel(this);
    icon->setPixmap(programIcon().pixmap(64, 64));
    icon->setAlignment(Qt::AlignTop);

    auto* name = new QLabel(
        QStringLiteral("<b>QMX</b> Version %1").arg(QLatin1String(kProgramVersion)), this);
    markupAllowed(name);
    auto* what = new QLabel(
        QStringLiteral("Board wargames by e-mail: load a module, move, fight, save and send."),
        this);
    what->setWordWrap(true);
    auto* startup = new QLabel(startupText, this);
    startup->setObjectName(QStringLiteral("startupText"));
    startup->setWordWrap(true);
    startup->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* texts = new QVBoxLayout;
    texts->addWidget(name);
    texts->addWidget(what);
    texts->addWidget(startup);
    auto* top = new QHBoxLayout;
    top->addWidget(icon);
    top->addLayout(texts, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);
}

}  // namespace qmx
