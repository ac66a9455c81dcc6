#include "pacsdb/ConquestSchema.h"

#include "base/core/Windows1252.h"
#include "pacsdb/SqliteFunctions.h"

#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringDecoder>
#include <QStringList>
#include <QUrl>
#include <QUrlQuery>

namespace vexa {

namespace {

constexpr int kBusyTimeoutMs = 5000;

// A URL query's parameters become libpq keywords: "?service=conquest" reads
// host, port, database and user from the service file, "?sslmode=require"
// asks for TLS. Values are quoted for libpq; a ";" cannot pass (the driver
// takes it for a separator), so such a parameter is left out.
QString libpqKeywords(const QUrl& url)
{
    QStringList keywords;
    const QUrlQuery query(url);
    for (const auto& [key, value] : query.queryItems(QUrl::FullyDecoded)) {
        static const QRegularExpression keyword(QStringLiteral("^[a-z_]+$"));
        if (!keyword.match(key).hasMatch() || value.contains(u';'))
            continue;
        QString quoted = value;
        quoted.replace(u'\\', QStringLiteral("\\\\")).replace(u'\'', QStringLiteral("\\'"));
        keywords << QStringLiteral("%1='%2'").arg(key, quoted);
    }
    return keywords.join(u';');
}

// What the URL leaves out, libpq finds in its usual places: the password in
// ~/.pgpass (or PGPASSFILE) or PGPASSWORD, everything in a service file
// (PGSERVICE or "?service="), the host and port in PGHOST and PGPORT. So the
// settings need hold no password.
QSqlDatabase openPostgres(const QString& url, const QString& connectionName, QString* error)
{
    const QUrl parsed(url);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connectionName);
    db.setHostName(parsed.host());
    db.setPort(parsed.port());
    db.setUserName(parsed.userName());
    db.setPassword(parsed.password());
    db.setDatabaseName(parsed.path().mid(1));
    // Quotes are doubled in every value, never preceded by "\": with the
    // server's standard_conforming_strings off, "\'" would end a literal and
    // a LIKE's ESCAPE '\' would not parse. Set when the session starts, so
    // the driver, which looks at the setting on opening, escapes bound
    // values to match.
    QString options = QStringLiteral("options=-cstandard_conforming_strings=on");
    const QString keywords = libpqKeywords(parsed);
    if (!keywords.isEmpty())
        options += u';' + keywords;
    db.setConnectOptions(options);
    if (!db.open()) {
        if (error)
            *error = db.lastError().text();
        return db;
    }
    // The upgrade's "IF NOT EXISTS" would otherwise print a notice each start.
    QSqlQuery(db).exec(QStringLiteral("SET client_min_messages TO warning"));
    return db;
}

QSqlDatabase openSqlite(
    const QString& path, const QString& connectionName, QString* error, MissingFile missing)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
    if (path.endsWith(QStringLiteral(".mdb"), Qt::CaseInsensitive)) {
        if (error)
            *error = QStringLiteral("Les bases Access (.mdb) ne sont pas lues sur cette plate-forme : "
                                    "indiquez la base SQLite ou PostgreSQL de Conquest.");
        return db;
    }
    // SQLite would silently create an empty database where the file is missing.
    if (missing == MissingFile::Fail && !QFileInfo(path).isFile()) {
        if (error)
            *error = QStringLiteral("Le fichier \"%1\" est introuvable.").arg(path);
        return db;
    }
    db.setDatabaseName(path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyTimeoutMs));
    if (!db.open()) {
        if (error)
            *error = db.lastError().text();
        return db;
    }
    installSqliteFunctions(db);
    return db;
}

