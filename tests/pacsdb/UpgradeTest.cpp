#include "PacsTestDb.h"
#include "pacsdb/ExamNaming.h"
#include "pacsdb/PacsUpgrade.h"
#include "pacsdb/SqlExec.h"

#include <QSqlQuery>

using namespace vexa;
using namespace vexa::test;

namespace {

const QStringList kImageColumns{
    "compteur", "printed", "burned", "printdate", "patientname", "scandate", "jpegexported", "nottoburn"};
const QStringList kSeriesColumns{"compteur", "printed", "burned", "patientname", "scandate", "jpegexported"};

void expectColumns(PacsTestDb& pacs, const QString& table, const QStringList& wanted)
{
    const QStringList columns = pacs.columnsOf(table);
    for (const QString& column : wanted)
        EXPECT_TRUE(columns.contains(column)) << table.toStdString() << " lacks " << column.toStdString();
}

class Upgrade : public BackendTest { };

} // namespace

TEST_P(Upgrade, FreshDatabaseGetsEveryColumnAndTableThenSecondRunPassesOver)
{
    ASSERT_FALSE(pacs().columnsOf("DICOMSeries").contains("compteur")); // a fresh Conquest schema
    ASSERT_EQ(openAndUpgrade(pacs().path()), QString());
    expectColumns(pacs(), "DICOMImages", kImageColumns);
    expectColumns(pacs(), "DICOMSeries", kSeriesColumns);
    expectColumns(pacs(), "DICOMWorkList", {"compteur"});
    expectColumns(pacs(), "DICOMCompteur", {"compteur", "numero"});
    expectColumns(pacs(), "DICOMWLCompteur", {"compteur", "numero"});
    EXPECT_EQ(openAndUpgrade(pacs().path()), QString());
    EXPECT_EQ(openAndUpgrade(pacs().path()), QString());
}

TEST_P(Upgrade, OlderUpgradeWithImageColumnsOnlyGetsTheRest)
{
    for (const QString& statement : upgradeStatements().mid(0, 8))
        ASSERT_FALSE(execJet(pacs().db(), statement).isValid()) << statement.toStdString();
    ASSERT_FALSE(pacs().columnsOf("DICOMSeries").contains("burned"));
    ASSERT_EQ(openAndUpgrade(pacs().path()), QString());
    expectColumns(pacs(), "DICOMSeries", kSeriesColumns);
    expectColumns(pacs(), "DICOMImages", kImageColumns);
}

TEST_P(Upgrade, OldRowsReadNotHandledAndCountersStayUniqueAndIncreasing)
{
    pacs().insertSeries("S1", "P1", "20240101");
    pacs().insertSeries("S2", "P1", "20240102");
    pacs().insertImage("I1", "S1", "P1", "20240101");
    ASSERT_EQ(openAndUpgrade(pacs().path()), QString());
    pacs().insertSeries("S3", "P1", "20240103"); // Conquest's insert, explicit columns
    pacs().insertImage("I2", "S1", "P1", "20240101");

    EXPECT_EQ(pacs()
                  .scalar("SELECT COUNT(*) FROM DICOMSeries WHERE Burned = 0 AND Printed = 0 AND "
                          "JpegExported = 0")
                  .toInt(),
        3);
    EXPECT_EQ(
        pacs().scalar("SELECT COUNT(*) FROM DICOMImages WHERE Burned = 0 AND NotToBurn = 0").toInt(), 2);
    QSqlQuery query(pacs().db());
    ASSERT_TRUE(query.exec("SELECT SeriesInst, Compteur FROM DICOMSeries ORDER BY Compteur"));
    QStringList order;
    qint64 last = 0;
    while (query.next()) {
        order << query.value(0).toString();
        EXPECT_GT(query.value(1).toLongLong(), last);
        last = query.value(1).toLongLong();
    }
    EXPECT_EQ(order, QStringList({"S1", "S2", "S3"}));
    EXPECT_GT(pacs().scalar("SELECT Compteur FROM DICOMImages WHERE SOPInstanc = 'I2'").toLongLong(),
        pacs().scalar("SELECT Compteur FROM DICOMImages WHERE SOPInstanc = 'I1'").toLongLong());
}

