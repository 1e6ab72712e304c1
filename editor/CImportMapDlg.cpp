#include "editor/CImportMapDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

#include "core/map/MapPicture.h"
#include "core/module/UnitImageSheet.h"

namespace qmx {

namespace {

QString orientationText(GridOrientation o) {
    return o == GridOrientation::RowsAligned ? QStringLiteral("hexes in line with top edge")
                                             : QStringLiteral("hexes in line with side edge");
}

QString sizeText(int w, int h) {
    return QStringLiteral("%1 x %2").arg(w).arg(h);
}

}  // namespace

CImportMapDlg::CImportMapDlg(const Module& module, QSize picture, QWidget* parent)
    : QDialog(parent), m_module(module), m_picture(picture) {
    setObjectName(QStringLiteral("importMapDialog"));
    setWindowTitle(QStringLiteral("Import Map Picture"));
    const PixelPoint gridMap = blankMapSize(module.columns, module.rows, module.orientation);
    const bool matches = picture.width() == gridMap.x && picture.height() == gridMap.y;

    auto* intro = new QLabel(
        QStringLiteral("The picture is %1 pixels. The module's grid of %2 hexes (%3) has a map "
                       "of %4 pixels.")
            .arg(sizeText(picture.width(), picture.height()), sizeText(module.columns, module.rows),
                 orientationText(module.orientation), sizeText(gridMap.x, gridMap.y)),
        this);
    intro->setWordWrap(true);

    m_sizeGrid = new QRadioButton(QStringLiteral("&Size the hex grid to the picture:"), this);
    m_sizeGrid->setObjectName(QStringLiteral("sizeGrid"));
    m_orientation = new QComboBox(this);
    m_orientation->setObjectName(QStringLiteral("orientation"));
    m_orientation->addItem(QStringLiteral("Hexes in line with top edge"));
    m_orientation->addItem(QStringLiteral("Hexes in line with side edge"));
    m_orientation->setCurrentIndex(module.orientation == GridOrientation::RowsAligned ? 0 : 1);
    m_fit = new QLabel(this);
    m_fit->setObjectName(QStringLiteral("fit"));

    m_keepGrid = new QRadioButton(
        QStringLiteral("&Keep the grid of %1 hexes").arg(sizeText(module.columns, module.rows)),
        this);
    m_keepGrid->setObjectName(QStringLiteral("keepGrid"));
    m_scale = new QCheckBox(
        QStringLiteral("S&cale the picture to %1 pixels").arg(sizeText(gridMap.x, gridMap.y)),
        this);
    m_scale->setObjectName(QStringLiteral("scale"));
    (matches ? m_keepGrid : m_sizeGrid)->setChecked(true);

    auto* note = new QLabel(
        QStringLiteral("The unit pictures above the map stay as they are. Edit > Undo takes the "
                       "whole import back."),
        this);
    note->setWordWrap(true);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addSpacing(6);
    layout->addWidget(m_sizeGrid);
    auto* sizeRow = new QHBoxLayout;
    sizeRow->addSpacing(24);
    sizeRow->addWidget(m_orientation);
    sizeRow->addWidget(m_fit, 1);
    layout->addLayout(sizeRow);
    layout->addWidget(m_keepGrid);
    auto* keepRow = new QHBoxLayout;
    keepRow->addSpacing(24);
    keepRow->addWidget(m_scale, 1);
    layout->addLayout(keepRow);
    layout->addSpacing(6);
    layout->addWidget(note);
    layout->addWidget(buttons);

    connect(m_sizeGrid, &QRadioButton::toggled, this, [this] { refreshChoice(); });
    connect(m_orientation, &QComboBox::currentIndexChanged, this, [this] { refreshChoice(); });
    refreshChoice();
    setMinimumWidth(460);
}

void CImportMapDlg::refreshChoice() {
    const MapPictureChoice c = choice();
    const GridSize fit = gridFittingMap(m_picture.width(), m_picture.height(), c.orientation);
    m_fit->setText(QStringLiteral("%1 columns x %2 rows").arg(fit.columns).arg(fit.rows));
    m_orientation->setEnabled(c.sizeGrid);
    m_fit->setEnabled(c.sizeGrid);
    const PixelPoint gridMap = blankMapSize(m_module.columns, m_module.rows, m_module.orientation);
    m_scale->setEnabled(!c.sizeGrid &&
                        (m_picture.width() != gridMap.x || m_picture.height() != gridMap.y));
}

MapPictureChoice CImportMapDlg::choice() const {
    MapPictureChoice c;
    c.sizeGrid = m_sizeGrid->isChecked();
    c.orientation = m_orientation->currentIndex() == 0 ? GridOrientation::RowsAligned
                                                       : GridOrientation::ColumnsAligned;
    c.scale = !c.sizeGrid && m_scale->isEnabled() && m_scale->isChecked();
    return c;
}

}  // namespace qmx