// Conquest's tables as a fresh installation creates them. Names are left
// unquoted so that PostgreSQL folds them to lower case, as it does for
// Conquest's own statements.
const QStringList& conquestTableStatements()
{
    static const QStringList statements{
        QStringLiteral("CREATE TABLE DICOMPatients (PatientID varchar(64) NOT NULL PRIMARY KEY, "
                       "PatientNam varchar(64), PatientBir char(8), PatientSex varchar(16), "
                       "AccessTime integer, qTimeStamp integer, qFlags integer, qSpare varchar(64))"),
        QStringLiteral("CREATE TABLE DICOMStudies (StudyInsta varchar(64) NOT NULL PRIMARY KEY, "
                       "StudyDate char(8), StudyTime varchar(16), StudyID varchar(64), "
                       "StudyDescr varchar(64), AccessionN varchar(64), ReferPhysi varchar(64), "
                       "PatientID varchar(64), PatientNam varchar(64), PatientBir char(8), "
                       "PatientSex varchar(16), StudyModal varchar(64), AccessTime integer, "
                       "qTimeStamp integer, qFlags integer, qSpare varchar(64))"),
        QStringLiteral("CREATE TABLE DICOMSeries (SeriesInst varchar(64) NOT NULL PRIMARY KEY, "
                       "SeriesNumb varchar(12), SeriesDate char(8), SeriesTime varchar(16), "
                       "SeriesDesc varchar(64), Modality varchar(16), PatientPos varchar(16), "
                       "Manufactur varchar(64), ModelName varchar(64), BodyPartEx varchar(64), "
                       "StationNam varchar(64), Institutio varchar(64), SeriesPat varchar(64), "
                       "StudyInsta varchar(64), AccessTime integer, qTimeStamp integer, "
                       "qFlags integer, qSpare varchar(64))"),
        QStringLiteral("CREATE TABLE DICOMImages (SOPInstanc varchar(64) NOT NULL PRIMARY KEY, "
                       "SOPClassUI varchar(64), ImageNumbe varchar(12), ImageDate char(8), "
                       "ImageTime varchar(16), AcqDate char(8), AcqTime varchar(16), "
                       "NumberOfFr varchar(12), ImageType varchar(128), ImagePat varchar(64), "
                       "SeriesInst varchar(64), ObjectFile varchar(255), DeviceName varchar(32), "
                       "AccessTime integer, qTimeStamp integer, qFlags integer, qSpare varchar(64))"),
        QStringLiteral("CREATE TABLE DICOMWorkList (AccessionN varchar(64), PatientID varchar(64), "
                       "PatientNam varchar(64), PatientBir char(8), PatientSex varchar(16), "
                       "StudyInsta varchar(64), ReqPhysici varchar(64), ReqProcDes varchar(64), "
                       "Modality varchar(16), StartDate char(8), StartTime varchar(16), "
                       "SchedStati varchar(32), qTimeStamp integer, qFlags integer, qSpare varchar(64))"),
        QStringLiteral("CREATE INDEX images_seriesinst ON DICOMImages (SeriesInst)"),
        QStringLiteral("CREATE INDEX images_imagepat ON DICOMImages (ImagePat)"),
        QStringLiteral("CREATE INDEX series_seriespat ON DICOMSeries (SeriesPat)"),
        QStringLiteral("CREATE INDEX series_studyinsta ON DICOMSeries (StudyInsta)"),
    };
    return statements;
}

bool isValidUtf8(const QByteArray& bytes, QString* decoded)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return false;
    *decoded = std::move(text);
    return true;
}

// Letters Latin-1 cannot hold that read as plain ones without decomposing.
QString plainReading(QChar c)
{
    static const QHash<char16_t, QString> readings{{u'Œ', QStringLiteral("OE")}, {u'œ', QStringLiteral("oe")},
        {u'ẞ', QStringLiteral("SS")}, {u'Ł', QStringLiteral("L")}, {u'ł', QStringLiteral("l")},
        {u'Đ', QStringLiteral("D")}, {u'đ', QStringLiteral("d")}, {u'Ħ', QStringLiteral("H")},
        {u'ħ', QStringLiteral("h")}, {u'ı', QStringLiteral("i")}, {u'Ŧ', QStringLiteral("T")},
        {u'ŧ', QStringLiteral("t")}};
    return readings.value(c.unicode());
}

