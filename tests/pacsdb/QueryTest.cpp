#include "PacsTestDb.h"
#include "pacsdb/ExamNaming.h"
#include "pacsdb/MainRecordSets.h"
#include "pacsdb/PacsConnection.h"
#include "pacsdb/PacsUpgrade.h"
#include "pacsdb/QueryCatalogue.h"
#include "pacsdb/SearchWords.h"
#include "pacsdb/SqlExec.h"

#include <QRegularExpression>
#include <QSignalSpy>

using namespace vexa;
using namespace vexa::test;

namespace {

// Patients, series and images of a small practice, upgraded and named.
class Queries : public BackendTest {
protected:
    void SetUp() override
    {
        BackendTest::SetUp();
        ASSERT_EQ(openAndUpgrade(pacs().path()), QString());
        const struct {
            const char* id;
            const char* name;
            const char* date;
        } patients[] = {
            {"P001", "DUPONT^JEAN", "20240101"},
            {"P002", "Dupont^Marie", "20240115"},
            {"P003", "durand^paul", "20240131"},
            {"P004", "ÉMILE^ZOLA", "20240201"},
            {"O'B1", "O'BRIEN^PAT", "20231231"},
            {"X100", "", "20240110"},
        };
        for (const auto& p : patients) {
            pacs().insertPatient(QString::fromUtf8(p.id), QString::fromUtf8(p.name));
            const QString uid = QStringLiteral("S-") + QString::fromUtf8(p.id);
            pacs().insertSeries(uid, QString::fromUtf8(p.id), p.date);
            for (int i = 1; i <= 3; ++i)
                pacs().insertImage(uid + QStringLiteral("-%1").arg(i), uid, QString::fromUtf8(p.id), p.date);
        }
        pacs().insertSeries("S-NOBODY", "UNKNOWN", "20240120"); // no patient row: dated, unnamed
        ASSERT_EQ(nameNewRows(sets_, pacs().path()), QString());
    }

    QStringList column(const QString& jet, const QString& column)
    {
        RecordSet set;
        set.setDatabasePath(pacs().path());
        set.setRecordSource(jet);
        EXPECT_TRUE(set.requery()) << jet.toStdString() << ": " << set.lastError().toStdString();
        QStringList values;
        for (set.moveFirst(); !set.eof(); set.moveNext())
            values << set.fieldText(column);
        return values;
    }

    MainRecordSets sets_;
};

} // namespace

TEST_P(Queries, DateRangeIncludesBothEndsAndDayListMatchesOneDay)
{
    EXPECT_EQ(column(sql::seriesBetween(QDate(2024, 1, 1), QDate(2024, 1, 31)), "SeriesInst"),
        QStringList({"S-P001", "S-P002", "S-P003", "S-X100", "S-NOBODY"}));
    EXPECT_TRUE(column(sql::seriesBetween(QDate(2024, 2, 2), QDate(2024, 1, 1)), "SeriesInst").isEmpty());
    EXPECT_EQ(column(sql::imagesOfDay(QDate(2024, 1, 31)), "SOPInstanc"),
        QStringList({"S-P003-1", "S-P003-2", "S-P003-3"}));
}

TEST_P(Queries, PatientNameSearchIgnoresCaseAndKeepsQuotes)
{
    const struct {
        const char* pattern;
        QStringList series;
    } cases[] = {
        {"DU*", {"S-P001", "S-P002", "S-P003"}}, {"Du*", {"S-P001", "S-P002", "S-P003"}},
        {"du*", {"S-P001", "S-P002", "S-P003"}}, {"", {"S-X100"}}, // an empty text finds only empty names
        {"O'BRIEN*", {"S-O'B1"}}, {"émile*", {"S-P004"}},
        {"%*", {}}, // "%" is not a wild card in this dialect
        {"*", {}}, {"****", {}}, {"?*-", {}}, // wild cards alone name no one
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pattern);
        QStringList found = column(sql::seriesByPatientName(QString::fromUtf8(c.pattern)), "SeriesInst");
        found.sort();
        QStringList wanted = c.series;
        wanted.sort();
        EXPECT_EQ(found, wanted);
    }
}

