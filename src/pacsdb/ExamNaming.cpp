#include "pacsdb/ExamNaming.h"

#include "base/core/Dates.h"

#include "base/core/PersonName.h"
#include "pacsdb/PacsConnection.h"
#include "pacsdb/QueryCatalogue.h"
#include "pacsdb/SqlExec.h"

#include <QElapsedTimer>
#include <QHash>
#include <QMutex>
#include <QSet>
#include <QThread>
#include <limits>

namespace vexa {

namespace {

// Rows still to name are read this many at a time, each read a statement of
// its own: on SQLite an open read delays every commit of Conquest's, so a
// first pass over a large database must never read for long in one go.
constexpr int kReadChunk = 2000;
// While Conquest writes, far fewer: a read then fits between two of its
// inserts.
constexpr int kBusyReadChunk = 200;

// A write batch holds the SQLite write lock for about this long at most,
// and while Conquest writes for a few milliseconds only.
constexpr qint64 kBatchMs = 50;
constexpr qint64 kBusyBatchMs = 4;
// Conquest does not wait on a locked database: it retries after a random
// pause of 0.1 to 2 s. So while it writes, each read chunk and write batch
// starts just after one of its commits (it then works on the next image for
// a while) and is short enough to end before its next insert. Once seen
// writing, it is taken as still there for longer than its longest pause.
constexpr qint64 kCarefulMs = 2500;
// Waiting for one of its commits no longer than this: it may be pausing.
constexpr qint64 kTurnWaitMs = 30;
// After seeing a commit, this long without another one (Conquest's inserts
// of one image come in quick succession) before our turn.
constexpr qint64 kSettleMs = 2;
// The search for names to repair reads this many numbers of a table at once.
constexpr qint64 kRepairSlice = 2000;
// Before a long read or any write, watching this long whether Conquest writes.
constexpr qint64 kProbeMs = 15;
// Waiting longer than this for the write lock means someone else holds it.
constexpr qint64 kContendedBeginMs = 20;

// A lookup's answer: a value, nothing, or a failure of the database.
struct Answer {
    enum Kind { Found, Missing, Failed } kind = Missing;
    QString text; // Found: the value; Failed: the description
};

Answer failure(const QString& error)
{
    return {Answer::Failed, error};
}

// One value read by key, each distinct question asked once per pass.
class KeyedValues {
public:
    explicit KeyedValues(QSqlDatabase db)
        : db_(std::move(db))
    {
    }

    // The first column of the first row of sql with key bound; Missing when
    // there is no row or the value is null or empty.
    Answer value(const QString& sql, const QString& key)
    {
        const QString cacheKey = sql + QChar(0) + key;
        if (auto it = cache_.constFind(cacheKey); it != cache_.cend())
            return *it;
        QSqlQuery query(db_);
        query.setForwardOnly(true);
        if (!query.prepare(sql))
            return failure(query.lastError().text());
        query.addBindValue(key);
        if (!query.exec())
            return failure(query.lastError().text());
        Answer answer;
        if (query.next() && !query.value(0).isNull() && !query.value(0).toString().trimmed().isEmpty())
            answer = {Answer::Found, query.value(0).toString()};
        if (query.lastError().isValid())
            return failure(query.lastError().text());
        cache_.insert(cacheKey, answer);
        return answer;
    }

private:
    QSqlDatabase db_;
    QHash<QString, Answer> cache_;
};

// Row updates keyed by Compteur, each distinct column list prepared once.
// A write that reaches no row (the row was deleted meanwhile, or has no
// number) is a failure.
class BatchUpdater {
public:
    BatchUpdater(QSqlDatabase db, QString table)
        : db_(std::move(db))
        , table_(std::move(table))
    {
    }

    bool update(const QVariant& compteur, const QList<QPair<QString, QVariant>>& values)
    {
        if (compteur.isNull())
            return fail(keyedWriteMissedText(compteur));
        QStringList assignments;
        for (const auto& [column, value] : values)
            assignments << column + QStringLiteral(" = ?");
        const QString text = QStringLiteral("UPDATE %1 SET %2 WHERE Compteur = ?")
                                 .arg(table_, assignments.join(QStringLiteral(", ")));
        auto it = prepared_.find(text);
        if (it == prepared_.end()) {
            it = prepared_.insert(text, QSqlQuery(db_));
            if (!it->prepare(text))
                return fail(it->lastError().text());
        }
        for (const auto& [column, value] : values)
            it->addBindValue(toStored(value, backendOf(db_)));
        it->addBindValue(compteur);
        if (!it->exec())
            return fail(it->lastError().text());
        return it->numRowsAffected() == 1 || fail(keyedWriteMissedText(compteur));
    }

