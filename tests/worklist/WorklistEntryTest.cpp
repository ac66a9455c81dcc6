// The NetPix console's line and file name, and the checks made before sending.
#include "WorklistEntry.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace vexa;

namespace {

WorklistEntry sampleEntry()
{
    WorklistEntry e;
    e.familyName = QStringLiteral("LEFÈVRE");
    e.firstName = QStringLiteral("Élodie");
    e.sex = QStringLiteral("F");
    e.patientNumber = QStringLiteral("VD000000012");
    e.birthDate = QStringLiteral("01/02/1965");
    e.performingPractitioner = QStringLiteral("Dr Müller");
    e.requestingPractitioner = QStringLiteral("Dr Müller");
    e.accessionNumber = QStringLiteral("VD000000345");
    e.sentAt = QDateTime(QDate(2026, 4, 3), QTime(9, 5, 42));
    return e;
}

} // namespace

// Windows-1252, ten fields and a final comma, CR LF, the time without seconds.
TEST(WorklistLine, BytesMatchTheConsoleFixture)
{
    QFile fixture(QStringLiteral(VEXA_WORKLIST_DATA_DIR "/netpix-line.txt"));
    ASSERT_TRUE(fixture.open(QIODevice::ReadOnly));
    EXPECT_EQ(WorklistLineBytes(sampleEntry()), fixture.readAll());
}

TEST(WorklistLine, NameIsCutTo64CharactersCountingTheCaret)
{
    WorklistEntry e = sampleEntry();
    e.familyName = QString(40, u'A');
    e.firstName = QString(30, u'B');
    const QString name = WorklistLine(e).section(u',', 0, 0);
    EXPECT_EQ(name, QString(40, u'A') + u'^' + QString(23, u'B'));
    EXPECT_EQ(WorklistPatientName(QStringLiteral("DURAND"), QStringLiteral("MARIE")), "DURAND^MARIE");
}

// A comma or a line break typed in a field must not shift the fields the console reads.
TEST(WorklistLine, SeparatorsInsideFieldsBecomeBlanks)
{
    WorklistEntry e = sampleEntry();
    e.performingPractitioner = QStringLiteral("Martin, Jean");
    e.familyName = QStringLiteral("DU\r\nPONT");
    const QString line = WorklistLine(e);
    EXPECT_EQ(line.count(u','), 10);
    EXPECT_EQ(line.count(QStringLiteral("\r\n")), 1);
    EXPECT_EQ(line.section(u',', 4, 4), QStringLiteral("Martin  Jean"));
    // A character outside the code page is written as "?", never dropped.
    e = sampleEntry();
    e.firstName = QStringLiteral("Łucja");
    EXPECT_TRUE(WorklistLineBytes(e).startsWith(QByteArray("LEF\xC8VRE^?ucja,")));
}

TEST(WorklistFile, NamedAfterTheLastFourCharactersOfTheAccessionNumber)
{
    EXPECT_EQ(WorklistFilePath(QStringLiteral("/mnt/netpix/"), QStringLiteral("VD000012345")),
        QStringLiteral("/mnt/netpix/FUJI2345.txt"));
    EXPECT_EQ(WorklistFilePath(QStringLiteral("/mnt/netpix/"), QStringLiteral("VD000002345")),
        WorklistFilePath(QStringLiteral("/mnt/netpix/"), QStringLiteral("VD000012345")));
}

TEST(WorklistCheck, RequiredFieldsAndATenCharacterBirthDate)
{
    struct Case {
        const char* family;
        const char* first;
        const char* birth;
        EntryCheck expected;
    };
    const Case cases[] = {
        {"DURAND", "MARIE", "01/02/1965", EntryCheck::Ready},
        {"DURAND", "MARIE", "1/2/1965", EntryCheck::BadBirthDate}, // a date, but eight characters
        {"DURAND", "MARIE", " 1/02/1965", EntryCheck::BadBirthDate},
        {"DURAND", "MARIE", "31/02/1965", EntryCheck::BadBirthDate},
        {"DURAND", "MARIE", "1965-02-01", EntryCheck::BadBirthDate},
        {"DURAND", "MARIE", "", EntryCheck::MissingField},
        {"DURAND", "", "01/02/1965", EntryCheck::MissingField},
        {"", "MARIE", "01/02/1965", EntryCheck::MissingField},
    };
    for (const Case& c : cases)
        EXPECT_EQ(
            CheckEntry(QString::fromUtf8(c.family), QString::fromUtf8(c.first), QString::fromUtf8(c.birth)),
            c.expected)
            << c.family << " / " << c.first << " / " << c.birth;
}
