#pragma once
// A grid bound to a record set: it shows a few named columns under their
// French headings (yes/no columns as "Oui"/"Non", dates as DD/MM/YYYY) and
// shares the record set's current row both ways. A grid may let a header
// click sort its rows; the record set's order is left as it is.
#include "pacsdb/RecordSet.h"

#include <QAbstractTableModel>
#include <QPointer>
#include <QSortFilterProxyModel>
#include <QTableView>

namespace vexa {

struct GridColumn {
    enum Kind {
        Text,
        DicomDate, // YYYYMMDD, shown DD/MM/YYYY
        Time, // HHMMSS(.frac) or HH:MM:SS, shown HH:MM
    };
    QString field;
    QString heading;
    bool yesNo = false;
    Kind kind = Text;
    QString fallback = {}; // read when the field is empty
    QString thenBy = {}; // sorts rows with the same value (a date by its time)
};

class GridColumnsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // The key a column sorts by (its value, then its thenBy field, then the
    // record set's order).
    static constexpr int SortRole = Qt::UserRole;

    GridColumnsModel(RecordSet& source, QList<GridColumn> columns, QObject* parent = nullptr);

    // Adds, after the named columns, one that sorts rows in the record set's
    // order (for a grid to hide and sort by).
    void addArrivalColumn();
    int arrivalColumn() const { return hasArrivalColumn_ ? static_cast<int>(columns_.size()) : -1; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QVariant read(int row, const GridColumn& column) const; // the field, else its fallback
    QString shown(int row, const GridColumn& column) const;
    QString sortKey(int row, const GridColumn& column) const;
    bool highlighted(int row) const;

    // The record set may go before the grid's window (a window's record sets
    // are its members, its grids its children): then the grid shows nothing.
    QPointer<RecordSet> source_;
    QList<GridColumn> columns_;
    bool hasArrivalColumn_ = false;
};

class BoundGrid : public QTableView {
    Q_OBJECT
public:
    BoundGrid(RecordSet& source, QList<GridColumn> columns, QWidget* parent = nullptr);
    RecordSet& recordSet() { return source_; }

    // The order of the record set's rows, for enableSorting().
    static constexpr int ArrivalOrder = -2;
    // A header click sorts by that column (a second click reverses); the
    // rows start sorted by `column` (or ArrivalOrder, or -1 for the record
    // set's order) in `order`.
    void enableSorting(int column, Qt::SortOrder order);
    // The record set's row shown at grid row `gridRow`, and back.
    int recordRow(int gridRow) const;
    int gridRow(int recordRow) const;

signals:
    void rowActivated(); // double click or Enter on a row

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void showCurrentRow(int row);

    RecordSet& source_;
    GridColumnsModel model_;
    QSortFilterProxyModel sorted_;
    bool following_ = false;
};

} // namespace vexa
