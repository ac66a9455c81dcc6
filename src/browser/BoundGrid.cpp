#include "browser/BoundGrid.h"

#include "base/core/Dates.h"
#include "pacsdb/ConquestColumns.h"

#include <QDateTime>
#include <QFont>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPalette>

namespace vexa {

namespace {

// "143512.25", "1435" or "14:35:12" -> "14:35"; anything else as it is.
QString shownTime(const QString& text)
{
    QString digits = text.trimmed();
    digits.remove(u':');
    if (digits.size() >= 4 && digits.at(0).isDigit() && digits.at(1).isDigit() && digits.at(2).isDigit()
        && digits.at(3).isDigit())
        return digits.left(2) + u':' + digits.mid(2, 2);
    return text;
}

// Dates come as date values or as the database's text ("2024-01-10 00:00:00").
QDate storedDay(const QVariant& value)
{
    if (value.typeId() == QMetaType::QDate || value.typeId() == QMetaType::QDateTime)
        return value.toDate();
    return QDate::fromString(value.toString().left(10), Qt::ISODate);
}

} // namespace

GridColumnsModel::GridColumnsModel(RecordSet& source, QList<GridColumn> columns, QObject* parent)
    : QAbstractTableModel(parent)
    , source_(&source)
    , columns_(std::move(columns))
{
    // Any change of the rows is shown whole: the lists are small snapshots.
    connect(&source, &QAbstractItemModel::modelAboutToBeReset, this, [this] { beginResetModel(); });
    connect(&source, &QAbstractItemModel::modelReset, this, [this] { endResetModel(); });
    connect(&source, &QObject::destroyed, this, [this] {
        beginResetModel();
        endResetModel();
    });
    connect(&source, &QAbstractItemModel::dataChanged, this, [this] {
        if (rowCount() > 0)
            emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
    });
}

int GridColumnsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() || !source_ ? 0 : source_->rowCount();
}

int GridColumnsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(columns_.size()) + (hasArrivalColumn_ ? 1 : 0);
}

void GridColumnsModel::addArrivalColumn()
{
    if (hasArrivalColumn_)
        return;
    beginResetModel();
    hasArrivalColumn_ = true;
    endResetModel();
}

QVariant GridColumnsModel::read(int row, const GridColumn& column) const
{
    const QVariant value = source_->valueAt(row, column.field);
    if (!column.fallback.isEmpty() && value.toString().trimmed().isEmpty())
        return source_->valueAt(row, column.fallback);
    return value;
}

QString GridColumnsModel::shown(int row, const GridColumn& column) const
{
    const QVariant value = read(row, column);
    if (column.yesNo)
        return value.toLongLong() != 0 ? QStringLiteral("Oui") : QStringLiteral("Non");
    if (value.isNull())
        return {};
    switch (column.kind) {
    case GridColumn::DicomDate:
        return yyyymmddToDdMmYyyy(value.toString().trimmed());
    case GridColumn::Time:
        return shownTime(value.toString());
    case GridColumn::Text:
        break;
    }
    const QDate date = storedDay(value);
    return date.isValid() ? toDdMmYyyy(date) : value.toString();
}

QString GridColumnsModel::sortKey(int row, const GridColumn& column) const
{
    const QVariant value = read(row, column);
    QString key;
    if (column.yesNo) {
        key = shown(row, column);
    } else {
        const QDate date = column.kind == GridColumn::Text ? storedDay(value) : QDate();
        key = date.isValid() ? date.toString(Qt::ISODate) : value.toString().trimmed();
    }
    if (!column.thenBy.isEmpty()) {
        // Read as its own column of the grid shows it (with its fallback).
        GridColumn then{column.thenBy};
        for (const GridColumn& other : columns_)
            if (other.field == column.thenBy)
                then = other;
        key += u'\x1f' + read(row, then).toString().trimmed();
    }
    // Rows equal on what is shown keep the record set's order.
    return key + u'\x1f' + QStringLiteral("%1").arg(row, 8, 10, QLatin1Char('0'));
}

bool GridColumnsModel::highlighted(int row) const
{
    const QVariant& highlight = source_->highlight();
    if (highlight.isNull())
        return false;
    const QVariant compteur = source_->valueAt(row, col::Compteur);
    return !compteur.isNull() && compteur.toLongLong() == highlight.toLongLong();
}

QVariant GridColumnsModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    if (index.column() == arrivalColumn())
        return role == SortRole ? QVariant(index.row()) : QVariant();
    if (index.column() >= columns_.size())
        return {};
    const GridColumn& column = columns_[index.column()];
    switch (role) {
    case Qt::DisplayRole:
        return shown(index.row(), column);
    case SortRole:
        return sortKey(index.row(), column);
    case Qt::FontRole:
        if (highlighted(index.row())) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return {};
    case Qt::BackgroundRole:
        if (highlighted(index.row()))
            return QPalette().color(QPalette::ToolTipBase);
        return {};
    case Qt::ToolTipRole:
        if (highlighted(index.row()))
            return QStringLiteral("Nouvel examen");
        return {};
    default:
        return {};
    }
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
    sorted_.setSourceModel(&model_);
    sorted_.setSortRole(GridColumnsModel::SortRole);
    sorted_.setSortCaseSensitivity(Qt::CaseInsensitive);
    setModel(&sorted_);
    setSelectionBehavior(SelectRows);
    setSelectionMode(SingleSelection);
    setEditTriggers(NoEditTriggers);
    verticalHeader()->hide();
    horizontalHeader()->setStretchLastSection(true);
    horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    connect(
        selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this](const QModelIndex& current) {
            if (following_ || !current.isValid())
                return;
            const int row = recordRow(current.row());
            // Only a move to another row is the user's choice; a re-sort
            // keeps the same row.
            if (row != source_.currentRow() && source_.goTo(row))
                source_.noteUserChoice(QDateTime::currentDateTime());
        });
    connect(&source_, &RecordSet::currentRowChanged, this, &BoundGrid::showCurrentRow);
    connect(
        &sorted_, &QAbstractItemModel::layoutChanged, this, [this, alive = QPointer<RecordSet>(&source_)] {
            if (alive)
                showCurrentRow(alive->currentRow());
        });
    connect(this, &QAbstractItemView::doubleClicked, this, &BoundGrid::rowActivated);
}

void BoundGrid::enableSorting(int column, Qt::SortOrder order)
{
    if (column == ArrivalOrder) {
        model_.addArrivalColumn();
        column = model_.arrivalColumn();
        setColumnHidden(column, true);
    }
    setSortingEnabled(true);
    sortByColumn(column, order);
}

int BoundGrid::recordRow(int gridRow) const
{
    return sorted_.mapToSource(sorted_.index(gridRow, 0)).row();
}

int BoundGrid::gridRow(int recordRow) const
{
    return sorted_.mapFromSource(model_.index(recordRow, 0)).row();
}

void BoundGrid::showCurrentRow(int row)
{
    following_ = true;
    const int shown = row < 0 ? -1 : gridRow(row);
    if (shown < 0) {
        selectionModel()->clearCurrentIndex();
        selectionModel()->clearSelection();
    } else {
        const QModelIndex index = sorted_.index(shown, 0);
        selectionModel()->setCurrentIndex(
            index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        scrollTo(index);
    }
    following_ = false;
}

void BoundGrid::mousePressEvent(QMouseEvent* event)
{
    QTableView::mousePressEvent(event);
    // A click on the row already current is a choice too.
    if (indexAt(event->position().toPoint()).isValid() && source_.currentRow() >= 0)
        source_.noteUserChoice(QDateTime::currentDateTime());
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