// A character outside Latin-1 as Latin-1 letters: its own reading, else the
// Latin-1 letters of its compatibility decomposition without the accents.
QString latin1Reading(QChar c)
{
    const QString plain = plainReading(c);
    if (!plain.isEmpty())
        return plain;
    QString kept;
    for (const QChar part : QString(c).normalized(QString::NormalizationForm_KD)) {
        if (part.unicode() < 0x100 && !part.isMark())
            kept += part;
    }
    return kept.isEmpty() ? QStringLiteral("?") : kept;
}

} // namespace

QString decodeStoredText(const QByteArray& bytes, const QString& specificCharacterSet)
{
    const QString charset = specificCharacterSet.trimmed().toUpper();
    if (charset == QStringLiteral("ISO_IR 100"))
        return fromWindows1252(bytes);
    QString text;
    if (isValidUtf8(bytes, &text))
        return text;
    return fromWindows1252(bytes);
}

QString repairUtf8ReadAsLatin1(const QString& text)
{
    bool high = false;
    for (const QChar c : text) {
        if (c.unicode() > 0xFF)
            return text;
        high = high || c.unicode() >= 0x80;
    }
    QString decoded;
    if (!high || !isValidUtf8(text.toLatin1(), &decoded))
        return text;
    return decoded;
}

QString storedBytesOf(const QString& column, SqlBackend backend)
{
    // A conversion to the database's own encoding changes nothing: the bytes as stored.
    return backend == SqlBackend::Postgres
        ? QStringLiteral("convert_to(%1, getdatabaseencoding())").arg(column)
        : QStringLiteral("CAST(%1 AS BLOB)").arg(column);
}

QString serverEncoding(const QSqlDatabase& db)
{
    if (backendOf(db) != SqlBackend::Postgres)
        return QStringLiteral("UTF8");
    static QMutex mutex;
    static QHash<QString, QString> known; // by connection name
    {
        QMutexLocker lock(&mutex);
        if (auto it = known.constFind(db.connectionName()); it != known.cend())
            return *it;
    }
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("SELECT getdatabaseencoding()")) || !query.next())
        return QStringLiteral("UTF8");
    const QString encoding = query.value(0).toString().toUpper();
    QMutexLocker lock(&mutex);
    known.insert(db.connectionName(), encoding);
    return encoding;
}

QString fitForDatabase(const QString& text, const QString& serverEncoding)
{
    const bool latin1 = serverEncoding == QStringLiteral("LATIN1");
    QString fitted;
    fitted.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isNull())
            continue;
        if (!latin1 || c.unicode() < 0x100) {
            fitted += c;
            continue;
        }
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        fitted += c.isSurrogate() ? QStringLiteral("?") : latin1Reading(c);
    }
    return fitted;
}

SqlBackend backendOf(const QSqlDatabase& db)
{
    return db.driverName() == QStringLiteral("QPSQL") ? SqlBackend::Postgres : SqlBackend::Sqlite;
}

bool isPostgresUrl(const QString& conquestPath)
{
    return conquestPath.startsWith(QStringLiteral("postgresql://"), Qt::CaseInsensitive)
        || conquestPath.startsWith(QStringLiteral("postgres://"), Qt::CaseInsensitive);
}

QSqlDatabase openConquestDatabase(
    const QString& conquestPath, const QString& connectionName, QString* error, MissingFile missing)
{
    if (QSqlDatabase::contains(connectionName))
        QSqlDatabase::removeDatabase(connectionName);
    if (isPostgresUrl(conquestPath))
        return openPostgres(conquestPath, connectionName, error);
    return openSqlite(conquestPath, connectionName, error, missing);
}

QString createConquestTables(QSqlDatabase& db)
{
    QSqlQuery query(db);
    for (const QString& statement : conquestTableStatements()) {
        if (!query.exec(statement))
            return query.lastError().text();
    }
    return {};
}

} // namespace vexa
