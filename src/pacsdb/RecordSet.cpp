#include "pacsdb/RecordSet.h"

#include "base/core/Log.h"
#include "pacsdb/ConquestColumns.h"
#include "pacsdb/JetDialect.h"
#include "pacsdb/LikeMatch.h"
#include "pacsdb/PacsConnection.h"
#include "pacsdb/SqlExec.h"
#include "pacsdb/SqliteFunctions.h"

#include <QRegularExpression>
#include <QSqlRecord>

namespace vexa {

RecordSet::RecordSet(QString name, QObject* parent)
    : QAbstractTableModel(parent)
    , name_(std::move(name))
{
}

bool RecordSet::fail(const QString& error)
{
    qCWarning(logDatabase).noquote() << QStringLiteral("jeu d'enregistrements : ") + error;
    error_ = error;
    return false;
}

bool RecordSet::requery(OnFailure onFailure)
{
    if (source_.trimmed().isEmpty()) {
        fail(QStringLiteral("Aucune requête"));
        if (onFailure == OnFailure::Empty)
            close();
        return false;
    }
    return showRows(readRecordRows(path_, source_), onFailure);
}

namespace {

// The rows of a Jet SELECT, Conquest's texts read as it stored them: on
// SQLite as bytes (see SelectStoredRows); on PostgreSQL as the server
// converts them, with UTF-8 bytes stored in a LATIN1 database read back as
// UTF-8.
bool readRows(QSqlDatabase& db, const QString& jet, QStringList& columns, QVector<QVector<QVariant>>& rows,
    QString* error)
{
    const QString sql = translateJet(jet, backendOf(db)).value(0);
    if (backendOf(db) == SqlBackend::Sqlite)
        return selectStoredRows(db, sql, columns, rows, error);
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(sql)) {
        *error = query.lastError().text();
        return false;
    }
    const QSqlRecord record = query.record();
    for (int i = 0; i < record.count(); ++i)
        columns << record.fieldName(i);
    while (query.next()) {
        QVector<QVariant> row(record.count());
        for (int i = 0; i < record.count(); ++i) {
            const QVariant value = query.value(i);
            row[i] = value.typeId() == QMetaType::QString && !value.isNull()
                ? QVariant(repairUtf8ReadAsLatin1(value.toString()))
                : value;
        }
        rows.append(std::move(row));
    }
    if (query.lastError().isValid()) {
        *error = query.lastError().text();
        return false;
    }
    return true;
}

} // namespace

RecordRows readRecordRows(const QString& conquestPath, const QString& jetSql)
{
    RecordRows read;
    read.source = jetSql;
    QSqlDatabase db = pacsConnection(conquestPath, &read.error);
    const bool readOk = db.isOpen() && readRows(db, jetSql, read.columns, read.rows, &read.error);
    if (!readOk) {
        read.columns.clear();
        read.rows.clear();
        if (read.error.isEmpty())
            read.error = QStringLiteral("La base de données ne peut pas être lue.");
    }
    return read;
}

bool RecordSet::showRows(RecordRows read, OnFailure onFailure)
{
    source_ = read.source;
    if (!read.error.isEmpty()) {
        fail(read.error);
        if (onFailure == OnFailure::Empty)
            close();
        return false;
    }
    QHash<QString, int> index;
    for (int i = 0; i < read.columns.size(); ++i)
        index.insert(read.columns[i].toCaseFolded(), i);
    beginResetModel();
    columns_ = std::move(read.columns);
    columnIndex_ = index;
    rows_ = std::move(read.rows);
    edits_.clear();
    lastModified_ = -1;
    current_ = rows_.isEmpty() ? -1 : 0;
    endResetModel();
    error_.clear();
    emit currentRowChanged(currentRow());
    return true;
}

void RecordSet::close()
{
    beginResetModel();
    rows_.clear();
    edits_.clear();
    current_ = -1;
    lastModified_ = -1;
    endResetModel();
    emit currentRowChanged(-1);
}

void RecordSet::setCurrent(int row)
{
    edits_.clear();
    if (row == current_)
        return;
    current_ = row;
    emit currentRowChanged(currentRow());
}

void RecordSet::moveFirst()
{
    setCurrent(rows_.isEmpty() ? -1 : 0);
}

void RecordSet::moveLast()
{
    setCurrent(count() - 1);
}

void RecordSet::moveNext()
{
    setCurrent(std::min(current_ + 1, count()));
}

void RecordSet::movePrevious()
{
    setCurrent(std::max(current_ - 1, -1));
}

bool RecordSet::goTo(int row)
{
    if (row < 0 || row >= count())
        return false;
    setCurrent(row);
    return true;
}

int RecordSet::columnIndex(const QString& column) const
{
    return columnIndex_.value(column.toCaseFolded(), -1);
}

QVariant RecordSet::field(const QString& column) const
{
    const int c = columnIndex(column);
    if (!hasCurrent() || c < 0)
        return {};
    return edits_.contains(c) ? edits_.value(c) : rows_[current_][c];
}

QString RecordSet::fieldText(const QString& column) const
{
    const QVariant value = field(column);
    return value.isNull() ? QString() : value.toString();
}

bool RecordSet::fieldBool(const QString& column) const
{
    return field(column).toLongLong() != 0;
}

QDate RecordSet::fieldDate(const QString& column) const
{
    return storedDate(field(column));
}

