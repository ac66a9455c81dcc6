#include "ExamNaming.h"

#include "Dates.h"

#include "PacsConnection.h"
#include "QueryCatalogue.h"
#include "SqlExec.h"

#include <QHash>
#include <QSet>
#include <optional>

namespace vexa {

namespace {

// Above this many distinct identifiers, the patients are read once instead
// of one query per identifier.
constexpr int kBulkLookupThreshold = 32;

bool HasWildcard(const QString& id)
{
    return id.contains(u'*') || id.contains(u'?');
}

// Names of the patients of one pass, one lookup per distinct identifier. An
// identifier matches as a LIKE pattern ("*" and "?" are wild cards, case
// ignored); the first matching patient gives the name.
class PatientNames {
public:
    PatientNames(RecordSet& dataIdentities, const QString& conquestPath)
        : data_(dataIdentities)
        , path_(conquestPath)
    {
    }

    void Prepare(const QSet<QString>& ids)
    {
        int plain = 0;
        for (const QString& id : ids)
            plain += HasWildcard(id) ? 0 : 1;
        if (plain > kBulkLookupThreshold)
            LoadAll();
    }

    std::optional<QString> Lookup(const QString& id)
    {
        if (!HasWildcard(id) && bulk_)
            return all_.contains(id.toCaseFolded()) ? std::optional(all_.value(id.toCaseFolded()))
                                                    : std::nullopt;
        if (auto it = cache_.constFind(id); it != cache_.cend())
            return *it;
        data_.setDatabasePath(path_);
        data_.setRecordSource(Sql::PatientById(id));
        std::optional<QString> name;
        if (data_.requery() && data_.count() > 0)
            name = data_.fieldText(QStringLiteral("PatientNam"));
        cache_.insert(id, name);
        return name;
    }

    void Release() { data_.close(); }

private:
    void LoadAll()
    {
        QSqlDatabase db = PacsConnection(path_);
        QSqlQuery query(db);
        if (!SelectJet(db, query, QStringLiteral("SELECT PatientID, PatientNam FROM DICOMPatients")))
            return;
        while (query.next()) {
            const QString key = query.value(0).toString().toCaseFolded();
            if (!all_.contains(key))
                all_.insert(key, query.value(1).isNull() ? QString() : query.value(1).toString());
        }
        bulk_ = !query.lastError().isValid();
    }

    RecordSet& data_;
    QString path_;
    bool bulk_ = false;
    QHash<QString, QString> all_;
    QHash<QString, std::optional<QString>> cache_;
};

// Row updates keyed by Compteur, each distinct column list prepared once.
class BatchUpdater {
public:
    BatchUpdater(QSqlDatabase db, QString table)
        : db_(std::move(db))
        , table_(std::move(table))
    {
    }

    bool Update(const QVariant& compteur, const QList<QPair<QString, QVariant>>& values)
    {
        QStringList assignments;
        for (const auto& [column, value] : values)
            assignments << column + QStringLiteral(" = ?");
        const QString text = QStringLiteral("UPDATE %1 SET %2 WHERE Compteur = ?")
                                 .arg(table_, assignments.join(QStringLiteral(", ")));
        auto it = prepared_.find(text);
        if (it == prepared_.end()) {
            it = prepared_.insert(text, QSqlQuery(db_));
            if (!it->prepare(text))
                return Fail(it->lastError().text());
        }
        for (const auto& [column, value] : values)
            it->addBindValue(ToStored(value, BackendOf(db_)));
        it->addBindValue(compteur);
        return it->exec() || Fail(it->lastError().text());
    }

    const QString& error() const { return error_; }

private:
    bool Fail(const QString& error)
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
    bool markHandled; // images: Burned = true once named
    bool onlyUndated; // series: rows with a valid ScanDate are passed over
};

QString RunPass(RecordSet& conn, PatientNames& patients, const QString& conquestPath, const PassColumns& pass)
{
    if (!conn.requery())
        return conn.lastError();
    if (conn.count() == 0)
        return {};
    const QString scanDate = QStringLiteral("ScanDate");
    QSet<QString> ids;
    for (conn.moveFirst(); !conn.eof(); conn.moveNext())
        if (!pass.onlyUndated || !conn.fieldDate(scanDate).isValid())
            ids.insert(conn.fieldText(pass.patient));
    patients.Prepare(ids);

    QSqlDatabase db = PacsConnection(conquestPath);
    if (!BeginWrite(db))
        return db.lastError().text();
    BatchUpdater updater(db, pass.table);
    const QDate today = QDate::currentDate();
    for (conn.moveFirst(); !conn.eof(); conn.moveNext()) {
        const bool dated = conn.fieldDate(scanDate).isValid();
        if (pass.onlyUndated && dated)
            continue;
        QList<QPair<QString, QVariant>> values;
        if (const auto name = patients.Lookup(conn.fieldText(pass.patient)))
            values.append({QStringLiteral("PatientName"), ReadablePatientName(*name)});
        if (!dated)
            values.append({scanDate, ExamDateOf(conn.fieldText(pass.date), today)});
        if (pass.markHandled)
            values.append({QStringLiteral("Burned"), true});
        if (!values.isEmpty() && !updater.Update(conn.field(QStringLiteral("Compteur")), values)) {
            RollbackWrite(db);
            return updater.error();
        }
    }
    if (!CommitWrite(db)) {
        const QString error = db.lastError().text();
        RollbackWrite(db);
        return error;
    }
    return {};
}

} // namespace

QString ReadablePatientName(const QString& dicomName)
{
    // Never a null string: it would be stored as NULL, not as an empty name.
    QString name = dicomName.isNull() ? QStringLiteral("") : dicomName;
    return name.replace(u'^', u' ');
}

QDate ExamDateOf(const QString& yyyymmdd, const QDate& today)
{
    const QDate date = DateFromYyyymmdd(yyyymmdd);
    return date.isValid() ? date : today;
}

QString SetName(MainRecordSets& sets, const QString& conquestPath)
{
    RecordSet& conn = sets.workSet;
    conn.setDatabasePath(conquestPath);
    PatientNames patients(sets.patientLookup, conquestPath);

    conn.setRecordSource(Sql::ImagesNotNamed());
    QString error = RunPass(conn, patients, conquestPath,
        {QStringLiteral("DICOMImages"), QStringLiteral("ImagePat"), QStringLiteral("ImageDate"), true,
            false});
    patients.Release();

    PatientNames seriesPatients(sets.patientLookup, conquestPath);
    conn.setRecordSource(Sql::SeriesNotNamed());
    const QString seriesError = RunPass(conn, seriesPatients, conquestPath,
        {QStringLiteral("DICOMSeries"), QStringLiteral("SeriesPat"), QStringLiteral("SeriesDate"), false,
            true});
    seriesPatients.Release();
    conn.close();
    return error.isEmpty() ? seriesError : error;
}

} // namespace vexa