// The search finds the start of any word of the name, accents and case
// ignored, with the user's wild cards; never a word's middle.
TEST_P(Queries, PatientSearchFindsTheStartOfAnyWordWithoutAccentsOrCase)
{
    pacs().insertPatient("L1", QString::fromUtf8("LEFÈVRE^ANNE-SOPHIE"));
    pacs().insertSeries("S-L1", "L1", "20240301");
    pacs().insertPatient("L2", QString::fromUtf8("CŒUR^Élodie"));
    pacs().insertSeries("S-L2", "L2", "20240302");
    ASSERT_EQ(nameNewRows(sets_, pacs().path()), QString());
    const struct {
        const char* typed;
        QStringList series;
    } cases[] = {
        {"jean", {"S-P001"}},
        {"JEAN", {"S-P001"}},
        {"dupont jean", {"S-P001"}},
        {"DUPONT^JEAN", {"S-P001"}},
        {"ean", {}},
        {"*ean", {"S-P001"}},
        {"j?an", {"S-P001"}},
        {"p", {"S-P003", "S-O'B1"}},
        {"lefevre", {"S-L1"}},
        {"LÉFÈVRE", {"S-L1"}},
        {"sophie", {"S-L1"}},
        {"anne-so", {"S-L1"}},
        {"coeur", {"S-L2"}},
        {"elodie", {"S-L2"}},
        {"ÉLODIE", {"S-L2"}},
        {"emile", {"S-P004"}},
        {"brien", {"S-O'B1"}},
        {"o'b", {"S-O'B1"}},
        {"zz", {}},
        {"_", {}},
        {"' OR 1=1 --", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        QStringList found = column(sql::seriesByPatientName(QString::fromUtf8(c.typed)), "SeriesInst");
        found.sort();
        QStringList wanted = c.series;
        wanted.sort();
        EXPECT_EQ(found, wanted);
    }
}

// Both engines compute a name's search words as the program does, so the
// pattern the program folds meets names folded the same way.
TEST_P(Queries, EngineSearchWordsMatchTheProgramsOwn)
{
    const QStringList names{QString::fromUtf8("ŁUKASZ^ŻÓŁW"), QString::fromUtf8("ØSTERGAARD^SØREN"),
        QString::fromUtf8("STRAßE^ÅSA"), QString::fromUtf8("ÆBLE^Œil"), QString::fromUtf8("MÜLLER-ÇAĞLAR"),
        QString::fromUtf8("D'ARC.JEANNE,ÿ"), QStringLiteral("plain^ascii")};
    for (int i = 0; i < names.size(); ++i) {
        const QString uid = QStringLiteral("W%1").arg(i);
        pacs().insertSeries(uid, "NONE", "20240401");
        QSqlQuery name(pacs().db());
        name.prepare("UPDATE DICOMSeries SET PatientName = ? WHERE SeriesInst = ?");
        name.addBindValue(names[i]);
        name.addBindValue(uid);
        ASSERT_TRUE(name.exec()) << name.lastError().text().toStdString();
    }
    const QStringList words = column("SELECT SearchWords(PatientName) AS Words FROM DICOMSeries WHERE "
                                     "SeriesInst LIKE 'W*' ORDER BY SeriesInst",
        "Words");
    QStringList wanted;
    for (const QString& name : names)
        wanted << searchWords(name);
    EXPECT_EQ(words, wanted);
    EXPECT_EQ(searchWords(QString::fromUtf8("ŁUKASZ^ŻÓŁW")), QStringLiteral(" lukasz zolw"));
    EXPECT_EQ(column(sql::seriesByPatientName("zolw"), "SeriesInst"), QStringList({"W0"}));
}

// Digraphs, ligatures and the capital sharp s read as their letters on both
// engines, whichever form is typed or stored.
TEST_P(Queries, BothEnginesFindLigaturesAndDigraphsAlike)
{
    const char* names[] = {"ǅURIĆ^Ǆemal", "GROẞ^Hans", "strauß^anna", "ŒDIPE^Æsa", "NJEGOŠ^ǈiljana"};
    for (int i = 0; i < int(std::size(names)); ++i) {
        const QString uid = QStringLiteral("L%1").arg(i);
        pacs().insertSeries(uid, "NONE", "20240401");
        QSqlQuery name(pacs().db());
        name.prepare("UPDATE DICOMSeries SET PatientName = ? WHERE SeriesInst = ?");
        name.addBindValue(QString::fromUtf8(names[i]));
        name.addBindValue(uid);
        ASSERT_TRUE(name.exec()) << name.lastError().text().toStdString();
    }
    const struct {
        const char* typed;
        QStringList series;
    } cases[] = {
        {"ǅ", {"L0"}},
        {"Ǆ", {"L0"}},
        {"dzuric", {"L0"}},
        {"dž", {"L0"}},
        {"dzemal", {"L0"}},
        {"GROSS", {"L1"}},
        {"groß", {"L1"}},
        {"ẞ", {}},
        {"GROẞ", {"L1"}},
        {"strauss", {"L2"}},
        {"STRAUẞ", {"L2"}},
        {"oedipe", {"L3"}},
        {"Œ", {"L3"}},
        {"œdipe", {"L3"}},
        {"aesa", {"L3"}},
        {"Æ", {"L3"}},
        {"njegos", {"L4"}},
        {"ljiljana", {"L4"}},
        {"Ǉ", {"L4"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        QStringList found = column(sql::seriesByPatientName(QString::fromUtf8(c.typed)), "SeriesInst");
        found.sort();
        EXPECT_EQ(found, c.series);
    }
}

// The lists read what tells one patient's exams of a day apart: time,
// modality and description of the series (or of its study), the patient's
// identifier and birth date.
TEST_P(Queries, ListsReadTheColumnsThatTellExamsApart)
{
    pacs().exec("UPDATE DICOMPatients SET PatientBir = '19700215' WHERE PatientID = 'P001'");
    pacs().exec("INSERT INTO DICOMStudies (StudyInsta, StudyDescr, StudyTime) VALUES "
                "('ST-1', 'THORAX', '081500')");
    pacs().exec("UPDATE DICOMSeries SET StudyInsta = 'ST-1', SeriesTime = '091012.5', Modality = 'CT', "
                "SeriesDesc = 'POUMON 1mm' WHERE SeriesInst = 'S-P001'");
    for (const QString& jet : {sql::seriesBetween(QDate(2024, 1, 1), QDate(2024, 1, 1)),
             sql::seriesByPatientName("dupont j"), sql::seriesNotBurned()}) {
        SCOPED_TRACE(jet.toStdString());
        RecordSet set;
        set.setDatabasePath(pacs().path());
        set.setRecordSource(jet);
        ASSERT_TRUE(set.requery()) << set.lastError().toStdString();
        ASSERT_TRUE(set.findFirst("SeriesInst = 'S-P001'"));
        EXPECT_EQ(set.fieldText("PatientName"), QString("DUPONT JEAN"));
        EXPECT_EQ(set.fieldText("SeriesTime"), QString("091012.5"));
        EXPECT_EQ(set.fieldText("Modality"), QString("CT"));
        EXPECT_EQ(set.fieldText("SeriesDesc"), QString("POUMON 1mm"));
        EXPECT_EQ(set.fieldText("StudyDescr"), QString("THORAX"));
        EXPECT_EQ(set.fieldText("StudyTime"), QString("081500"));
        EXPECT_EQ(set.fieldText("SeriesPat"), QString("P001"));
        EXPECT_EQ(set.fieldText("PatientBir"), QString("19700215"));
        EXPECT_FALSE(set.fieldText("Compteur").isEmpty());
    }
}

TEST_P(Queries, PatientLookupMatchesTheWholeIdentifierExactly)
{
    EXPECT_TRUE(column(sql::patientById("P00*"), "PatientID").isEmpty());
    EXPECT_TRUE(column(sql::patientById("P00?"), "PatientID").isEmpty());
    EXPECT_TRUE(column(sql::patientById("p001"), "PatientID").isEmpty());
    EXPECT_EQ(column(sql::patientById("P001"), "PatientNam"), QStringList({"DUPONT^JEAN"}));
    EXPECT_EQ(column(sql::patientById("O'B1"), "PatientNam"), QStringList({"O'BRIEN^PAT"}));
    EXPECT_TRUE(column(sql::patientById("VexaConcept"), "PatientID").isEmpty());
    EXPECT_TRUE(column(sql::patientById("x' OR 'a'='a"), "PatientID").isEmpty());
}

// Values built to end their literal: a backslash before the quote (read as
// an escape by a PostgreSQL server with standard_conforming_strings off) and
// a lone surrogate before it (which swallows the next character when SQLite
// reads the statement). The server setting is off for the whole database.
TEST_P(Queries, HostileValuesFindNothingEvenWithBackslashEscapesOnTheServer)
{
    if (pacs().backend() == SqlBackend::Postgres) {
        pacs().exec("ALTER DATABASE " + pacs().scalar("SELECT current_database()").toString()
            + " SET standard_conforming_strings = off");
        closePacsConnection(pacs().path()); // the next session starts with the setting off
    }
    pacs().insertPatient("BK1", "BACK\\SLASH^ANNE");
    pacs().insertSeries("S-BK1", "BK1", "20240301");
    pacs().insertImage("S-BK1-1", "S-BK1", "BK1", "20240301");
    ASSERT_EQ(nameNewRows(sets_, pacs().path()), QString());

    const QString surrogate = QString(QChar(0xD800));
    for (const QString& end : {QStringLiteral("\\' OR 1=1 --"), "x" + surrogate + "' OR 1=1 --",
             surrogate + "' OR 'a'='a", "\\" + surrogate + "'')) OR 1=1 --"}) {
        SCOPED_TRACE(end.toStdString());
        EXPECT_TRUE(column(sql::seriesByUid(end), "SeriesInst").isEmpty());
        EXPECT_TRUE(column(sql::patientById(end), "PatientID").isEmpty());
        EXPECT_TRUE(column(sql::seriesByPatientName(end + "*"), "SeriesInst").isEmpty());
        EXPECT_TRUE(column(sql::imagesOfSeries(end), "SOPInstanc").isEmpty());
    }
    EXPECT_EQ(
        column(sql::seriesByPatientName("du*"), "SeriesInst").size(), 3); // LIKE ... ESCAPE still parses
    EXPECT_EQ(column(sql::seriesByPatientName("back\\*"), "PatientName"), QStringList({"BACK\\SLASH ANNE"}));
    EXPECT_EQ(column(sql::seriesByPatientName("back\\\\*"), "PatientName"), QStringList());
}

TEST_P(Queries, SeriesStudyImagesAndDeletion)
{
    pacs().exec("INSERT INTO DICOMStudies (StudyInsta, ReferPhysi) VALUES ('S-P001.study', 'DR HOUSE')");
    EXPECT_EQ(column(sql::studyByUid("S-P001.study"), "ReferPhysi"), QStringList({"DR HOUSE"}));
    EXPECT_EQ(column(sql::seriesByUid("S-O'B1"), "PatientName"), QStringList({"O'BRIEN PAT"}));
    EXPECT_EQ(column(sql::imagesOfSeries("S-P002"), "SOPInstanc"),
        QStringList({"S-P002-1", "S-P002-2", "S-P002-3"}));
    EXPECT_EQ(column(sql::imagesNotPrinted(), "SOPInstanc").size(), 18);

    ASSERT_FALSE(execJet(pacs().db(), sql::deleteImagesOfSeries("S-O'B1")).isValid());
    ASSERT_FALSE(execJet(pacs().db(), sql::deleteSeries("S-O'B1")).isValid());
    EXPECT_TRUE(column(sql::imagesOfSeries("S-O'B1"), "SOPInstanc").isEmpty());
    EXPECT_EQ(column(sql::seriesNotBurned(), "SeriesInst").size(), 6);
    ASSERT_FALSE(execJet(pacs().db(), sql::markAllSeriesBurned()).isValid());
    EXPECT_TRUE(column(sql::seriesNotBurned(), "SeriesInst").isEmpty());
    EXPECT_EQ(pacs().scalar("SELECT MIN(Burned) FROM DICOMSeries").toInt(), -1);
}

TEST_P(Queries, CounterTableQueries)
{
    for (int n = 1; n <= 3; ++n)
        pacs().exec(QStringLiteral("INSERT INTO DICOMWLCompteur (Numero) VALUES (%1)").arg(n));
    ASSERT_FALSE(execJet(pacs().db(), sql::deleteWorkListCompteursBelow(3)).isValid());
    EXPECT_EQ(column(sql::workListCompteurs(), "Numero"), QStringList({"3"}));
    EXPECT_TRUE(column(sql::compteurs(), "Numero").isEmpty());
}

TEST_P(Queries, RecordSetNavigatesWithBeginningAndEndTests)
{
    RecordSet set;
    set.setDatabasePath(pacs().path());
    set.setRecordSource(sql::imagesOfSeries("S-P001"));
    ASSERT_TRUE(set.requery());
    EXPECT_EQ(set.count(), 3);
    EXPECT_EQ(set.currentRow(), 0);
    EXPECT_FALSE(set.bof());
    set.movePrevious();
    EXPECT_TRUE(set.bof());
    EXPECT_EQ(set.fieldText("SOPInstanc"), QString());
    set.moveLast();
    EXPECT_EQ(set.fieldText("sopinstanc"), QString("S-P001-3"));
    set.moveNext();
    EXPECT_TRUE(set.eof());
    set.movePrevious();
    EXPECT_EQ(set.fieldText("SOPInstanc"), QString("S-P001-3"));
    EXPECT_EQ(set.fieldText("PrintDate"), QString()); // null reads ""

    set.setRecordSource(sql::imagesOfSeries("none"));
    ASSERT_TRUE(set.requery());
    EXPECT_TRUE(set.eof());
    EXPECT_TRUE(set.bof());
    EXPECT_EQ(set.currentRow(), -1);

    set.setRecordSource(sql::imagesOfSeries("S-P001"));
    ASSERT_TRUE(set.requery());
    set.setRecordSource("SELECT * FROM NoSuchTable");
    EXPECT_FALSE(set.requery());
    EXPECT_FALSE(set.lastError().isEmpty());
    EXPECT_EQ(set.count(), 3); // a list refreshed in the background keeps its rows
    EXPECT_FALSE(set.requery(RecordSet::OnFailure::Empty));
    EXPECT_FALSE(set.lastError().isEmpty());
    EXPECT_EQ(set.count(), 0); // an opening or a search shows no stale rows
    EXPECT_EQ(set.currentRow(), -1);
}

TEST_P(Queries, RecordSetWritesBackByCompteurAndFinds)
{
    RecordSet set;
    set.setDatabasePath(pacs().path());
    set.setRecordSource(sql::imagesOfSeries("S-P002"));
    ASSERT_TRUE(set.requery());
    ASSERT_TRUE(set.findFirst("ObjectFile LIKE '*s-p002-2.V2'"));
    EXPECT_EQ(set.currentRow(), 1);
    const QString compteur = set.fieldText("Compteur");
    set.edit();
    ASSERT_TRUE(set.setField("Printed", true));
    ASSERT_TRUE(set.setField("PrintDate", QDateTime(QDate(2024, 3, 4), QTime(10, 30))));
    ASSERT_TRUE(set.update()) << set.lastError().toStdString();
    EXPECT_EQ(set.lastModified(), 1);
    EXPECT_TRUE(set.fieldBool("Printed"));

    ASSERT_TRUE(set.requery());
    EXPECT_EQ(set.currentRow(), 0);
    ASSERT_TRUE(set.findFirst("Compteur = " + compteur));
    EXPECT_EQ(set.field("Printed").toInt(), -1);
    EXPECT_EQ(set.fieldDate("PrintDate"), QDate(2024, 3, 4));
    const QString file = set.fieldText("ObjectFile");
    EXPECT_FALSE(
        set.findFirst("ObjectFile = '" + file.toLower() + "'")); // a key in another case is another key
    EXPECT_TRUE(set.findFirst("ObjectFile = '" + file + "'"));
    EXPECT_FALSE(set.findFirst("Compteur = 999999"));
    EXPECT_EQ(set.currentRow(), 1); // no match leaves the current row
    EXPECT_EQ(pacs().scalar("SELECT COUNT(*) FROM DICOMImages WHERE Printed <> 0").toInt(), 1);

    RecordSet patients;
    patients.setDatabasePath(pacs().path());
    patients.setRecordSource(sql::patientById("P001"));
    ASSERT_TRUE(patients.requery());
    patients.setField("PatientNam", "X");
    EXPECT_FALSE(patients.update()); // no Compteur: never written blindly
}

TEST_P(Queries, RecordSetIsAModelSharingItsCurrentRow)
{
    RecordSet set;
    set.setDatabasePath(pacs().path());
    set.setRecordSource(sql::seriesNotBurned());
    ASSERT_TRUE(set.requery());
    EXPECT_EQ(set.rowCount(), 7);
    const int nameColumn = set.columnNames().indexOf(
        QRegularExpression("patientname", QRegularExpression::CaseInsensitiveOption));
    ASSERT_GE(nameColumn, 0);
    EXPECT_EQ(set.data(set.index(0, nameColumn)).toString(), QString("DUPONT JEAN"));
    QSignalSpy moved(&set, &RecordSet::currentRowChanged);
    EXPECT_TRUE(set.goTo(3)); // a grid selecting row 3
    EXPECT_EQ(set.fieldText("SeriesInst"), QString("S-P004"));
    set.moveFirst();
    ASSERT_EQ(moved.count(), 2);
    EXPECT_EQ(moved.at(1).at(0).toInt(), 0);
    EXPECT_FALSE(set.goTo(7));
}

VEXA_BACKENDS(Queries);
