#include "editor/CImportCountersDlg.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "core/module/UnitImageSheet.h"
#include "editor/EditorDocument.h"
#include "graphics/ModuleGraphics.h"
#include "graphics/QtText.h"

namespace qmx {

namespace {

constexpr const char* kTitle = "Import Counter Pictures";

QSpinBox* cellSpin(QWidget* parent, const char* name) {
    auto* spin = new QSpinBox(parent);
    spin->setObjectName(QString::fromLatin1(name));
    spin->setRange(1, kMaxGraphicsSide);
    spin->setValue(kUnitImageSize);
    spin->setSuffix(QStringLiteral(" px"));
    return spin;
}

}  // namespace

CImportCountersDlg::CImportCountersDlg(EditorDocument& document, QWidget* parent)
    : QDialog(parent), m_document(document) {
    setWindowTitle(QString::fromLatin1(kTitle));
    const Module& m = document.module();

    m_folder = new QRadioButton(
        QStringLiteral("A folder of pictures, one a counter (taken by name)"), this);
    m_folder->setObjectName(QStringLiteral("folder"));
    m_sheet = new QRadioButton(QStringLiteral("One sheet of counters, cut into cells"), this);
    m_sheet->setObjectName(QStringLiteral("sheet"));
    m_folder->setChecked(true);

    m_path = new QLineEdit(this);
    m_path->setObjectName(QStringLiteral("path"));
    m_browse = new QPushButton(QStringLiteral("Browse..."), this);
    auto* pathRow = new QHBoxLayout;
    pathRow->addWidget(m_path, 1);
    pathRow->addWidget(m_browse);

    m_cellWidth = cellSpin(this, "cellWidth");
    m_cellHeight = cellSpin(this, "cellHeight");
    auto* cellRow = new QHBoxLayout;
    cellRow->addWidget(m_cellWidth);
    cellRow->addWidget(new QLabel(QStringLiteral("x"), this));
    cellRow->addWidget(m_cellHeight);
    cellRow->addStretch(1);

    const int capacity = m.imageCapacity();
    m_first = new QSpinBox(this);
    m_first->setObjectName(QStringLiteral("first"));
    m_first->setRange(1, std::max(1, capacity));
    m_first->setValue(defaultFirstImage(m));
    auto* firstRow = new QHBoxLayout;
    firstRow->addWidget(m_first);
    firstRow->addWidget(new QLabel(QStringLiteral("of %1 in the sheet").arg(capacity), this), 1);

    m_preview = new QLabel(this);
    m_preview->setObjectName(QStringLiteral("preview"));
    m_preview->setWordWrap(true);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Folder or sheet:"), pathRow);
    form->addRow(QStringLiteral("Cell size:"), cellRow);
    form->addRow(QStringLiteral("First image number:"), firstRow);

    auto* note = new QLabel(
        QStringLiteral("Each picture is scaled to fit a unit image of %1 x %2 pixels, keeping "
                       "its proportions. Cells of one colour are passed over.")
            .arg(m.legacyLayout ? kLegacyCellWidth : kUnitImageSize)
            .arg(m.legacyLayout ? kLegacyCellHeight : kUnitImageSize),
        this);
    note->setWordWrap(true);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CImportCountersDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_folder);
    layout->addWidget(m_sheet);
    layout->addLayout(form);
    layout->addWidget(note);
    layout->addWidget(m_preview);
    layout->addWidget(buttons);

    auto refresh = [this] {
        m_cellWidth->setEnabled(m_sheet->isChecked());
        m_cellHeight->setEnabled(m_sheet->isChecked());
        updatePreview();
    };
    connect(m_sheet, &QRadioButton::toggled, this, refresh);
    connect(m_path, &QLineEdit::editingFinished, this, &CImportCountersDlg::updatePreview);
    connect(m_cellWidth, &QSpinBox::valueChanged, this, &CImportCountersDlg::updatePreview);
    connect(m_cellHeight, &QSpinBox::valueChanged, this, &CImportCountersDlg::updatePreview);
    connect(m_first, &QSpinBox::valueChanged, this, &CImportCountersDlg::updatePreview);
    connect(m_browse, &QPushButton::clicked, this, &CImportCountersDlg::browse);
    refresh();
    resize(520, 300);
}

CounterImport CImportCountersDlg::source() const {
    const std::string path = stdPath(m_path->text().trimmed());
    return m_sheet->isChecked()
               ? CounterImport::fromSheet(path, m_cellWidth->value(), m_cellHeight->value())
               : CounterImport::fromFolder(path);
}

void CImportCountersDlg::updatePreview() {
    if (m_path->text().trimmed().isEmpty()) {
        m_preview->setText(m_sheet->isChecked() ? QStringLiteral("Choose the sheet of counters.")
                                                : QStringLiteral("Choose the folder of pictures."));
        return;
    }
    const CounterImport s = source();
    if (!s.ok()) {
        m_preview->setText(QString::fromStdString(s.error()) + QLatin1Char('.'));
        return;
    }
    m_preview->setText(QString::fromStdString(
        importPreview(s.count(), m_first->value(), m_document.module().imageCapacity())));
}

void CImportCountersDlg::browse() {
    const QString start =
        m_path->text().isEmpty()
            ? qtPath(m_document.moduleFolder().empty() ? m_document.programFolder() + "modules"
                                                       : m_document.moduleFolder())
            : m_path->text();
    QString chosen;
    if (m_sheet->isChecked())
        chosen = m_document.prompts().openFile(this, QString::fromLatin1(kTitle), start,
                                               importGraphicsFilter());
    else
        chosen = QFileDialog::getExistingDirectory(this, QString::fromLatin1(kTitle), start);
    if (chosen.isEmpty()) return;
    m_path->setText(chosen);
    updatePreview();
}

void CImportCountersDlg::accept() {
    EditorShellPrompts& prompts = m_document.prompts();
    const std::string title = kTitle;
    const CounterImport s = source();
    if (!s.ok() || s.count() == 0) {
        prompts.showText(title, s.ok() ? "No pictures were found there." : s.error() + ".");
        return;
    }
    const Module& m = m_document.module();
    const int first = m_first->value();
    const int fit = std::clamp(m.imageCapacity() - first + 1, 0, s.count());
    if (fit < s.count() && !prompts.askYesNo(title, "Only " + std::to_string(fit) + " of the " +
                                                        std::to_string(s.count()) +
                                                        " pictures fit in the sheet from image " +
                                                        std::to_string(first) + ".  Import those?"))
        return;

    // The import works on a copy of the image, which becomes the document's
    // image in one step of the history.
    ModuleGraphics copy(m_document.graphics().image());
    const CounterImportResult result = s.place(m, copy, first);
    if (result.placed > 0) m_document.replaceImage(copy.image(), title);
    prompts.showText(title, result.text());
    QDialog::accept();
}

}  // namespace qmx
