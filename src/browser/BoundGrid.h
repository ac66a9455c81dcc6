#pragma once
// A grid bound to a record set: it shows a few named columns under their
// French headings (yes/no columns as "Oui"/"Non", dates as DD/MM/YYYY) and
// shares the record set's current row both ways.
#include "RecordSet.h"

#include <QAbstractTableModel>
#include <QTableView>

namespace vexa {

struct GridColumn {
    QString field;
    QString heading;
    bool yesNo = false;
};

class GridColumnsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    GridColumnsModel(RecordSet& source, QList<GridColumn> columns, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    RecordSet& source_;
    QList<GridColumn> columns_;
};

class BoundGrid : public QTableView {
    Q_OBJECT
public:
    BoundGrid(RecordSet& source, QList<GridColumn> columns, QWidget* parent = nullptr);
    RecordSet& recordSet() { return source_; }

signals:
    void rowActivated(); // double click or Enter on a row

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void ShowCurrentRow(int row);

    RecordSet& source_;
    GridColumnsModel model_;
    bool following_ = false;
};

} // namespace vexa
