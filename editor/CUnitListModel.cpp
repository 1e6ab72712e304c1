#include "editor/CUnitListModel.h"

#include "core/edit/UnitEditor.h"
#include "core/module/Module.h"
#include "editor/EditorShellPrompts.h"

namespace qmx {

CUnitListModel::CUnitListModel(const Module& module, QObject* parent)
    : QAbstractTableModel(parent), m_module(module), m_rows(module.unitCount) {}

int CUnitListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rows;
}

int CUnitListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns;
}

QVariant CUnitListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_rows || index.row() >= m_module.unitCount) return {};
    if (role != Qt::DisplayRole && role != Qt::TextAlignmentRole) return {};
    const int unit = index.row() + 1;
    const UnitDefinition& u = m_module.units[static_cast<std::size_t>(unit)];
    const int column = index.column();
    if (role == Qt::TextAlignmentRole) {
        return column == 1 ? QVariant(Qt::AlignLeft | Qt::AlignVCenter)
                           : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    }
    if (column == 0) return unit;
    if (column == 1) return fromBytes(u.name);
    if (column <= 7) return shownValue(u.values[0][column - 2]);
    return u.stepImage[0];
}

QVariant CUnitListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    if (section == 0) return QStringLiteral("No.");
    if (section == 1) return QStringLiteral("Name");
    if (section <= 7) {
        const std::string& name = m_module.valueNames[static_cast<std::size_t>(section - 2)];
        return name.empty() ? QStringLiteral("V%1").arg(section - 1) : fromBytes(name);
    }
    return QStringLiteral("Image");
}

void CUnitListModel::unitChanged(int unit) {
    if (unit < 1 || unit > m_module.unitCount) return;
    emit dataChanged(index(unit - 1, 0), index(unit - 1, kColumns - 1));
}

void CUnitListModel::reload() {
    if (m_rows != m_module.unitCount) {
        beginResetModel();
        m_rows = m_module.unitCount;
        endResetModel();
        return;
    }
    // Same table: the view asks again for the lines it shows, no more.
    if (m_rows > 0) emit dataChanged(index(0, 0), index(m_rows - 1, kColumns - 1));
    emit headerDataChanged(Qt::Horizontal, 0, kColumns - 1);
}

}  // namespace qmx
