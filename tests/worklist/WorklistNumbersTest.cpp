// Patient and accession numbers drawn from the counter tables, on both
// backends: past the 16-bit range, at the nine-digit limit, and by two
// workstations at once.
#include "worklist/WorklistNumbers.h"
#include "WorklistTestSupport.h"
#include "worklist/WorklistSending.h"

#include "pacsdb/PacsConnection.h"
#include "pacsdb/QueryCatalogue.h"
#include "pacsdb/RecordSet.h"
#include "worklist/WorklistEntry.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>

using namespace vexa;
using namespace vexa::test;

namespace {

class WorklistNumbers : public WorklistDbTest { };

WorklistEntry newPatient(const QString& family)
{
    WorklistEntry e;
    e.familyName = family;
    e.firstName = QStringLiteral("MARIE");
    e.sex = QStringLiteral("F");
    e.patientNumber = NoPatientNumber;
    e.birthDate = QStringLiteral("01/02/1965");
    e.performingPractitioner = e.requestingPractitioner = QStringLiteral("Dr Roux");
    e.sentAt = QDateTime(QDate(2026, 4, 3), QTime(10, 0));
    return e;
}

} // namespace

// Counters seeded at 32766: the next three patients get 32767, 32768 and
// 32769 on nine digits, in the database and in the files written.
TEST_P(WorklistNumbers, CountersGoPast32767WithNineDigits)
{
    seedCounter(pacs(), QStringLiteral("DICOMCompteur"), 32766);
    seedCounter(pacs(), QStringLiteral("DICOMWLCompteur"), 32766);
    QTemporaryDir netpix;
    const WorklistTargets targets{pacs().path(), netpix.path() + u'/', QStringLiteral("VD"), {}};
    for (int n = 32767; n <= 32769; ++n) {
        WorklistEntry entry = newPatient(QStringLiteral("P%1").arg(n));
        const SendOutcome outcome = sendToWorklist(entry, targets);
        ASSERT_TRUE(outcome.sent) << outcome.error.toStdString();
        const QString number = QStringLiteral("VD0000%1").arg(n);
        EXPECT_EQ(entry.patientNumber, number);
        EXPECT_EQ(entry.accessionNumber, number);
        QFile file(netpix.filePath(QStringLiteral("FUJI%1.txt").arg(n % 10000, 4, 10, QLatin1Char('0'))));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QStringList fields = QString::fromLatin1(file.readAll()).split(u',');
        EXPECT_EQ(fields.value(2), number);
        EXPECT_EQ(fields.value(8), number);
    }
    // Each table keeps only its latest row.
    EXPECT_EQ(pacs().scalar("SELECT COUNT(*) FROM DICOMWLCompteur").toInt(), 1);
    EXPECT_EQ(pacs().scalar("SELECT Numero FROM DICOMWLCompteur").toLongLong(), 32769);
    EXPECT_EQ(pacs().scalar("SELECT Numero FROM DICOMCompteur").toLongLong(), 32769);
}

// A known patient keeps his number: only an accession number is drawn.
TEST_P(WorklistNumbers, KnownPatientKeepsHisNumber)
{
    QTemporaryDir netpix;
    WorklistEntry entry = newPatient(QStringLiteral("DURAND"));
    entry.patientNumber = QStringLiteral("PAT-4711");
    const SendOutcome outcome = sendToWorklist(entry, {pacs().path(), netpix.path() + u'/', "VD", {}});
    ASSERT_TRUE(outcome.sent) << outcome.error.toStdString();
    EXPECT_EQ(entry.patientNumber, QStringLiteral("PAT-4711"));
    EXPECT_EQ(entry.accessionNumber, QStringLiteral("VD000000001"));
    EXPECT_EQ(pacs().scalar("SELECT COUNT(*) FROM DICOMCompteur").toInt(), 0);
}

// Beyond nine digits the number is refused with a French reason, never wrapped or cut.
TEST_P(WorklistNumbers, NumberBeyondNineDigitsIsRefused)
{
    seedCounter(pacs(), QStringLiteral("DICOMWLCompteur"), LargestWorklistNumber - 1);
    QSqlDatabase db = pacsConnection(pacs().path());
    const DrawnNumber last = drawNumber(db, CounterTable::AccessionNumbers);
    ASSERT_TRUE(last.ok()) << last.error.toStdString();
    EXPECT_EQ(formatWorklistNumber(QStringLiteral("VD"), last.value), QStringLiteral("VD999999999"));

    const DrawnNumber beyond = drawNumber(db, CounterTable::AccessionNumbers);
    EXPECT_FALSE(beyond.ok());
    EXPECT_EQ(beyond.value, 0);
    EXPECT_TRUE(beyond.error.contains(QStringLiteral("neuf chiffres"))) << beyond.error.toStdString();
    EXPECT_TRUE(beyond.error.contains(QStringLiteral("numéro d'examen"))) << beyond.error.toStdString();
}

// Two workstations drawing 200 accession numbers each at the same moment:
// 400 different numbers.
TEST_P(WorklistNumbers, TwoWorkstationsNeverGetTheSameNumber)
{
    QTemporaryDir dir;
    const QString go = dir.filePath(QStringLiteral("go"));
    const int each = 200;
    QProcess drawers[2];
    for (QProcess& drawer : drawers) {
        drawer.setProcessChannelMode(QProcess::SeparateChannels);
        drawer.start(QStringLiteral(VEXA_NUMBER_DRAWER_PATH), {pacs().path(), QString::number(each), go});
        ASSERT_TRUE(drawer.waitForStarted());
    }
    QFile(go).open(QIODevice::WriteOnly);
    QSet<qint64> numbers;
    for (QProcess& drawer : drawers) {
        ASSERT_TRUE(drawer.waitForFinished(120000));
        EXPECT_EQ(drawer.exitCode(), 0) << drawer.readAllStandardError().toStdString();
        const QStringList lines = linesOf(drawer.readAllStandardOutput());
        EXPECT_EQ(lines.size(), each);
        for (const QString& line : lines)
            numbers.insert(line.toLongLong());
    }
    EXPECT_EQ(numbers.size(), 2 * each);
    EXPECT_FALSE(numbers.contains(0));
}

VEXA_BACKENDS(WorklistNumbers);

// The window opens on the patient as Conquest stored him: Latin-1 bytes of
// an ISO_IR 100 series read as such, and the identifier matched exactly.
TEST_P(WorklistNumbers, PatientFieldsReadConquestsBytes)
{
    // The test server's UTF8 database refuses Latin-1 bytes, as it refuses Conquest's insert.
    const QString name = QStringLiteral("MÉNARD^Élodie");
    ASSERT_TRUE(pacs().insertPatientBytes("ab123", name.toLatin1())
        || (pacs().backend() == SqlBackend::Postgres && pacs().insertPatientBytes("ab123", name.toUtf8())));
    ASSERT_TRUE(pacs().insertPatientBytes("AB123", QByteArray("DUPONT^JEAN")));
    RecordSet identities;
    identities.setDatabasePath(pacs().path());
    identities.setRecordSource(sql::patientById(QStringLiteral("ab123")));
    ASSERT_TRUE(identities.requery()) << identities.lastError().toStdString();
    const PatientFields fields = patientFieldsFromIdentity(identities);
    EXPECT_EQ(fields.familyName, QStringLiteral("MÉNARD"));
    EXPECT_EQ(fields.firstName, QStringLiteral("Élodie"));
    EXPECT_EQ(fields.patientNumber, QStringLiteral("ab123"));
}