// A series number is never given twice: with the newest series deleted and
// the study received again, the new series gets a new number, also on a
// SQLite database whose older trigger reused numbers.
TEST_P(Upgrade, DeletedNewestSeriesNumberIsNeverGivenAgain)
{
    ASSERT_EQ(openAndUpgrade(pacs().path()), QString());
    if (pacs().backend() == SqlBackend::Sqlite) { // the trigger of an older version
        pacs().exec("DROP TRIGGER DICOMSeries_Compteur_auto");
        pacs().exec(
            "CREATE TRIGGER DICOMSeries_Compteur_auto AFTER INSERT ON DICOMSeries FOR EACH ROW WHEN "
            "NEW.Compteur IS NULL BEGIN UPDATE DICOMSeries SET Compteur = (SELECT IFNULL(MAX(Compteur), "
            "0) + 1 FROM DICOMSeries) WHERE rowid = NEW.rowid; END");
        ASSERT_EQ(openAndUpgrade(pacs().path()), QString());
    }
    const auto numberOf = [&](const QString& uid) {
        return pacs()
            .scalar("SELECT Compteur FROM DICOMSeries WHERE SeriesInst = '" + uid + "'")
            .toLongLong();
    };
    pacs().insertSeries("S1", "P1", "20240101");
    pacs().insertSeries("S2", "P1", "20240101");
    const qint64 deleted = numberOf("S2");
    for (int again = 0; again < 2; ++again) {
        pacs().exec("DELETE FROM DICOMSeries WHERE SeriesInst = 'S2'");
        pacs().insertSeries("S2", "P1", "20240101");
        EXPECT_GT(numberOf("S2"), deleted);
    }
    EXPECT_EQ(numberOf("S2"), deleted + 2);
    ASSERT_EQ(openAndUpgrade(pacs().path()), QString()); // a later start changes nothing
    pacs().exec("DELETE FROM DICOMSeries WHERE SeriesInst = 'S2'");
    pacs().insertSeries("S3", "P1", "20240101");
    EXPECT_EQ(numberOf("S3"), deleted + 3);
}

// A counter column that exists without its trigger: added by hand to a
// database prepared elsewhere, or left by an upgrade cut short. New rows
// must still get numbers, and rows that came in meanwhile are numbered.
TEST_P(Upgrade, SqliteCounterWithoutItsTriggerIsMadeWholeAtStart)
{
    if (pacs().backend() != SqlBackend::Sqlite)
        GTEST_SKIP() << "PostgreSQL counters are SERIAL columns";
    pacs().exec("ALTER TABLE DICOMSeries ADD COLUMN Compteur INTEGER"); // no number, no trigger
    pacs().insertSeries("S1", "P1", "20240101");
    pacs().insertSeries("S2", "P1", "20240101");
    pacs().insertImage("I1", "S1", "P1", "20240101");
    ASSERT_EQ(openAndUpgrade(pacs().path()), QString());
    pacs().exec("DROP TRIGGER DICOMImages_Compteur_auto"); // the images' trigger lost after their column
    pacs().insertImage("I2", "S1", "P1", "20240101");
    pacs().insertImage("I3", "S1", "P1", "20240101");
    ASSERT_EQ(openAndUpgrade(pacs().path()), QString());
    pacs().insertSeries("S3", "P1", "20240101");
    pacs().insertImage("I4", "S1", "P1", "20240101");

    for (const char* table : {"DICOMSeries", "DICOMImages"}) {
        SCOPED_TRACE(table);
        const QString from = QStringLiteral(" FROM %1").arg(table);
        EXPECT_EQ(pacs().scalar("SELECT COUNT(*)" + from + " WHERE Compteur IS NULL").toInt(), 0);
        EXPECT_EQ(pacs().scalar("SELECT COUNT(DISTINCT Compteur)" + from).toInt(),
            pacs().scalar("SELECT COUNT(*)" + from).toInt());
    }
    QSqlQuery query(pacs().db());
    ASSERT_TRUE(query.exec("SELECT SOPInstanc FROM DICOMImages ORDER BY Compteur"));
    QStringList order;
    while (query.next())
        order << query.value(0).toString();
    EXPECT_EQ(order, QStringList({"I1", "I2", "I3", "I4"}));
    MainRecordSets sets;
    EXPECT_EQ(nameNewRows(sets, pacs().path()), QString());
    EXPECT_EQ(pacs().scalar("SELECT COUNT(*) FROM DICOMImages WHERE Burned = 0").toInt(), 0);
    EXPECT_EQ(pacs().scalar("SELECT COUNT(*) FROM DICOMSeries WHERE ScanDate IS NULL").toInt(), 0);
}

