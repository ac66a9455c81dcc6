// Patients as a French practice's Conquest stores them: the modality's bytes
// (Latin-1 for ISO_IR 100, UTF-8 for ISO_IR 192) and identifiers that differ
// only in case or hold the characters of patterns.
#include "PacsTestDb.h"
#include "pacsdb/ExamNaming.h"
#include "pacsdb/MainRecordSets.h"
#include "pacsdb/PacsUpgrade.h"
#include "pacsdb/QueryCatalogue.h"

#include <QSqlError>
#include <QSqlQuery>

using namespace vexa;
using namespace vexa::test;

namespace {

struct Engine {
    SqlBackend backend;
    const char* encoding; // of the PostgreSQL database
};

void PrintTo(const Engine& engine, std::ostream* out)
{
    *out << (engine.backend == SqlBackend::Sqlite ? "SQLite" : "PostgreSQL ") << engine.encoding;
}

std::string engineName(const ::testing::TestParamInfo<Engine>& info)
{
    return info.param.backend == SqlBackend::Sqlite ? "Sqlite"
                                                    : std::string("Postgres_") + info.param.encoding;
}

struct StoredPatient {
    const char* id;
    const char* name; // UTF-8 here; stored in the series' character set
    bool latin1; // an ISO_IR 100 series: Conquest stores Latin-1 bytes
    const char* listed; // the name the lists show
};

// Identifiers differing in case or holding "*", "?", "%" or "_" are other patients.
const StoredPatient kPatients[] = {
    {"ab123", "MÉNARD^Élodie", true, "MÉNARD Élodie"},
    {"AB123", "DUPONT^JEAN", true, "DUPONT JEAN"},
    {"X1?", "LEFÈVRE^Anne", true, "LEFÈVRE Anne"},
    {"X12", "GRAND^Paul", true, "GRAND Paul"},
    {"50%", "CENT^Pour", true, "CENT Pour"},
    {"50_", "TIRET^Bas", true, "TIRET Bas"},
    {"U8", "CŒUR^Anaïs", false, "CŒUR Anaïs"},
};

class Names : public ::testing::TestWithParam<Engine> {
protected:
    void SetUp() override
    {
        pacs_ = std::make_unique<PacsTestDb>(GetParam().backend, QString::fromLatin1(GetParam().encoding));
        ASSERT_TRUE(pacs_->ok()) << pacs_->error().toStdString();
        ASSERT_EQ(openAndUpgrade(pacs_->path()), QString());
    }

    bool latin1Server() const { return QByteArray(GetParam().encoding) == "LATIN1"; }

    // As Conquest stores it; a UTF8 PostgreSQL database refuses Latin-1
    // bytes, so there the modality's name only arrives in UTF-8.
    void storePatient(const StoredPatient& p)
    {
        const QString name = QString::fromUtf8(p.name);
        if (!pacs_->insertPatientBytes(p.id, p.latin1 ? name.toLatin1() : name.toUtf8())) {
            ASSERT_EQ(QByteArray(GetParam().encoding), "UTF8");
            ASSERT_TRUE(pacs_->insertPatientBytes(p.id, name.toUtf8()));
        }
    }

    QString listed(const StoredPatient& p) const
    {
        // A LATIN1 database cannot hold "Œ": the program writes the letters it reads as.
        QString listed = QString::fromUtf8(p.listed);
        return latin1Server() ? listed.replace(QStringLiteral("Œ"), QStringLiteral("OE")) : listed;
    }

    QStringList column(const QString& jet, const QString& column)
    {
        RecordSet set;
        set.setDatabasePath(pacs_->path());
        set.setRecordSource(jet);
        EXPECT_TRUE(set.requery()) << jet.toStdString() << ": " << set.lastError().toStdString();
        QStringList values;
        for (set.moveFirst(); !set.eof(); set.moveNext())
            values << set.fieldText(column);
        return values;
    }

    std::unique_ptr<PacsTestDb> pacs_;
    MainRecordSets sets_;
};

} // namespace

