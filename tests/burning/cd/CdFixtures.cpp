#include "CdFixtures.h"

#include "DicomFixtures.h"
#include "dicom/DicomWriter.h"
#include "pacsdb/ImageFiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

namespace vexa::test {

QStringList writeStoreImages(const QString& folder, int count)
{
    QDir().mkpath(folder);
    QStringList paths;
    const QString series = newDicomUid();
    for (int i = 0; i < count; ++i) {
        NewDicomImage image = fixtures::greyImage(
            24, 16, 12, false, [i](int c, int r) { return (c * 97 + r * 31 + i * 211) % 4096; });
        image.seriesInstanceUid = series;
        image.studyInstanceUid = series + ".1";
        image.instanceNumber = i + 1;
        const bool withMetaHeader = i % 2 == 1;
        const QString path
            = QStringLiteral("%1/IMG%2%3").arg(folder).arg(i + 1).arg(withMetaHeader ? ".dcm" : ".v2");
        writeDicomImage(image, path,
            withMetaHeader ? DicomFileLayout::WithMetaHeader : DicomFileLayout::BareImplicitLittle);
        paths << path;
    }
    return paths;
}

DicomResult FailingConverters::makePreviewPicture(const QString& imagePath)
{
    if (failPictures.contains(imagePath))
        return DicomResult::failure("aperçu impossible");
    return DcmtkImageConverters::makePreviewPicture(imagePath);
}

DicomResult FailingConverters::makeFullSizePicture(const QString& imagePath)
{
    if (failPictures.contains(imagePath))
        return DicomResult::failure("image impossible");
    return DcmtkImageConverters::makeFullSizePicture(imagePath);
}

DicomResult FailingConverters::makeStandardDicomFile(const QString& imagePath, const QString& targetPath)
{
    if (failDicom.contains(imagePath))
        return DicomResult::failure("image illisible");
    return DcmtkImageConverters::makeStandardDicomFile(imagePath, targetPath);
}

namespace {

DicomResult writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return DicomResult::failure("écriture impossible");
    return DicomResult::success();
}

} // namespace

DicomResult TinyConverters::makePreviewPicture(const QString& imagePath)
{
    return writeBytes(previewPicturePath(imagePath), imagePath.toUtf8() + " preview");
}

DicomResult TinyConverters::makeFullSizePicture(const QString& imagePath)
{
    return writeBytes(fullSizePicturePath(imagePath), imagePath.toUtf8() + " full");
}

DicomResult TinyConverters::makeStandardDicomFile(const QString& imagePath, const QString& targetPath)
{
    return writeBytes(targetPath, imagePath.toUtf8());
}

DicomResult TinyConverters::makeDicomDir(const QString& dicomDirPath, const QString&, const QString&)
{
    return writeBytes(dicomDirPath, "DICOMDIR");
}

QStringList dciodvfyErrors(const QString& path)
{
    const QString program = QStandardPaths::findExecutable("dciodvfy");
    if (program.isEmpty())
        return {"dciodvfy is missing (Debian package dicom3tools)"};
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, {path});
    process.waitForFinished(60000);
    QStringList errors;
    for (const QString& line : QString::fromLocal8Bit(process.readAll()).split('\n')) {
        if (line.startsWith("Error"))
            errors << line;
    }
    return errors;
}

} // namespace vexa::test