    const QString& error() const { return error_; }

private:
    bool fail(const QString& error)
    {
        error_ = error;
        return false;
    }

    QSqlDatabase db_;
    QString table_;
    QHash<QString, QSqlQuery> prepared_;
    QString error_;
};

struct PassColumns {
    QString table;
    QString patient; // ImagePat / SeriesPat
    QString date; // ImageDate / SeriesDate
    QString extra; // AcqDate of an image / StudyInsta of a series
    bool markHandled; // images: Burned = true once named
    // Which rows the pass reads: images not handled yet; series without a
    // date, burned or not (a series can be marked burned before any
    // workstation named it).
    QString pending;
};

struct PendingRow {
    QVariant compteur;
    bool hasPatient = false; // the patient's row was found
    QString patientName; // as Conquest stored it, decoded
    QString ownDate;
    bool dated = false;
    QString seriesUid;
    QString extra;
};

struct RowUpdate {
    QVariant compteur;
    QList<QPair<QString, QVariant>> values;
};

// Whether another program (Conquest) writes to the SQLite database during a
// pass, and when its turn is over: data_version changes with every commit
// made by another connection.
class OtherWriters {
public:
    explicit OtherWriters(QSqlDatabase db)
        : db_(std::move(db))
        , sqlite_(backendOf(db_) == SqlBackend::Sqlite)
    {
        seen_ = sqlite_ ? version() : 0; // PostgreSQL has no such question
    }

    // True while another connection is seen writing, or was recently.
    bool active()
    {
        if (!sqlite_)
            return false;
        if (const qint64 now = version(); now != seen_) {
            seen_ = now;
            active_ = true;
            lastCommit_.start();
        }
        if (active_ && lastCommit_.elapsed() > kCarefulMs)
            active_ = false;
        return active_;
    }
    void setActive()
    {
        if (!sqlite_)
            return;
        active_ = true;
        lastCommit_.start();
    }

    // Before a pass's long work: watches a moment whether Conquest writes.
    void probe()
    {
        if (!sqlite_ || probed_)
            return;
        probed_ = true;
        QThread::msleep(static_cast<unsigned long>(kProbeMs));
        active();
    }

    // Before a read chunk or a write batch: while Conquest writes, waits for
    // one of its commits followed by a short calm, so our work falls in the
    // pause before its next insert; returns at once when it is quiet.
    void waitForTurn()
    {
        if (!active())
            return;
        QElapsedTimer waited;
        waited.start();
        const qint64 before = seen_;
        while (active() && seen_ == before && waited.elapsed() < kTurnWaitMs)
            QThread::msleep(1);
        if (seen_ == before)
            return;
        for (qint64 settled = seen_;; settled = seen_) {
            QThread::msleep(static_cast<unsigned long>(kSettleMs));
            if (!active() || seen_ == settled)
                return;
        }
    }

private:
    qint64 version()
    {
        QSqlQuery query(db_);
        return query.exec(QStringLiteral("PRAGMA data_version")) && query.next() ? query.value(0).toLongLong()
                                                                                 : -1;
    }

