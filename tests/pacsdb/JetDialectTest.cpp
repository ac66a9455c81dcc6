#include "pacsdb/JetDialect.h"
#include "pacsdb/LikeMatch.h"
#include "pacsdb/QueryCatalogue.h"

#include <gtest/gtest.h>

using namespace vexa;

// Failures show texts as texts.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

struct DialectCase {
    const char* jet;
    const char* sqlite;
    const char* postgres;
};

const DialectCase kCases[] = {
    {"DELETE * FROM DICOMSeries WHERE SeriesInst = '1.2';",
        "DELETE FROM DICOMSeries WHERE SeriesInst = '1.2'",
        "DELETE FROM DICOMSeries WHERE SeriesInst = '1.2'"},
    {"SELECT * FROM DICOMSeries WHERE ScanDate between #2007/08/25# AND #2007/8/5# ORDER BY Compteur; ",
        "SELECT * FROM DICOMSeries WHERE ScanDate between '2007-08-25' AND '2007-08-05' ORDER BY Compteur",
        "SELECT * FROM DICOMSeries WHERE ScanDate between TIMESTAMP '2007-08-25' AND TIMESTAMP '2007-08-05' "
        "ORDER BY "
        "Compteur"},
    {"SELECT * FROM DICOMPatients WHERE PatientID LIKE 'P*1?';",
        "SELECT * FROM DICOMPatients WHERE PatientID LIKE 'P%1_' ESCAPE '\\'",
        "SELECT * FROM DICOMPatients WHERE PatientID ILIKE 'P%1_' ESCAPE '\\'"},
    // A literal % or _ stays literal; a quote stays inside its literal.
    {"SELECT * FROM DICOMSeries WHERE PatientName LIKE '10%_O''B*'",
        "SELECT * FROM DICOMSeries WHERE PatientName LIKE '10\\%\\_O''B%' ESCAPE '\\'",
        "SELECT * FROM DICOMSeries WHERE PatientName ILIKE '10\\%\\_O''B%' ESCAPE '\\'"},
    // "*", "#" and "DELETE * FROM" inside a value are data, not syntax.
    {"SELECT * FROM DICOMSeries WHERE SeriesInst = 'DELETE * FROM #1#'",
        "SELECT * FROM DICOMSeries WHERE SeriesInst = 'DELETE * FROM #1#'",
        "SELECT * FROM DICOMSeries WHERE SeriesInst = 'DELETE * FROM #1#'"},
    {"ALTER TABLE DICOMImages ADD COLUMN Printed BIT",
        "ALTER TABLE DICOMImages ADD COLUMN Printed INTEGER DEFAULT 0",
        "ALTER TABLE DICOMImages ADD COLUMN Printed INTEGER DEFAULT 0"},
    {"ALTER TABLE DICOMImages ADD COLUMN PatientName TEXT 255",
        "ALTER TABLE DICOMImages ADD COLUMN PatientName TEXT",
        "ALTER TABLE DICOMImages ADD COLUMN PatientName VARCHAR(255)"},
    {"ALTER TABLE DICOMImages ADD COLUMN ScanDate DATETIME",
        "ALTER TABLE DICOMImages ADD COLUMN ScanDate DATETIME",
        "ALTER TABLE DICOMImages ADD COLUMN ScanDate TIMESTAMP"},
    {"CREATE TABLE DICOMCompteur (Compteur COUNTER, Numero INTEGER) ;",
        "CREATE TABLE DICOMCompteur (Compteur INTEGER PRIMARY KEY AUTOINCREMENT, Numero INTEGER)",
        "CREATE TABLE DICOMCompteur (Compteur SERIAL PRIMARY KEY, Numero INTEGER)"},
    {"ALTER TABLE DICOMSeries ADD COLUMN Compteur COUNTER",
        "ALTER TABLE DICOMSeries ADD COLUMN Compteur INTEGER; UPDATE DICOMSeries SET Compteur = rowid; "
        "CREATE INDEX IF NOT EXISTS DICOMSeries_Compteur ON DICOMSeries (Compteur); "
        "CREATE TABLE IF NOT EXISTS VexaCounterHigh (Counter TEXT PRIMARY KEY, High INTEGER); "
        "CREATE TRIGGER IF NOT EXISTS DICOMSeries_Compteur_auto AFTER INSERT ON DICOMSeries FOR EACH ROW "
        "WHEN NEW.Compteur IS NULL BEGIN "
        "INSERT OR IGNORE INTO VexaCounterHigh (Counter, High) VALUES ('DICOMSeries.Compteur', 0); "
        "UPDATE VexaCounterHigh SET High = MAX(High, (SELECT IFNULL(MAX(Compteur), 0) FROM DICOMSeries)) + 1 "
        "WHERE Counter = 'DICOMSeries.Compteur'; "
        "UPDATE DICOMSeries SET Compteur = (SELECT High FROM VexaCounterHigh WHERE Counter = "
        "'DICOMSeries.Compteur') WHERE rowid = NEW.rowid; END",
        "ALTER TABLE DICOMSeries ADD COLUMN Compteur SERIAL"},
    // Outside DDL, type words are plain words.
    {"UPDATE DICOMseries SET Burned = -1", "UPDATE DICOMseries SET Burned = -1",
        "UPDATE DICOMseries SET Burned = -1"},
};

} // namespace

