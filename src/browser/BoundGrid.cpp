#include "BoundGrid.h"

#include "Dates.h"

#include <QHeaderView>
#include <QKeyEvent>

namespace vexa {

GridColumnsModel::GridColumnsModel(RecordSet& source, QList<GridColumn> columns, QObject* parent)
    : QAbstractTableModel(parent)
    , source_(source)
    , columns_(std::move(columns))
{
    // Any change of the rows is shown whole: the lists are small snapshots.
    connect(&source_, &QAbstractItemModel::modelAboutToBeReset, this, [this] { beginResetModel(); });
    connect(&source_, &QAbstractItemModel::modelReset, this, [this] { endResetModel(); });
    connect(&source_, &QAbstractItemModel::dataChanged, this,
        [this] { emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1)); });
}

int GridColumnsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : source_.rowCount();
}

int GridColumnsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant GridColumnsModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.column() >= columns_.size())
        return {};
    const GridColumn& column = columns_[index.column()];
    const QStringList names = source_.columnNames();
    int sourceColumn = 0;
    while (sourceColumn < names.size() && names[sourceColumn].compare(column.field, Qt::CaseInsensitive) != 0)
        ++sourceColumn;
    if (sourceColumn == names.size())
        return {};
    const QVariant value = source_.data(source_.index(index.row(), sourceColumn), Qt::EditRole);
    if (column.yesNo)
        return value.toLongLong() != 0 ? QStringLiteral("Oui") : QStringLiteral("Non");
    if (value.typeId() == QMetaType::QDate || value.typeId() == QMetaType::QDateTime)
        return ToDdMmYyyy(value.toDate());
    const QString text = value.isNull() ? QString() : value.toString();
    // Dates stored as text by the database ("2024-01-10 00:00:00") show as the program shows dates.
    const QDate date = QDate::fromString(text.left(10), Qt::ISODate);
    return date.isValid() ? ToDdMmYyyy(date) : text;
}

QVariant GridColumnsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role == Qt::DisplayRole && orientation == Qt::Horizontal && section < columns_.size())
        return columns_[section].heading;
    return QAbstractTableModel::headerData(section, orientation, role);
}

BoundGrid::BoundGrid(RecordSet& source, QList<GridColumn> columns, QWidget* parent)
    : QTableView(parent)
    , source_(source)
    , model_(source, std::move(columns))
{
    setModel(&model_);
    setSelectionBehavior(SelectRows);
    setSelectionMode(SingleSelection);
    setEditTriggers(NoEditTriggers);
    verticalHeader()->hide();
    horizontalHeader()->setStretchLastSection(true);
    horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    connect(
        selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this](const QModelIndex& current) {
            if (!following_ && current.isValid())
                source_.goTo(current.row());
        });
    connect(&source_, &RecordSet::currentRowChanged, this, &BoundGrid::ShowCurrentRow);
    connect(this, &QAbstractItemView::doubleClicked, this, &BoundGrid::rowActivated);
}

void BoundGrid::ShowCurrentRow(int row)
{
    following_ = true;
    if (row < 0) {
        selectionModel()->clearCurrentIndex();
    } else {
        const QModelIndex index = model_.index(row, 0);
        selectionModel()->setCurrentIndex(
            index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        scrollTo(index);
    }
    following_ = false;
}

void BoundGrid::keyPressEvent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && source_.currentRow() >= 0) {
        emit rowActivated();
        return;
    }
    QTableView::keyPressEvent(event);
}

} // namespace vexa