    QSqlDatabase db_;
    bool sqlite_;
    bool active_ = false;
    bool probed_ = false;
    qint64 seen_ = 0;
    QElapsedTimer lastCommit_;
};

// Every row of the pass still to handle, read in chunks by Compteur, with
// its patient's name. The patient is the one whose identifier equals the
// row's exactly: identifiers differing only in case, or holding "*", "?",
// "%" or "_", are other patients. The name is read as the bytes Conquest
// stored and decoded here (see DecodeStoredText).
QString readPending(QSqlDatabase& db, const PassColumns& pass, QList<PendingRow>& rows, OtherWriters& others)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    const QString sql
        = QStringLiteral("SELECT r.Compteur, r.%2, r.ScanDate, r.SeriesInst, r.%3, "
                         "p.PatientID IS NOT NULL, %4 FROM %1 r LEFT JOIN DICOMPatients p "
                         "ON p.PatientID = r.%5 WHERE %6 AND r.Compteur > ? "
                         "ORDER BY r.Compteur LIMIT ?")
              .arg(pass.table, pass.date, pass.extra,
                  storedBytesOf(QStringLiteral("p.PatientNam"), backendOf(db)), pass.patient, pass.pending);
    if (!query.prepare(sql))
        return query.lastError().text();
    QVariant last
        = std::numeric_limits<qint32>::min(); // below every Compteur, in range of both backends' integers
    for (bool first = true;; first = false) {
        if (!first)
            others.probe(); // a long read: is Conquest writing?
        others.waitForTurn();
        const int chunk = first || others.active() ? kBusyReadChunk : kReadChunk;
        query.addBindValue(last);
        query.addBindValue(chunk);
        if (!query.exec())
            return query.lastError().text();
        int read = 0;
        while (query.next()) {
            ++read;
            // Two patient rows of one identifier would give the row twice.
            if (!rows.isEmpty() && rows.constLast().compteur == query.value(0))
                continue;
            const auto text
                = [&](int i) { return query.value(i).isNull() ? QString() : query.value(i).toString(); };
            const bool hasPatient = query.value(5).toBool();
            rows.append({query.value(0), hasPatient,
                hasPatient && !query.value(6).isNull() ? decodeStoredText(query.value(6).toByteArray())
                                                       : QString(),
                text(1), storedDate(query.value(2)).isValid(), text(3), text(4)});
            last = query.value(0);
        }
        if (query.lastError().isValid())
            return query.lastError().text();
        query.finish(); // the read lock goes with it
        if (read < chunk)
            return {};
    }
}

// Rows that cannot be written by Compteur (it is null): they are never
// handled, and NameNewRows says so.
QString unnumberedRows(QSqlDatabase& db, const PassColumns& pass)
{
    const QString& table = pass.table;
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("SELECT COUNT(*) FROM %1 r WHERE %2 AND r.Compteur IS NULL")
                        .arg(table, pass.pending))
        || !query.next())
        return query.lastError().text();
    const int count = query.value(0).toInt();
    if (count == 0)
        return {};
    return QStringLiteral("%1 : %2 ligne(s) sans Compteur ne peuvent pas être complétées.")
        .arg(table)
        .arg(count);
}

// Stores the updates in batches that each hold the write lock briefly, and
// leaves the lock free between batches while another program writes.
// progress, when given, hears after each commit how many rows are stored;
// false from it ends the writing there (the rest is named at a later pass).
QString writeInBatches(QSqlDatabase& db, const QString& table, const QList<RowUpdate>& updates,
    OtherWriters& others, const std::function<bool(qint64)>& progress = {})
{
    BatchUpdater updater(db, table);
    qsizetype next = 0;
    if (!updates.isEmpty())
        others.probe(); // is Conquest writing? then our turn comes after one of its commits
    while (next < updates.size()) {
        others.waitForTurn();
        const qint64 budgetMs = others.active() ? kBusyBatchMs : kBatchMs;
        QString error;
        QElapsedTimer waited;
        waited.start();
        if (!beginWrite(db, &error))
            return error;
        if (waited.elapsed() > kContendedBeginMs)
            others.setActive();
        QElapsedTimer held;
        held.start();
        do {
            if (!updater.update(updates[next].compteur, updates[next].values)) {
                rollbackWrite(db);
                return updater.error();
            }
            ++next;
        } while (next < updates.size() && held.elapsed() < budgetMs);
        if (!commitWrite(db, &error)) {
            rollbackWrite(db);
            return error;
        }
        if (progress && !progress(next))
            return {};
    }
    return {};
}

// The exam date of a row without one of its own: the study's date, then the
// acquisition date, then today.
class FallbackDates {
public:
    explicit FallbackDates(QSqlDatabase db)
        : values_(std::move(db))
    {
    }

    // date is set when the answer is not a failure. Each source is only
    // asked when the ones before it gave no date.
    Answer of(const PassColumns& pass, const PendingRow& row, const QDate& today, QDate& date)
    {
        date = firstExamDate({row.ownDate});
        if (date.isValid())
            return {Answer::Found, {}};
        QString studyUid = row.extra;
        if (pass.markHandled) { // an image: its series names the study
            const Answer study = values_.value(
                QStringLiteral("SELECT StudyInsta FROM DICOMSeries WHERE SeriesInst = ?"), row.seriesUid);
            if (study.kind == Answer::Failed)
                return study;
            studyUid = study.text;
        }
        if (!studyUid.isEmpty()) {
            const Answer studyDate = values_.value(
                QStringLiteral("SELECT StudyDate FROM DICOMStudies WHERE StudyInsta = ?"), studyUid);
            if (studyDate.kind == Answer::Failed)
                return studyDate;
            date = firstExamDate({studyDate.text});
            if (date.isValid())
                return {Answer::Found, {}};
        }
        QString acquired = row.extra; // an image's own acquisition date
        if (!pass.markHandled) { // a series: the first of its images that has one
            const Answer first = values_.value(QStringLiteral("SELECT AcqDate FROM DICOMImages WHERE "
                                                              "SeriesInst = ? AND AcqDate <> '' ORDER BY "
                                                              "Compteur LIMIT 1"),
                row.seriesUid);
            if (first.kind == Answer::Failed)
                return first;
            acquired = first.text;
        }
        date = firstExamDate({acquired});
        if (!date.isValid())
            date = today;
        return {Answer::Found, {}};
    }

private:
    KeyedValues values_;
};