TEST_P(Upgrade, WorklistRowsWithoutNameAreRemovedAtEveryStart)
{
    pacs().exec("INSERT INTO DICOMWorkList (PatientID, PatientNam) VALUES ('A', 'DURAND^ANNE')");
    pacs().exec("INSERT INTO DICOMWorkList (PatientID, PatientNam) VALUES ('B', '')");
    pacs().exec("INSERT INTO DICOMWorkList (PatientID) VALUES ('C')");
    ASSERT_EQ(openAndUpgrade(pacs().path()), QString());
    EXPECT_EQ(pacs().scalar("SELECT COUNT(*) FROM DICOMWorkList").toInt(), 1);
    pacs().exec("INSERT INTO DICOMWorkList (PatientID, PatientNam) VALUES ('D', '')");
    ASSERT_EQ(openAndUpgrade(pacs().path()), QString());
    EXPECT_EQ(pacs().scalar("SELECT PatientID FROM DICOMWorkList").toString(), QString("A"));
}

TEST_P(Upgrade, CounterTablesNeverReuseANumber)
{
    ASSERT_EQ(openAndUpgrade(pacs().path()), QString());
    pacs().exec("INSERT INTO DICOMCompteur (Numero) VALUES (1)");
    pacs().exec("INSERT INTO DICOMCompteur (Numero) VALUES (2)");
    ASSERT_FALSE(execJet(pacs().db(), "DELETE * FROM DICOMCompteur WHERE Numero < 3 ;").isValid());
    pacs().exec("INSERT INTO DICOMCompteur (Numero) VALUES (3)");
    EXPECT_EQ(pacs().scalar("SELECT Compteur FROM DICOMCompteur").toInt(), 3);
}

TEST_P(Upgrade, UnknownTableIsFatalWithTheProviderDescription)
{
    pacs().exec("DROP TABLE DICOMWorkList");
    const QString error = openAndUpgrade(pacs().path());
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(error.contains("dicomworklist", Qt::CaseInsensitive)) << error.toStdString();
}

VEXA_BACKENDS(Upgrade);

TEST(UpgradeOpen, MissingFileAndAccessFileGiveClearErrors)
{
    QTemporaryDir dir;
    const QString missing = dir.filePath("absent.db3");
    EXPECT_TRUE(openAndUpgrade(missing).contains("introuvable"));
    EXPECT_FALSE(QFile::exists(missing)); // never created by the attempt
    const QString mdb = dir.filePath("conquestpacs_s.mdb");
    QFile(mdb).open(QIODevice::WriteOnly);
    EXPECT_TRUE(openAndUpgrade(mdb).contains("Access"));
}

TEST(UpgradeOpen, StartupMessagesAreTheFrenchTexts)
{
    EXPECT_EQ(openErrorTitle(), QString::fromUtf8("Erreur à l'ouverture de la base de données"));
    EXPECT_EQ(openErrorText("X"), QString::fromUtf8("Impossible d'ouvrir la base de données du PACS :\n\nX"));
    EXPECT_EQ(databaseNotFoundText(),
        QString::fromUtf8("La base de donnée du MicroPACS CONQUEST est introuvable.\n"
                          "Voulez-vous modifier la configuration d'VexaDICOM ? "));
}