bool RecordSet::setField(const QString& column, const QVariant& value)
{
    const int c = columnIndex(column);
    if (!hasCurrent() || c < 0)
        return fail(QStringLiteral("Champ inconnu ou pas d'enregistrement courant : ") + column);
    edits_.insert(c, value);
    return true;
}

QString RecordSet::tableName() const
{
    static const QRegularExpression from(
        QStringLiteral(R"(\bFROM\s+(\w+))"), QRegularExpression::CaseInsensitiveOption);
    return from.match(source_).captured(1);
}

bool RecordSet::update()
{
    const int key = columnIndex(col::Compteur);
    if (!hasCurrent() || key < 0 || tableName().isEmpty())
        return fail(QStringLiteral("Enregistrement sans Compteur : mise à jour impossible"));
    if (edits_.isEmpty())
        return true;
    QString error;
    QSqlDatabase db = pacsConnection(path_, &error);
    if (!db.isOpen())
        return fail(error);
    const SqlBackend backend = backendOf(db);
    QStringList assignments;
    for (auto it = edits_.cbegin(); it != edits_.cend(); ++it)
        assignments << columns_[it.key()] + QStringLiteral(" = ?");
    QSqlQuery query(db);
    query.prepare(QStringLiteral("UPDATE %1 SET %2 WHERE %3 = ?")
                      .arg(tableName(), assignments.join(QStringLiteral(", ")), columns_[key]));
    for (auto it = edits_.cbegin(); it != edits_.cend(); ++it)
        query.addBindValue(toStored(it.value(), backend));
    const QVariant keyValue = rows_[current_][key];
    if (keyValue.isNull())
        return fail(QStringLiteral("Enregistrement sans Compteur : mise à jour impossible"));
    query.addBindValue(keyValue);
    if (!query.exec())
        return fail(query.lastError().text());
    // The row may have gone since the rows were read (deleted meanwhile):
    // nothing written is a failure, never a success.
    if (query.numRowsAffected() != 1)
        return fail(keyedWriteMissedText(keyValue));
    for (auto it = edits_.cbegin(); it != edits_.cend(); ++it)
        rows_[current_][it.key()] = toStored(it.value(), backend);
    edits_.clear();
    lastModified_ = current_;
    emit dataChanged(index(current_, 0), index(current_, columnCount() - 1));
    return true;
}

namespace {

struct Criterion {
    QString column;
    bool like = false;
    bool quoted = false;
    QString value;
};

bool parseCriterion(const QString& text, Criterion& out)
{
    static const QRegularExpression form(
        QStringLiteral(R"(^\s*(\w+)\s*(=|LIKE)\s*(?:'((?:[^']|'')*)'|(\S+))\s*$)"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = form.match(text);
    if (!m.hasMatch())
        return false;
    out.column = m.captured(1);
    out.like = m.captured(2).compare(QStringLiteral("LIKE"), Qt::CaseInsensitive) == 0;
    out.quoted = m.capturedStart(3) >= 0;
    out.value = out.quoted ? m.captured(3).replace(QStringLiteral("''"), QStringLiteral("'")) : m.captured(4);
    return true;
}

bool matches(const Criterion& criterion, const QVariant& value)
{
    const QString text = value.isNull() ? QString() : value.toString();
    if (criterion.like)
        return jetLikeMatches(criterion.value, text);
    if (!criterion.quoted) {
        bool numeric = false;
        const double wanted = criterion.value.toDouble(&numeric);
        return numeric && !value.isNull() && value.toDouble() == wanted;
    }
    // Keys (file names, UIDs) are compared whole: another case is another key.
    return text == criterion.value;
}

} // namespace

bool RecordSet::findFirst(const QString& criterion)
{
    Criterion parsed;
    if (!parseCriterion(criterion, parsed))
        return fail(QStringLiteral("Critère non reconnu : ") + criterion);
    const int c = columnIndex(parsed.column);
    if (c < 0)
        return fail(QStringLiteral("Champ inconnu : ") + parsed.column);
    for (int row = 0; row < count(); ++row) {
        if (matches(parsed, rows_[row][c])) {
            setCurrent(row);
            return true;
        }
    }
    return false;
}

QVariant RecordSet::valueAt(int row, const QString& column) const
{
    const int c = columnIndex(column);
    if (row < 0 || row >= count() || c < 0)
        return {};
    return rows_[row][c];
}

void RecordSet::noteUserChoice(const QDateTime& at)
{
    chosenCompteur_ = field(col::Compteur);
    chosenAt_ = at;
}

bool RecordSet::userChoseWithin(const QVariant& compteur, const QDateTime& now, qint64 seconds) const
{
    if (compteur.isNull() || chosenCompteur_.isNull() || !chosenAt_.isValid())
        return false;
    const qint64 age = chosenAt_.secsTo(now);
    return chosenCompteur_.toLongLong() == compteur.toLongLong() && age >= 0 && age <= seconds;
}

void RecordSet::setHighlight(const QVariant& compteur)
{
    if (highlight_ == compteur)
        return;
    highlight_ = compteur;
    if (count() > 0)
        emit dataChanged(index(0, 0), index(count() - 1, std::max(0, columnCount() - 1)));
}

int RecordSet::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : count();
}

int RecordSet::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant RecordSet::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= count() || index.column() >= columnCount())
        return {};
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    const QVariant& value = rows_[index.row()][index.column()];
    return role == Qt::DisplayRole && value.isNull() ? QVariant(QString()) : value;
}

QVariant RecordSet::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return QAbstractTableModel::headerData(section, orientation, role);
    return columns_[section];
}

} // namespace vexa