// On PostgreSQL one workstation at a time names a table's new rows: the
// others pass over them (they would write the same values again) and see
// them named at their next tick. A session advisory lock, tried and never
// waited for, so no failed statement reaches the server's log.
class NamingTurn {
public:
    NamingTurn(QSqlDatabase db, const QString& table)
        : db_(std::move(db))
        , key_(table == QStringLiteral("DICOMImages") ? 1 : 2)
    {
        if (backendOf(db_) != SqlBackend::Postgres) {
            mine_ = true;
            return;
        }
        QSqlQuery query(db_);
        locked_
            = query.exec(QStringLiteral("SELECT pg_try_advisory_lock(%1, %2)").arg(kNamingLockKey).arg(key_))
            && query.next() && query.value(0).toBool();
        mine_ = locked_;
    }
    ~NamingTurn()
    {
        if (!locked_)
            return;
        QSqlQuery query(db_);
        query.exec(QStringLiteral("SELECT pg_advisory_unlock(%1, %2)").arg(kNamingLockKey).arg(key_));
    }
    NamingTurn(const NamingTurn&) = delete;
    NamingTurn& operator=(const NamingTurn&) = delete;

    // False while another workstation names the table.
    bool mine() const { return mine_; }

private:
    static constexpr int kNamingLockKey = 0x56657861; // "Vexa"
    QSqlDatabase db_;
    int key_;
    bool locked_ = false;
    bool mine_ = false;
};

QString runPass(
    const QString& conquestPath, const PassColumns& pass, const std::function<bool(qint64)>& progress = {})
{
    QString error;
    QSqlDatabase db = pacsConnection(conquestPath, &error);
    if (!db.isOpen())
        return error;
    const NamingTurn turn(db, pass.table);
    if (!turn.mine())
        return {};
    OtherWriters others(db);
    QList<PendingRow> rows;
    error = readPending(db, pass, rows, others);
    if (!error.isEmpty())
        return error;
    const QString unnumbered = unnumberedRows(db, pass);
    if (rows.isEmpty())
        return unnumbered;

    // Everything is worked out before the write lock is taken; a failed
    // lookup ends the pass, the rows worked out before it are stored.
    const QString encoding = serverEncoding(db);
    FallbackDates fallback(db);
    const QDate today = QDate::currentDate();
    QList<RowUpdate> updates;
    QString lookupError;
    for (const PendingRow& row : rows) {
        RowUpdate update{row.compteur, {}};
        if (row.hasPatient)
            update.values.append({QStringLiteral("PatientName"),
                fitForDatabase(readablePersonName(row.patientName), encoding)});
        if (!row.dated) {
            QDate date;
            const Answer dated = fallback.of(pass, row, today, date);
            if (dated.kind == Answer::Failed) {
                lookupError = dated.text;
                break;
            }
            update.values.append({QStringLiteral("ScanDate"), date});
        }
        if (pass.markHandled)
            update.values.append({QStringLiteral("Burned"), true});
        if (!update.values.isEmpty())
            updates.append(std::move(update));
    }
    error = writeInBatches(db, pass.table, updates, others, progress);
    if (!error.isEmpty())
        return error;
    return !lookupError.isEmpty() ? lookupError : unnumbered;
}

