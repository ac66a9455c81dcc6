#include "DicomFixtures.h"
#include "dicom/DcmtkFileName.h"
#include "dicom/DicomCodecs.h"

#include <dcmtk/dcmdata/dcdeftag.h>
#include <dcmtk/dcmdata/dcdicdir.h>

#include <QFile>
#include <QProcess>

namespace vexa::fixtures {

namespace {

NewDicomImage identity()
{
    NewDicomImage image;
    image.patientName = QStringLiteral("LEFÈVRE^ÉLODIE");
    image.patientId = QStringLiteral("PAT001");
    image.studyInstanceUid = newDicomUid();
    image.seriesInstanceUid = newDicomUid();
    image.sopInstanceUid = newDicomUid();
    image.sopClassUid = sop_class::SecondaryCapture;
    image.modality = QStringLiteral("OT");
    image.studyDate = QStringLiteral("20240102");
    return image;
}

} // namespace

NewDicomImage greyImage(
    int columns, int rows, int bitsStored, bool signedPixels, const std::function<int(int, int)>& value)
{
    NewDicomImage image = identity();
    image.columns = columns;
    image.rows = rows;
    image.bitsStored = bitsStored;
    image.bitsAllocated = bitsStored > 8 ? 16 : 8;
    image.signedPixels = signedPixels;
    const int bytesPerSample = image.bitsAllocated / 8;
    image.pixelData.resize(columns * rows * bytesPerSample);
    auto* out = reinterpret_cast<unsigned char*>(image.pixelData.data());
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            const auto v = static_cast<std::uint16_t>(value(c, r));
            *out++ = static_cast<unsigned char>(v & 0xFF);
            if (bytesPerSample == 2)
                *out++ = static_cast<unsigned char>(v >> 8);
        }
    }
    return image;
}

NewDicomImage rgbImage(int columns, int rows)
{
    NewDicomImage image = identity();
    image.columns = columns;
    image.rows = rows;
    image.samplesPerPixel = 3;
    image.bitsAllocated = 8;
    image.bitsStored = 8;
    image.photometric = QStringLiteral("RGB");
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            image.pixelData.append(static_cast<char>(c))
                .append(static_cast<char>(r))
                .append(static_cast<char>(7));
    return image;
}

QString pydicomFile(const QString& name)
{
    return QStringLiteral("/usr/lib/python3/dist-packages/pydicom/data/test_files/") + name;
}

QString fixtureFile(const QString& name)
{
    return qEnvironmentVariable("VEXA_SOURCE_DIR") + QStringLiteral("/tests/dicom/fixtures/") + name;
}

bool runDcmtkTool(const QString& tool, const QStringList& arguments)
{
    QProcess process;
    process.start(tool, arguments);
    return process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit
        && process.exitCode() == 0;
}

bool copyWithElements(const QString& source, const QString& target, const QStringList& elements)
{
    QFile::remove(target);
    if (!QFile::copy(source, target))
        return false;
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
    QStringList arguments{QStringLiteral("-nb"), QStringLiteral("-q")};
    for (const QString& element : elements)
        arguments << QStringLiteral("-i") << element;
    return runDcmtkTool(QStringLiteral("dcmodify"), arguments << target);
}

namespace {

void collectImageFiles(DcmDirectoryRecord& record, QStringList& files)
{
    OFString fileId;
    if (record.getRecordType() == ERT_Image
        && record.findAndGetOFStringArray(DCM_ReferencedFileID, fileId).good())
        files << QString::fromLatin1(fileId.c_str()).replace(QLatin1Char('\\'), QLatin1Char('/'));
    for (unsigned long i = 0; i < record.cardSub(); ++i)
        collectImageFiles(*record.getSub(i), files);
}

} // namespace

QStringList dicomDirImageFiles(const QString& dicomDirPath)
{
    registerDicomCodecs();
    DcmDicomDir dicomDir(nativeName(dicomDirPath));
    QStringList files;
    if (dicomDir.error().bad())
        return files;
    collectImageFiles(dicomDir.getRootRecord(), files);
    return files;
}

} // namespace vexa::fixtures