TEST_P(Names, EverySeriesGetsItsOwnPatientsNameAccentsIntact)
{
    for (const StoredPatient& p : kPatients) {
        storePatient(p);
        const QString uid = QStringLiteral("S-") + QString::fromLatin1(p.id);
        pacs_->insertSeries(uid, QString::fromLatin1(p.id), "20240301");
        pacs_->insertImage(uid + "-1", uid, QString::fromLatin1(p.id), "20240301");
    }
    ASSERT_EQ(nameNewRows(sets_, pacs_->path()), QString());

    for (const StoredPatient& p : kPatients) {
        const QString id = QString::fromLatin1(p.id);
        SCOPED_TRACE(p.id);
        const QString uid = QStringLiteral("S-") + id;
        EXPECT_EQ(column(sql::seriesByUid(uid), "PatientName"), QStringList{listed(p)});
        EXPECT_EQ(column(sql::imagesOfSeries(uid), "PatientName"), QStringList{listed(p)});
        // The report fields and the worklist read Conquest's own column.
        EXPECT_EQ(column(sql::patientById(id), "PatientNam"), QStringList{QString::fromUtf8(p.name)});
        EXPECT_EQ(column(sql::patientById(id), "PatientID"), QStringList{id});
    }
    EXPECT_TRUE(column(sql::patientById("Ab123"), "PatientID").isEmpty());
    EXPECT_TRUE(column(sql::patientById("X1*"), "PatientID").isEmpty());

    const struct {
        const char* typed;
        QStringList series;
    } searches[] = {
        {"ménard", {"S-ab123"}},
        {"MENARD", {"S-ab123"}},
        {"elodie", {"S-ab123"}},
        {"*NARD", {"S-ab123"}},
        {"lefevre", {"S-X1?"}},
        {"coeur", {"S-U8"}},
        {"CŒUR", {"S-U8"}},
        {"anaïs", {"S-U8"}},
    };
    for (const auto& s : searches) {
        SCOPED_TRACE(s.typed);
        EXPECT_EQ(column(sql::seriesByPatientName(QString::fromUtf8(s.typed)), "SeriesInst"), s.series);
    }
}

// A name stored with U+FFFD where an older version could not read Conquest's
// bytes is named again from Conquest's column.
TEST_P(Names, NameHoldingReplacementCharactersIsRepaired)
{
    if (latin1Server())
        GTEST_SKIP() << "a LATIN1 database cannot hold U+FFFD";
    storePatient(kPatients[0]);
    pacs_->insertSeries("S1", "ab123", "20240301");
    pacs_->insertImage("S1-1", "S1", "ab123", "20240301");
    // Named and dated by an older version: no pass would read them again.
    const QString broken = QStringLiteral("M\uFFFDNARD \uFFFDlodie");
    for (const QString& sql : {QStringLiteral("UPDATE DICOMSeries SET PatientName = ?, ScanDate = ?"),
             QStringLiteral("UPDATE DICOMImages SET PatientName = ?, ScanDate = ?, Burned = -1")}) {
        QSqlQuery query(pacs_->db());
        query.prepare(sql);
        query.addBindValue(broken);
        query.addBindValue(QDate(2024, 3, 1));
        ASSERT_TRUE(query.exec()) << query.lastError().text().toStdString();
    }
    ASSERT_EQ(nameNewRows(sets_, pacs_->path()), QString());
    EXPECT_EQ(column(sql::seriesByUid("S1"), "PatientName"), QStringList{"MÉNARD Élodie"});
    EXPECT_EQ(column(sql::imagesOfSeries("S1"), "PatientName"), QStringList{"MÉNARD Élodie"});
}

INSTANTIATE_TEST_SUITE_P(Engines, Names,
    ::testing::Values(Engine{SqlBackend::Sqlite, ""}, Engine{SqlBackend::Postgres, "UTF8"},
        Engine{SqlBackend::Postgres, "LATIN1"}),
    engineName);