// Names that an earlier version stored with U+FFFD where it could not read
// Conquest's bytes, named again from Conquest's own column. Looked for once
// per database and run of the program: the search reads every name.
QString repairReplacedNames(const QString& conquestPath)
{
    static QMutex mutex;
    static QSet<QString> repaired;
    {
        QMutexLocker lock(&mutex);
        if (repaired.contains(conquestPath))
            return {};
    }
    QString error;
    QSqlDatabase db = pacsConnection(conquestPath, &error);
    if (!db.isOpen())
        return error;
    const QString encoding = serverEncoding(db);
    // A LATIN1 server cannot hold the character: nothing to repair there.
    const bool canHoldIt = encoding == QStringLiteral("UTF8") || encoding == QStringLiteral("SQL_ASCII");
    // A plain search for the character: the engine's own, far quicker than a LIKE.
    const QString holdsReplacement
        = QStringLiteral("%1(r.PatientName, '%2') > 0")
              .arg(backendOf(db) == SqlBackend::Postgres ? QStringLiteral("strpos") : QStringLiteral("instr"))
              .arg(QChar(QChar::ReplacementCharacter));
    for (const QString& table : {QStringLiteral("DICOMImages"), QStringLiteral("DICOMSeries")}) {
        if (!canHoldIt)
            break;
        const QString patient = table == QStringLiteral("DICOMImages") ? QStringLiteral("ImagePat")
                                                                       : QStringLiteral("SeriesPat");
        OtherWriters others(db);
        QList<PendingRow> rows;
        // The search reads every row: it goes through the table a slice of
        // numbers at a time, so no single read holds Conquest's commits back.
        QSqlQuery range(db);
        if (!range.exec(QStringLiteral("SELECT MIN(Compteur), MAX(Compteur) FROM ") + table) || !range.next())
            return range.lastError().text();
        const qint64 high = range.value(1).toLongLong();
        for (qint64 low = range.value(0).toLongLong(); !range.value(0).isNull() && low <= high;
             low += kRepairSlice) {
            error = readPending(db,
                {table, patient, QStringLiteral("Compteur"), QStringLiteral("Compteur"), false,
                    QStringLiteral("%1 AND r.Compteur BETWEEN %2 AND %3")
                        .arg(holdsReplacement)
                        .arg(low)
                        .arg(low + kRepairSlice - 1)},
                rows, others);
            if (!error.isEmpty())
                return error;
        }
        QList<RowUpdate> updates;
        for (const PendingRow& row : rows) {
            if (row.hasPatient)
                updates.append({row.compteur,
                    {{QStringLiteral("PatientName"),
                        fitForDatabase(readablePersonName(row.patientName), encoding)}}});
        }
        error = writeInBatches(db, table, updates, others);
        if (!error.isEmpty())
            return error;
    }
    QMutexLocker lock(&mutex);
    repaired.insert(conquestPath);
    return {};
}

} // namespace

QDate examDateOf(const QString& yyyymmdd, const QDate& today)
{
    const QDate date = dateFromYyyymmdd(yyyymmdd);
    return date.isValid() ? date : today;
}

QDate firstExamDate(const QStringList& yyyymmddTexts)
{
    for (const QString& text : yyyymmddTexts) {
        const QDate date = dateFromYyyymmdd(text);
        if (date.isValid())
            return date;
    }
    return {};
}

const PassColumns kImagePass{QStringLiteral("DICOMImages"), QStringLiteral("ImagePat"),
    QStringLiteral("ImageDate"), QStringLiteral("AcqDate"), true, QStringLiteral("r.Burned = 0")};
const PassColumns kSeriesPass{QStringLiteral("DICOMSeries"), QStringLiteral("SeriesPat"),
    QStringLiteral("SeriesDate"), QStringLiteral("StudyInsta"), false, QStringLiteral("r.ScanDate IS NULL")};

QString nameNewRows(MainRecordSets&, const QString& conquestPath)
{
    const QString error = runPass(conquestPath, kImagePass);
    const QString seriesError = runPass(conquestPath, kSeriesPass);
    const QString repairError = repairReplacedNames(conquestPath);
    return !error.isEmpty() ? error : !seriesError.isEmpty() ? seriesError : repairError;
}

QString nameAtFirstStart(const QString& conquestPath, const NamingProgress& progress)
{
    bool goOn = true;
    const QString seriesError
        = runPass(conquestPath, kSeriesPass, [&](qint64) { return goOn = progress(0); });
    if (!goOn)
        return seriesError;
    const QString error
        = runPass(conquestPath, kImagePass, [&](qint64 done) { return goOn = progress(done); });
    if (!goOn)
        return !seriesError.isEmpty() ? seriesError : error;
    const QString repairError = repairReplacedNames(conquestPath);
    return !seriesError.isEmpty() ? seriesError : !error.isEmpty() ? error : repairError;
}

} // namespace vexa
