#include "pacsdb/JetDialect.h"

#include "pacsdb/SearchWords.h"

#include <QDate>
#include <QRegularExpression>

namespace vexa {

namespace {

struct Segment {
    enum Kind { Code, Text, Date } kind;
    QString body; // Text: the literal's value (quotes undoubled); Date: between the "#" signs
};

// Splits a Jet text into code, quoted literals and date literals, so that a
// quote, "#" or "*" inside a value is never taken for syntax.
QList<Segment> scan(const QString& jet)
{
    QList<Segment> segments;
    QString code;
    for (qsizetype i = 0; i < jet.size(); ++i) {
        const QChar c = jet.at(i);
        if (c != u'\'' && c != u'#') {
            code += c;
            continue;
        }
        segments.append({Segment::Code, code});
        code.clear();
        QString body;
        if (c == u'#') {
            const qsizetype end = jet.indexOf(u'#', i + 1);
            body = jet.mid(i + 1, end < 0 ? -1 : end - i - 1);
            i = end < 0 ? jet.size() : end;
            segments.append({Segment::Date, body});
            continue;
        }
        for (++i; i < jet.size(); ++i) {
            if (jet.at(i) == u'\'') {
                if (i + 1 < jet.size() && jet.at(i + 1) == u'\'') {
                    body += u'\'';
                    ++i;
                    continue;
                }
                break;
            }
            body += jet.at(i);
        }
        segments.append({Segment::Text, body});
    }
    segments.append({Segment::Code, code});
    return segments;
}

// A value made safe to stand between quotes: NUL is dropped, and a lone half
// of a UTF-16 surrogate pair becomes U+FFFD. SQLite reads a statement given
// in UTF-16 by pairs: a lone high surrogate would swallow the next character,
// the closing quote included, and the rest of the value would become SQL.
QString safeText(const QString& value)
{
    QString text;
    text.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c.isNull())
            continue;
        if (c.isHighSurrogate() && i + 1 < value.size() && value.at(i + 1).isLowSurrogate()) {
            text += c;
            text += value.at(++i);
            continue;
        }
        text += c.isSurrogate() ? QChar(QChar::ReplacementCharacter) : c;
    }
    return text;
}

QString quoted(const QString& value)
{
    return u'\'' + safeText(value).replace(u'\'', QStringLiteral("''")) + u'\'';
}

QString likePattern(const QString& jetPattern)
{
    QString out;
    for (const QChar c : jetPattern) {
        if (c == u'*')
            out += u'%';
        else if (c == u'?')
            out += u'_';
        else if (c == u'%' || c == u'_' || c == u'\\')
            out += u'\\' + QString(c);
        else
            out += c;
    }
    return out;
}

QString dateLiteral(const QString& body, SqlBackend backend)
{
    static const QRegularExpression form(
        QStringLiteral(R"(^\s*(\d{4})/(\d{1,2})/(\d{1,2})(?:\s+(\d{1,2}):(\d{2})(?::(\d{2}))?)?\s*$)"));
    const QRegularExpressionMatch m = form.match(body);
    if (!m.hasMatch())
        return quoted(body); // not a date: the backend reports the mismatch
    QString iso = QStringLiteral("%1-%2-%3")
                      .arg(m.captured(1), m.captured(2).rightJustified(2, u'0'),
                          m.captured(3).rightJustified(2, u'0'));
    if (!m.captured(4).isEmpty())
        iso += QStringLiteral(" %1:%2:%3")
                   .arg(m.captured(4).rightJustified(2, u'0'), m.captured(5),
                       m.captured(6).isEmpty() ? QStringLiteral("00") : m.captured(6));
    return backend == SqlBackend::Postgres ? QStringLiteral("TIMESTAMP ") + quoted(iso) : quoted(iso);
}

