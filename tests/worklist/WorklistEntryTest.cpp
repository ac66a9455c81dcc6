// The NetPix console's line and file name, and the checks made before sending.
#include "worklist/WorklistEntry.h"

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
    EXPECT_EQ(worklistLineBytes(sampleEntry()), fixture.readAll());
}

TEST(WorklistLine, NameIsCutTo64CharactersCountingTheCaretAndKeepsTheFirstName)
{
    WorklistEntry e = sampleEntry();
    e.familyName = QString(40, u'A');
    e.firstName = QString(30, u'B');
    const QString name = worklistLine(e).section(u',', 0, 0);
    EXPECT_EQ(name, QString(40, u'A') + u'^' + QString(23, u'B'));
    EXPECT_EQ(worklistPatientName(QStringLiteral("DURAND"), QStringLiteral("MARIE")), "DURAND^MARIE");
    // A family name of 64 characters or more leaves room for the first name.
    EXPECT_EQ(worklistPatientName(QString(70, u'A'), QStringLiteral("MARIE")), QString(58, u'A') + "^MARIE");
    EXPECT_EQ(worklistPatientName(QString(70, u'A'), QString(30, u'B')),
        QString(47, u'A') + u'^' + QString(16, u'B'));
}

// NUL, TAB, Ctrl-Z and line breaks typed or pasted anywhere never reach the
// console's line: it keeps its ten fields on one line, even 10 KB long.
TEST(WorklistLine, ControlCharactersNeverReachTheLine)
{
    const QString hostile[] = {QStringLiteral("A\tB"), QStringLiteral("A") + QChar(0) + QStringLiteral("B"),
        QStringLiteral("A\x1a"
                       "B"),
        QStringLiteral("A\r\nB"),
        QStringLiteral("A\x7f"
                       "B"),
        QString(10240, u'X') + QStringLiteral("\n")};
    for (const QString& text : hostile) {
        WorklistEntry e = sampleEntry();
        e.familyName = e.firstName = e.performingPractitioner = e.requestingPractitioner = text;
        const QByteArray bytes = worklistLineBytes(e);
        EXPECT_EQ(bytes.count(','), 10);
        EXPECT_TRUE(bytes.endsWith(",\r\n"));
        for (const char c : bytes.chopped(2))
            EXPECT_GE(static_cast<unsigned char>(c), 0x20) << text.left(8).toStdString();
    }
}

TEST(WorklistPractitioner, WrittenAsAPersonName)
{
    const struct {
        const char* typed;
        const char* personName;
    } cases[] = {
        {"Dr Blanc", "Blanc^^^Dr"},
        {"Dr MARTIN Jean", "MARTIN^Jean^^Dr"},
        {"Pr. Lefèvre Anne-Sophie", "Lefèvre^Anne-Sophie^^Pr."},
        {"ROUX", "ROUX"},
        {"  Roux   Paul ", "Roux^Paul"},
        {"Dr", "Dr"},
        {"ROUX^PAUL", "ROUX^PAUL"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(practitionerPersonName(QString::fromUtf8(c.typed)), QString::fromUtf8(c.personName))
            << c.typed;
    EXPECT_EQ(practitionerPersonName(QString(100, u'M')).size(), 64);
}

// A comma or a line break typed in a field must not shift the fields the console reads.
TEST(WorklistLine, SeparatorsInsideFieldsBecomeBlanks)
{
    WorklistEntry e = sampleEntry();
    e.performingPractitioner = QStringLiteral("Martin, Jean");
    e.familyName = QStringLiteral("DU\r\nPONT");
    const QString line = worklistLine(e);
    EXPECT_EQ(line.count(u','), 10);
    EXPECT_EQ(line.count(QStringLiteral("\r\n")), 1);
    EXPECT_EQ(line.section(u',', 4, 4), QStringLiteral("Martin  Jean"));
    // A character outside the code page is written as "?", never dropped.
    e = sampleEntry();
    e.firstName = QStringLiteral("Łucja");
    EXPECT_TRUE(worklistLineBytes(e).startsWith(QByteArray("LEF\xC8VRE^?ucja,")));
}

TEST(WorklistFile, NamedAfterTheLastFourCharactersOfTheAccessionNumber)
{
    EXPECT_EQ(worklistFilePath(QStringLiteral("/mnt/netpix/"), QStringLiteral("VD000012345")),
        QStringLiteral("/mnt/netpix/FUJI2345.txt"));
    EXPECT_EQ(worklistFilePath(QStringLiteral("/mnt/netpix/"), QStringLiteral("VD000002345")),
        worklistFilePath(QStringLiteral("/mnt/netpix/"), QStringLiteral("VD000012345")));
}

TEST(WorklistCheck, RequiredFieldsAndABirthDateWithOrWithoutSlashes)
{
    struct Case {
        const char* family;
        const char* first;
        const char* birth;
        EntryCheck expected;
    };
    const Case cases[] = {
        {"DURAND", "MARIE", "01/02/1965", EntryCheck::Ready},
        {"DURAND", "MARIE", "12031965", EntryCheck::Ready},
        {"DURAND", "MARIE", " 12/03/1965 ", EntryCheck::Ready},
        {"DURAND", "MARIE", "31021965", EntryCheck::BadBirthDate},
        {"DURAND", "MARIE", "1231965", EntryCheck::BadBirthDate},
        {"DURAND", "MARIE", "1/2/1965", EntryCheck::BadBirthDate}, // a date, but eight characters
        {"DURAND", "MARIE", " 1/02/1965", EntryCheck::BadBirthDate},
        {"DURAND", "MARIE", "31/02/1965", EntryCheck::BadBirthDate},
        {"DURAND", "MARIE", "1965-02-01", EntryCheck::BadBirthDate},
        {"DURAND", "MARIE", "", EntryCheck::MissingField},
        {"DURAND", "", "01/02/1965", EntryCheck::MissingField},
        {"", "MARIE", "01/02/1965", EntryCheck::MissingField},
        // "\\" would split the name into two values of the DICOM item.
        {"DU\\RAND", "MARIE", "01/02/1965", EntryCheck::BadCharacter},
        {"DURAND", "MA\tRIE", "01/02/1965", EntryCheck::BadCharacter},
        {"DURAND\r\n", "MARIE", "01/02/1965", EntryCheck::BadCharacter},
        {"DURAND", "MARIE\x1a", "01/02/1965", EntryCheck::BadCharacter},
    };
    for (const Case& c : cases)
        EXPECT_EQ(
            checkEntry(QString::fromUtf8(c.family), QString::fromUtf8(c.first), QString::fromUtf8(c.birth)),
            c.expected)
            << c.family << " / " << c.first << " / " << c.birth;
}
