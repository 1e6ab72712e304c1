#include "editor/CNewModuleDlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

namespace qmx {

namespace {

QLineEdit* numberField(QWidget* parent, const char* name, int max) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setValidator(new QIntValidator(0, max, edit));
    edit->setMaximumWidth(80);
    return edit;
}

QLabel* wrapped(const char* text, QWidget* parent) {
    auto* label = new QLabel(QString::fromLatin1(text), parent);
    label->setWordWrap(true);
    return label;
}

}  // namespace

CNewModuleDlg::CNewModuleDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("New Module"));
    m_columns = numberField(this, "columns", 999);
    m_rows = numberField(this, "rows", 999);
    m_units = numberField(this, "units", 999999);
    m_images = numberField(this, "images", 99999);
    m_rowsAligned = new QRadioButton(QString::fromLatin1(kRowsAlignedChoice), this);
    m_columnsAligned = new QRadioButton(QString::fromLatin1(kColumnsAlignedChoice), this);
    m_rowsAligned->setObjectName(QStringLiteral("rowsAligned"));
    m_columnsAligned->setObjectName(QStringLiteral("columnsAligned"));
    m_capacity = new QLabel(this);
    m_capacity->setObjectName(QStringLiteral("capacity"));
    m_capacity->setWordWrap(true);

    auto* questions = new QVBoxLayout;
    questions->addWidget(wrapped(kColumnsQuestion, this));
    questions->addWidget(m_columns);
    questions->addWidget(m_rowsAligned);
    questions->addWidget(m_columnsAligned);
    questions->addWidget(wrapped(kRowsQuestion, this));
    questions->addWidget(m_rows);
    questions->addWidget(wrapped(kUnitsQuestion, this));
    questions->addWidget(m_units);
    questions->addWidget(m_capacity);
    questions->addWidget(m_images);

    auto* tips = new QVBoxLayout;
    tips->addWidget(wrapped(kExtraHexesTip, this));
    tips->addWidget(wrapped(kExtraUnitsTip, this));
    tips->addStretch();

    auto* columns = new QHBoxLayout;
    columns->addLayout(questions, 3);
    columns->addLayout(tips, 2);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CNewModuleDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CNewModuleDlg::reject);

    // The capacity text grows with the images field: the dialog grows with it
    // rather than clipping it.
    m_capacity->setMinimumWidth(300);
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetMinimumSize);
    layout->addLayout(columns);
    layout->addWidget(buttons);

    showForm();

    // Every click on a choice corrects the sizes, also on the one already chosen.
    connect(m_rowsAligned, &QRadioButton::clicked, this, [this] {
        if (m_filling) return;
        readFields();
        m_form.chooseOrientation(GridOrientation::RowsAligned);
        showForm();
    });
    connect(m_columnsAligned, &QRadioButton::clicked, this, [this] {
        if (m_filling) return;
        readFields();
        m_form.chooseOrientation(GridOrientation::ColumnsAligned);
        showForm();
    });
    connect(m_images, &QLineEdit::textEdited, this, [this](const QString& text) {
        readFields();
        m_form.typeImagesWanted(text.toInt());
        m_capacity->setText(QString::fromStdString(m_form.capacityText()));
    });
    connect(m_images, &QLineEdit::editingFinished, this, [this] {
        readFields();
        m_form.leaveImagesWanted();
        showForm();
    });
    resize(640, 420);
}

void CNewModuleDlg::readFields() {
    m_form.columns = m_columns->text().toInt();
    m_form.rows = m_rows->text().toInt();
    m_form.units = m_units->text().toInt();
    m_form.imagesWanted = m_images->text().toInt();
}

void CNewModuleDlg::showForm() {
    m_filling = true;
    m_columns->setText(QString::number(m_form.columns));
    m_rows->setText(QString::number(m_form.rows));
    m_units->setText(QString::number(m_form.units));
    m_images->setText(QString::number(m_form.imagesWanted));
    m_rowsAligned->setChecked(m_form.orientation == GridOrientation::RowsAligned);
    m_columnsAligned->setChecked(m_form.orientation == GridOrientation::ColumnsAligned);
    m_capacity->setText(QString::fromStdString(m_form.capacityText()));
    m_filling = false;
}

void CNewModuleDlg::accept() {
    readFields();
    m_form.confirm();
    showForm();
    QDialog::accept();
}

}  // namespace qmx
