#include "editor/CStartDlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace qmx {

CStartDlg::CStartDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Vantor Editor"));
    auto* question = new QLabel(QString::fromLatin1(kStartQuestion), this);
    question->setWordWrap(true);
    auto* load = new QPushButton(QStringLiteral("Load"), this);
    auto* create = new QPushButton(QStringLiteral("New"), this);
    load->setObjectName(QStringLiteral("load"));
    create->setObjectName(QStringLiteral("new"));
    load->setDefault(true);
    connect(load, &QPushButton::clicked, this, [this] {
        m_choice = Choice::Load;
        accept();
    });
    connect(create, &QPushButton::clicked, this, [this] {
        m_choice = Choice::New;
        accept();
    });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(load);
    buttons->addWidget(create);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(question);
    layout->addLayout(buttons);
    resize(360, 120);
}

}  // namespace qmx