TEST(JetDialect, TranslatesEachCaseForBothBackends)
{
    for (const DialectCase& c : kCases) {
        SCOPED_TRACE(c.jet);
        EXPECT_EQ(
            translateJetText(QString::fromUtf8(c.jet), SqlBackend::Sqlite), QString::fromUtf8(c.sqlite));
        EXPECT_EQ(
            translateJetText(QString::fromUtf8(c.jet), SqlBackend::Postgres), QString::fromUtf8(c.postgres));
    }
}

TEST(JetDialect, JoinedValuesCannotChangeTheStatement)
{
    const QString crafted = QStringLiteral("x' OR '1'='1");
    EXPECT_EQ(translateJetText(sql::seriesByUid(crafted), SqlBackend::Sqlite),
        QStringLiteral("SELECT * FROM DICOMSeries WHERE SeriesInst = 'x'' OR ''1''=''1'"));
    EXPECT_EQ(sql::patientById(QStringLiteral("O'BRIEN")),
        QStringLiteral("SELECT * FROM DICOMPatients WHERE PatientID = 'O''BRIEN';"));
    // Placeholders inside a value are not expanded a second time.
    EXPECT_TRUE(
        sql::seriesBetween(QDate(2007, 8, 25), QDate(2007, 9, 1))
            .endsWith(QStringLiteral("WHERE DICOMSeries.ScanDate between #2007/08/25# AND #2007/09/01# "
                                     "ORDER BY DICOMSeries.Compteur; ")));
    EXPECT_EQ(sql::seriesByUid(QStringLiteral("%1%2")),
        QStringLiteral("SELECT * FROM DICOMSeries WHERE SeriesInst = '%1%2';"));
}

TEST(LikeMatch, FoldsCaseOfEveryLetterAndHonoursWildcards)
{
    struct Case {
        const char* pattern;
        const char* text;
        bool matches;
    } cases[] = {
        {"émile*", "ÉMILE DURAND", true},
        {"du*", "DUPONT", true},
        {"Du*", "dupont", true},
        {"du*", "MADUR", false},
        {"P?01", "PX01", true},
        {"P?01", "P01", false},
        {"*", "", true},
        {"", "", true},
        {"", "A", false},
        {"*ont", "Dupont", true},
        {"a*b*c", "aXbYc", true},
        {"a*b*c", "aXbY", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.pattern) + " / " + c.text);
        EXPECT_EQ(jetLikeMatches(QString::fromUtf8(c.pattern), QString::fromUtf8(c.text)), c.matches);
    }
    EXPECT_TRUE(sqlLikeMatches(QStringLiteral("10\\%"), QStringLiteral("10%"), u'\\'));
    EXPECT_FALSE(sqlLikeMatches(QStringLiteral("10\\%"), QStringLiteral("100"), u'\\'));
}
