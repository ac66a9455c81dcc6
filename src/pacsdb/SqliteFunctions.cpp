#include "pacsdb/SqliteFunctions.h"

#include "pacsdb/ConquestSchema.h"
#include "pacsdb/LikeMatch.h"
#include "pacsdb/SearchWords.h"

#include <QSqlDriver>
#include <QVariant>
#include <sqlite3.h>

namespace vexa {

namespace {

QString textOf(sqlite3_value* value)
{
    return QString::fromUtf8(
        reinterpret_cast<const char*>(sqlite3_value_text(value)), sqlite3_value_bytes(value));
}

// like(pattern, text [, escape]), called by SQLite for "text LIKE pattern".
void likeFunction(sqlite3_context* context, int argc, sqlite3_value** argv)
{
    for (int i = 0; i < argc; ++i) {
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL) {
            sqlite3_result_null(context);
            return;
        }
    }
    QChar escape;
    if (argc == 3) {
        const QString escapeText = textOf(argv[2]);
        if (escapeText.size() != 1) {
            sqlite3_result_error(context, "ESCAPE expression must be a single character", -1);
            return;
        }
        escape = escapeText.at(0);
    }
    // The pattern is read once per statement and kept with it while it
    // stays the same.
    auto* pattern = static_cast<SqlLikePattern*>(sqlite3_get_auxdata(context, 0));
    if (!pattern) {
        pattern = new SqlLikePattern(textOf(argv[0]), escape);
        sqlite3_set_auxdata(context, 0, pattern, [](void* p) { delete static_cast<SqlLikePattern*>(p); });
        // SQLite may drop it at once (a pattern that changes from row to row).
        pattern = static_cast<SqlLikePattern*>(sqlite3_get_auxdata(context, 0));
        if (!pattern) {
            sqlite3_result_int(context, sqlLikeMatches(textOf(argv[0]), textOf(argv[1]), escape) ? 1 : 0);
            return;
        }
    }
    sqlite3_result_int(context, pattern->matches(textOf(argv[1])) ? 1 : 0);
}

// SearchWords(name): the name as the patient search compares it.
void searchWordsFunction(sqlite3_context* context, int, sqlite3_value** argv)
{
    const QByteArray words
        = searchWords(sqlite3_value_type(argv[0]) == SQLITE_NULL ? QString() : textOf(argv[0])).toUtf8();
    sqlite3_result_text(context, words.constData(), static_cast<int>(words.size()), SQLITE_TRANSIENT);
}

sqlite3* handleOf(const QSqlDatabase& db)
{
    if (!db.isOpen() || !db.driver())
        return nullptr;
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3* const*>(handle.constData());
}

QVariant storedValue(sqlite3_stmt* statement, int column)
{
    switch (sqlite3_column_type(statement, column)) {
    case SQLITE_NULL:
        return {};
    case SQLITE_INTEGER:
        return QVariant::fromValue<qlonglong>(sqlite3_column_int64(statement, column));
    case SQLITE_FLOAT:
        return sqlite3_column_double(statement, column);
    case SQLITE_BLOB: {
        const auto* data = static_cast<const char*>(sqlite3_column_blob(statement, column));
        return QByteArray(data, sqlite3_column_bytes(statement, column));
    }
    default: {
        const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
        return decodeStoredText(QByteArray(data, sqlite3_column_bytes(statement, column)));
    }
    }
}

} // namespace

bool selectStoredRows(QSqlDatabase& db, const QString& sql, QStringList& columns,
    QVector<QVector<QVariant>>& rows, QString* error)
{
    sqlite3* sqlite = handleOf(db);
    if (!sqlite) {
        *error = QStringLiteral("Connexion SQLite fermée");
        return false;
    }
    const QByteArray text = sql.toUtf8();
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(sqlite, text.constData(), static_cast<int>(text.size()), &statement, nullptr)
        != SQLITE_OK) {
        *error = QString::fromUtf8(sqlite3_errmsg(sqlite));
        sqlite3_finalize(statement);
        return false;
    }
    const int count = sqlite3_column_count(statement);
    columns.clear();
    for (int c = 0; c < count; ++c)
        columns << QString::fromUtf8(sqlite3_column_name(statement, c));
    rows.clear();
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(statement)) == SQLITE_ROW) {
        QVector<QVariant> row(count);
        for (int c = 0; c < count; ++c)
            row[c] = storedValue(statement, c);
        rows.append(std::move(row));
    }
    if (step != SQLITE_DONE)
        *error = QString::fromUtf8(sqlite3_errmsg(sqlite));
    sqlite3_finalize(statement);
    return step == SQLITE_DONE;
}

bool installSqliteFunctions(QSqlDatabase& db)
{
    sqlite3* sqlite = handleOf(db);
    if (!sqlite)
        return false;
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    return sqlite3_create_function(sqlite, "like", 2, flags, nullptr, likeFunction, nullptr, nullptr)
        == SQLITE_OK
        && sqlite3_create_function(sqlite, "like", 3, flags, nullptr, likeFunction, nullptr, nullptr)
        == SQLITE_OK
        && sqlite3_create_function(
               sqlite, "SearchWords", 1, flags, nullptr, searchWordsFunction, nullptr, nullptr)
        == SQLITE_OK;
}

} // namespace vexa