QString translateCode(QString code, SqlBackend backend, bool ddl)
{
    static const QRegularExpression deleteStar(
        QStringLiteral(R"(\bDELETE\s+\*\s+FROM\b)"), QRegularExpression::CaseInsensitiveOption);
    code.replace(deleteStar, QStringLiteral("DELETE FROM"));
    if (!ddl) {
        // SearchWords(column): a registered function on SQLite, an expression
        // on PostgreSQL.
        static const QRegularExpression searchWords(QStringLiteral(R"(\bSearchWords\s*\(\s*([\w.]+)\s*\))"),
            QRegularExpression::CaseInsensitiveOption);
        if (backend == SqlBackend::Postgres) {
            QRegularExpressionMatch m;
            while ((m = searchWords.match(code)).hasMatch())
                code.replace(m.capturedStart(), m.capturedLength(), postgresSearchWords(m.captured(1)));
        }
        return code;
    }
    const bool pg = backend == SqlBackend::Postgres;
    const auto word = [](const char* w) {
        return QRegularExpression(
            QStringLiteral(R"(\b%1\b)").arg(QLatin1String(w)), QRegularExpression::CaseInsensitiveOption);
    };
    static const QRegularExpression text255(
        QStringLiteral(R"(\bTEXT\s*\(?\s*255\s*\)?)"), QRegularExpression::CaseInsensitiveOption);
    code.replace(text255, pg ? QStringLiteral("VARCHAR(255)") : QStringLiteral("TEXT"));
    code.replace(word("DATETIME"), pg ? QStringLiteral("TIMESTAMP") : QStringLiteral("DATETIME"));
    // BIT: an integer, 0 for false, so rows that existed before read false.
    code.replace(word("BIT"), QStringLiteral("INTEGER DEFAULT 0"));
    code.replace(word("COUNTER"),
        pg ? QStringLiteral("SERIAL PRIMARY KEY") : QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT"));
    return code;
}

bool endsWithLike(const QString& code)
{
    static const QRegularExpression like(
        QStringLiteral(R"(\bLIKE\s*$)"), QRegularExpression::CaseInsensitiveOption);
    return like.match(code).hasMatch();
}

QString makeIlike(QString code)
{
    static const QRegularExpression like(
        QStringLiteral(R"(\bLIKE(\s*)$)"), QRegularExpression::CaseInsensitiveOption);
    return code.replace(like, QStringLiteral("ILIKE\\1"));
}

QString translateStatement(const QString& jet, SqlBackend backend, bool ddl)
{
    const QList<Segment> segments = scan(jet);
    QString out;
    bool searchWordsLike = false;
    for (qsizetype i = 0; i < segments.size(); ++i) {
        const Segment& s = segments.at(i);
        if (s.kind == Segment::Date) {
            out += dateLiteral(s.body, backend);
            continue;
        }
        if (s.kind == Segment::Text && searchWordsLike) {
            out += quoted(postgresWordsRegex(s.body));
            searchWordsLike = false;
            continue;
        }
        if (s.kind == Segment::Text) {
            const bool like = i > 0 && endsWithLike(segments.at(i - 1).body);
            out += like ? quoted(likePattern(s.body)) + QStringLiteral(" ESCAPE '\\'") : quoted(s.body);
            continue;
        }
        const bool beforeLike
            = i + 1 < segments.size() && segments.at(i + 1).kind == Segment::Text && endsWithLike(s.body);
        // On PostgreSQL, "SearchWords(column) LIKE 'pattern'" is a regular
        // expression on the name itself (see PostgresWordsRegex).
        static const QRegularExpression searchWordsLikeForm(
            QStringLiteral(R"(\bSearchWords\s*\(\s*([\w.]+)\s*\)\s*LIKE\s*$)"),
            QRegularExpression::CaseInsensitiveOption);
        const QRegularExpressionMatch wordsLike = searchWordsLikeForm.match(s.body);
        if (beforeLike && backend == SqlBackend::Postgres && wordsLike.hasMatch()) {
            out += translateCode(s.body.left(wordsLike.capturedStart()), backend, ddl)
                + QStringLiteral("(' ' || COALESCE(%1, '')) ~ ").arg(wordsLike.captured(1));
            searchWordsLike = true;
            continue;
        }
        QString code = translateCode(s.body, backend, ddl);
        out += beforeLike && backend == SqlBackend::Postgres ? makeIlike(code) : code;
    }
    static const QRegularExpression trailing(QStringLiteral(R"(\s*;\s*$)"));
    return out.remove(trailing);
}

// Adding an autonumber column to a table that already has rows. SQLite cannot
// add such a column, so: an integer column, the existing rows numbered in
// rowid order, and a trigger numbering each new row after the highest number
// ever given (rowids may be renumbered by VACUUM, the counter must stay
// unique, and a number once given is never given again).
QStringList sqliteAddCounter(const QString& table, const QString& column)
{
    return {
        QStringLiteral("ALTER TABLE %1 ADD COLUMN %2 INTEGER").arg(table, column),
        QStringLiteral("UPDATE %1 SET %2 = rowid").arg(table, column),
        sqliteCounterIndex(table, column),
        sqliteCounterHighTable(),
        sqliteCounterTrigger(table, column),
    };
}

const QRegularExpression& addCounterForm()
{
    static const QRegularExpression form(
        QStringLiteral(R"(^\s*ALTER\s+TABLE\s+(\w+)\s+ADD\s+(?:COLUMN\s+)?(\w+)\s+COUNTER\s*;?\s*$)"),
        QRegularExpression::CaseInsensitiveOption);
    return form;
}

} // namespace

