// The ".dgr" measurement file: exact bytes, round trip, and damaged files.
#include "viewer/measure/DgrFile.h"
#include "base/core/Windows1252.h"
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace vexa;

namespace {

void appendInt16(QByteArray& bytes, int16_t value)
{
    bytes.append(char(value & 0xFF));
    bytes.append(char((value >> 8) & 0xFF));
}

QByteArray paddedLabel(const QByteArray& windows1252)
{
    return windows1252.leftJustified(128, ' ');
}

// Bytes of one record written out field by field, independently of the encoder.
QByteArray recordBytes(int16_t kind, std::array<int16_t, 8> points, const QByteArray& label)
{
    QByteArray bytes;
    appendInt16(bytes, kind);
    for (int16_t p : points)
        appendInt16(bytes, p);
    bytes.append(QByteArray(16, '\0')); // reserved
    bytes.append(paddedLabel(label));
    appendInt16(bytes, 0); // tail
    return bytes;
}

QByteArray emptyRecord()
{
    return recordBytes(0, {}, "");
}

// Graphic 1 a distance, graphic 3 a text with accented and euro characters,
// graphic 50 an angle whose label ends in a blank; the others free.
QByteArray fixtureBytes()
{
    QByteArray bytes = recordBytes(1, {-3, 4, 300, 1024, 0, 0, 0, 0}, "2,50 mm");
    bytes += emptyRecord();
    bytes += recordBytes(5, {12, 34, 18, 0, 0, 0, 0, 0}, "Couch\xE9 5\x80");
    for (int i = 4; i <= 49; ++i)
        bytes += emptyRecord();
    bytes += recordBytes(2, {110, 105, 100, 100, 100, 100, 97, 107}, " 86,63 \xB0");
    return bytes;
}

MeasurementTable fixtureTable()
{
    MeasurementTable table;
    table[1].kind = MeasurementKind::Distance;
    table[1].x1 = -3, table[1].y1 = 4, table[1].x2 = 300, table[1].y2 = 1024;
    table[1].label = QStringLiteral("2,50 mm");
    table[3].kind = MeasurementKind::Text;
    table[3].x1 = 12, table[3].y1 = 34, table[3].x2 = 18;
    table[3].label = QStringLiteral("Couché 5€");
    table[50].kind = MeasurementKind::VertexAngle;
    table[50].x1 = 110, table[50].y1 = 105, table[50].x2 = 100, table[50].y2 = 100;
    table[50].x3 = 100, table[50].y3 = 100, table[50].x4 = 97, table[50].y4 = 107;
    table[50].label = QStringLiteral(" 86,63 °"); // the trailing blank is padding on disk
    return table;
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

TEST(DgrFile, FixtureBytesMatchTheTableBothWays)
{
    const QByteArray fixture = fixtureBytes();
    ASSERT_EQ(fixture.size(), 8200);
    EXPECT_EQ(encodeMeasurementTable(fixtureTable()).toHex(' '), fixture.toHex(' '));
    EXPECT_EQ(decodeMeasurementTable(fixture), fixtureTable());
}

TEST(DgrFile, FileWrittenBesideTheImageReadsBackUnchanged)
{
    QTemporaryDir dir;
    const QString image = dir.filePath(QStringLiteral("PAT001/1.2.3_0002.dcm"));
    ASSERT_TRUE(QDir().mkpath(dir.filePath(QStringLiteral("PAT001"))));

    ASSERT_TRUE(writeMeasurementFile(image, fixtureTable()));
    EXPECT_EQ(readAll(image + ".dgr"), fixtureBytes());
    EXPECT_EQ(readMeasurementFile(image), fixtureTable());
}

TEST(DgrFile, EmptyTableOverwritesAnExistingFileWith8200Bytes)
{
    QTemporaryDir dir;
    const QString image = dir.filePath(QStringLiteral("x.v2"));
    writeAll(image + ".dgr", fixtureBytes() + QByteArray(300, 'x'));

    ASSERT_TRUE(writeMeasurementFile(image, MeasurementTable{}));
    QByteArray expected;
    for (int i = 0; i < 50; ++i)
        expected += emptyRecord();
    EXPECT_EQ(readAll(image + ".dgr"), expected);
}

TEST(DgrFile, MissingFileGivesAnEmptyTableAndAnUnwritableOneFails)
{
    QTemporaryDir dir;
    EXPECT_EQ(readMeasurementFile(dir.filePath(QStringLiteral("none.v2"))), MeasurementTable{});
    EXPECT_FALSE(writeMeasurementFile(dir.filePath(QStringLiteral("no/such/folder/x.v2")), fixtureTable()));
}

// A FIFO named like the measurement file would block an open for ever (no
// writer, no reader): it is neither read nor written, and stays as it was.
TEST(DgrFile, FifoInPlaceOfTheFileIsNeitherReadNorWritten)
{
    QTemporaryDir dir;
    const QString image = dir.filePath(QStringLiteral("1.v2"));
    ASSERT_EQ(mkfifo(QFile::encodeName(image + ".dgr").constData(), 0600), 0);
    EXPECT_EQ(readMeasurementFile(image), MeasurementTable{});
    EXPECT_FALSE(writeMeasurementFile(image, fixtureTable()));
    EXPECT_FALSE(QFileInfo(image + ".dgr").isFile());
}

// Runs a check without the super-user's right to write anywhere: in a child
// process under "nobody" when the tests run as root.
bool asOrdinaryUser(const std::function<bool()>& check)
{
    if (geteuid() != 0)
        return check();
    const pid_t child = fork();
    if (child == 0) {
        const bool dropped = setgid(65534) == 0 && setuid(65534) == 0;
        _exit(dropped && check() ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// A read-only image folder takes no temporary file: a writable file there is
// overwritten in place; a read-only file in it cannot be saved and says so.
TEST(DgrFile, ReadOnlyFolderFallsBackToWritingTheFileInPlace)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("store"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString writable = folder + QStringLiteral("/a.v2"), locked = folder + QStringLiteral("/b.v2");
    writeAll(writable + ".dgr", QByteArray(DgrFileSize, '\0'));
    writeAll(locked + ".dgr", QByteArray(DgrFileSize, '\0'));
    QFile::setPermissions(
        writable + ".dgr", QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther | QFile::WriteOther);
    QFile::setPermissions(locked + ".dgr", QFile::ReadOwner | QFile::ReadOther);
    const auto readAndEnter = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther;
    QFile::setPermissions(dir.path(), readAndEnter | QFile::WriteOwner);
    QFile::setPermissions(folder, readAndEnter);

    EXPECT_TRUE(asOrdinaryUser([&] { return writeMeasurementFile(writable, fixtureTable()); }));
    EXPECT_EQ(readAll(writable + ".dgr"), fixtureBytes());
    EXPECT_TRUE(asOrdinaryUser([&] { return !writeMeasurementFile(locked, fixtureTable()); }));
    EXPECT_EQ(readAll(locked + ".dgr"), QByteArray(DgrFileSize, '\0'));
    QFile::setPermissions(folder, readAndEnter | QFile::WriteOwner);
}

// A label padded with NULs (or blanks then NULs) by another workstation reads
// as its text and is written back byte for byte; a label changed in memory is
// written anew, blank padded.
TEST(DgrFile, StoredLabelsKeepTheirBytesUnlessChanged)
{
    const QByteArray nulPadded = QByteArray("Face").leftJustified(128, '\0');
    const QByteArray mixed = QByteArray("36,06 mm  ").leftJustified(128, '\0');
    QByteArray file = recordBytes(5, {10, 20, 12, 0, 0, 0, 0, 0}, nulPadded)
        + recordBytes(1, {1, 2, 3, 4, 0, 0, 0, 0}, mixed)
        + recordBytes(5, {1, 1, 12, 0, 0, 0, 0, 0}, nulPadded);
    for (int i = 3; i < 50; ++i)
        file += emptyRecord();
    ASSERT_EQ(file.size(), DgrFileSize);

    MeasurementTable table = decodeMeasurementTable(file);
    EXPECT_EQ(table[1].label, QStringLiteral("Face"));
    EXPECT_EQ(table[2].label, QStringLiteral("36,06 mm"));
    EXPECT_EQ(encodeMeasurementTable(table).toHex(' '), file.toHex(' '));

    table[3].label = QStringLiteral("Profil");
    const QByteArray written = encodeMeasurementTable(table);
    EXPECT_EQ(written.mid(2 * DgrRecordSize + 34, 128), QByteArray("Profil").leftJustified(128, ' '));
    EXPECT_EQ(written.left(2 * DgrRecordSize), file.left(2 * DgrRecordSize));
}

TEST(DgrFile, DamagedFilesKeepTheirValidRecords)
{
    const QByteArray fixture = fixtureBytes();
    QByteArray unknownKind = fixture;
    unknownKind[2 * 164] = 9; // graphic 3 gets a kind no workstation writes

    MeasurementTable firstOnly;
    firstOnly[1] = fixtureTable()[1];
    MeasurementTable withoutText = fixtureTable();
    withoutText[3] = {};

    struct Case {
        const char* name;
        QByteArray bytes;
        MeasurementTable expected;
    };
    const Case cases[] = {
        {"empty", {}, {}},
        {"cut inside record 2", fixture.left(164 + 100), firstOnly},
        {"cut inside record 1", fixture.left(100), {}},
        {"longer than 50 records", fixture + QByteArray(500, '\x05'), fixtureTable()},
        {"unknown kind", unknownKind, withoutText},
    };
    QTemporaryDir dir;
    for (const Case& c : cases) {
        const QString image = dir.filePath(QString::fromLatin1(c.name));
        writeAll(image + ".dgr", c.bytes);
        EXPECT_EQ(readMeasurementFile(image), c.expected) << c.name;
    }
}

TEST(DgrFile, LabelsOutsideTheCodePageAreWrittenAsQuestionMarksAndCutTo128)
{
    EXPECT_EQ(toWindows1252(QStringLiteral("é°Ω😀")), QByteArray("\xE9\xB0??"));
    EXPECT_EQ(fromWindows1252(QByteArray("\x80\x81\xE9")), QStringLiteral("€\u0081é"));

    MeasurementTable table;
    table[1].kind = MeasurementKind::Text;
    table[1].label = QString(200, QLatin1Char('a'));
    const QByteArray bytes = encodeMeasurementTable(table);
    EXPECT_EQ(bytes.size(), 8200);
    EXPECT_EQ(decodeMeasurementTable(bytes)[1].label, QString(128, QLatin1Char('a')));
}
