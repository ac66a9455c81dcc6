// Every pixel shown comes from the file: each corpus and fixture file is
// decoded by a helper process twice, its memory filled with a different
// pattern each time (the C library fills every allocation when asked), and
// the two runs must agree on every image, frame and picture.
#include "DicomFixtures.h"
#include "HostileFiles.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vexa;

namespace {

QStringList filesUnder(const QString& folder)
{
    QStringList out;
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files, QDir::Name))
        out << dir.filePath(name);
    return out;
}

// The helper's digest lines, one a file, with every allocation filled with `pattern`.
QStringList digests(const QStringList& files, int pattern)
{
    QProcess helper;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("GLIBC_TUNABLES"),
        QStringLiteral("glibc.malloc.tcache_count=0:glibc.malloc.perturb=%1").arg(pattern));
    helper.setProcessEnvironment(environment);
    helper.start(QStringLiteral(VEXA_DECODE_DIGEST), files);
    if (!helper.waitForFinished(300000) || helper.exitCode() != 0)
        return {};
    return QString::fromLocal8Bit(helper.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
}

TEST(TwoFill, everyDecodedPixelComesFromTheFile)
{
    const QString source = qEnvironmentVariable("VEXA_SOURCE_DIR");
    QStringList files = filesUnder(fixtures::pydicomFile({}));
    files << filesUnder(QStringLiteral("/usr/lib/python3/dist-packages/pydicom/data/charset_files"));
    for (const char* folder : {"/tests/dicom/fixtures", "/tests/dicom/fuzz/corpus/display",
             "/tests/dicom/fuzz/corpus/export", "/tests/dicom/fuzz/crashes"})
        files << filesUnder(source + QString::fromLatin1(folder));
    QTemporaryDir dir;
    for (const hostile::NamedFile& file : hostile::untrustedFiles()) {
        ASSERT_TRUE(hostile::writeFile(dir.filePath(file.name), file.bytes));
        files << dir.filePath(file.name);
    }
    ASSERT_GT(files.size(), 300);

    const QStringList first = digests(files, 0x55), second = digests(files, 0xAA);
    ASSERT_EQ(first.size(), files.size());
    ASSERT_EQ(second.size(), files.size());
    QStringList differing;
    for (qsizetype i = 0; i < files.size(); ++i) {
        if (first[i] != second[i])
            differing << files[i];
    }
    EXPECT_TRUE(differing.isEmpty()) << "pixels from memory, not the file, in:\n"
                                     << differing.join('\n').toStdString();
}

} // namespace