QString jetQuote(const QString& value)
{
    return quoted(value);
}

QString jetDate(const QDate& date)
{
    return date.toString(QStringLiteral("'#'yyyy/MM/dd'#'"));
}

QStringList translateJet(const QString& jet, SqlBackend backend)
{
    static const QRegularExpression ddl(
        QStringLiteral(R"(^\s*(CREATE|ALTER)\s+TABLE\b)"), QRegularExpression::CaseInsensitiveOption);
    const bool isDdl = ddl.match(jet).hasMatch();
    const QRegularExpressionMatch counter = addCounterForm().match(jet);
    if (counter.hasMatch()) {
        if (backend == SqlBackend::Sqlite)
            return sqliteAddCounter(counter.captured(1), counter.captured(2));
        return {QStringLiteral("ALTER TABLE %1 ADD COLUMN %2 SERIAL")
                    .arg(counter.captured(1), counter.captured(2))};
    }
    return {translateStatement(jet, backend, isDdl)};
}

std::optional<CounterColumn> addedCounter(const QString& jet)
{
    const QRegularExpressionMatch m = addCounterForm().match(jet);
    if (!m.hasMatch())
        return std::nullopt;
    return CounterColumn{m.captured(1), m.captured(2)};
}

QString sqliteCounterHighTable()
{
    return QStringLiteral(
        "CREATE TABLE IF NOT EXISTS VexaCounterHigh (Counter TEXT PRIMARY KEY, High INTEGER)");
}

QString sqliteCounterTrigger(const QString& table, const QString& column)
{
    // The highest number given is kept apart from the rows: deleting the
    // newest row must not hand its number out again.
    return QStringLiteral(
        "CREATE TRIGGER IF NOT EXISTS %1_%2_auto AFTER INSERT ON %1 FOR EACH ROW WHEN NEW.%2 IS NULL "
        "BEGIN "
        "INSERT OR IGNORE INTO VexaCounterHigh (Counter, High) VALUES ('%1.%2', 0); "
        "UPDATE VexaCounterHigh SET High = MAX(High, (SELECT IFNULL(MAX(%2), 0) FROM %1)) + 1 "
        "WHERE Counter = '%1.%2'; "
        "UPDATE %1 SET %2 = (SELECT High FROM VexaCounterHigh WHERE Counter = '%1.%2') "
        "WHERE rowid = NEW.rowid; END")
        .arg(table, column);
}

QString sqliteCounterIndex(const QString& table, const QString& column)
{
    return QStringLiteral("CREATE INDEX IF NOT EXISTS %1_%2 ON %1 (%2)").arg(table, column);
}

QString translateJetText(const QString& jet, SqlBackend backend)
{
    return translateJet(jet, backend).join(QStringLiteral("; "));
}

} // namespace vexa
