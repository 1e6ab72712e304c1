#pragma once
// The unit list of "Define Units": one line per unit, made only for the lines
// the view shows, so 65,000 units cost no more than 30.

#include <QAbstractTableModel>

namespace qmx {

struct Module;

class CUnitListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    // Columns: number, name, the six values of step 1, the image of step 1.
    static constexpr int kColumns = 9;

    explicit CUnitListModel(const Module& module, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Unit `unit` (1-based) changed: its line is made again.
    void unitChanged(int unit);
    // The table or the value names changed.
    void reload();

private:
    const Module& m_module;
    int m_rows = 0;  // the rows the view knows of
};

}  // namespace qmx
