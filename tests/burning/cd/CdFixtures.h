#pragma once
// Test helpers for the CD: a folder of small generated images, converters
// that fail on chosen images, and dciodvfy's errors on a file.
#include "burning/cd/CdPreparation.h"
#include "burning/export/ImageConverters.h"

#include <QStringList>
#include <QTemporaryDir>
#include <ostream>

// Readable QString values in failure messages. A test that also includes
// PacsTestDb.h (which prints them the same way) defines
// VEXA_TEST_PRINTS_QSTRING first.
#ifndef VEXA_TEST_PRINTS_QSTRING
#define VEXA_TEST_PRINTS_QSTRING
inline void printTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}
#endif
inline void printTo(const QStringList& list, std::ostream* out)
{
    *out << "{\"" << list.join("\", \"").toStdString() << "\"}";
}

namespace vexa::test {

// Images of a few pixels written in `folder`: ".v2" bare data sets and ".dcm"
// files in turn, each with a distinct pixel pattern. Returns their paths.
QStringList writeStoreImages(const QString& folder, int count);

// The real converters, except that the images listed in `failDicom` get no
// DICOM file and those in `failPictures` no pictures.
class FailingConverters : public DcmtkImageConverters {
public:
    QStringList failDicom;
    QStringList failPictures;
    DicomResult makePreviewPicture(const QString& imagePath) override;
    DicomResult makeFullSizePicture(const QString& imagePath) override;
    DicomResult makeStandardDicomFile(const QString& imagePath, const QString& targetPath) override;
};

// Converters that write a few bytes instead of images: for trees of many
// images where only the names matter.
class TinyConverters : public ImageConverters {
public:
    DicomResult makePreviewPicture(const QString& imagePath) override;
    DicomResult makeFullSizePicture(const QString& imagePath) override;
    DicomResult makeStandardDicomFile(const QString& imagePath, const QString& targetPath) override;
    DicomResult makeDicomDir(
        const QString& dicomDirPath, const QString& fileSetId, const QString& folder) override;
};

// A CD folder and a DICOM export folder in a temporary folder.
struct CdFolders {
    QTemporaryDir dir;
    CdWorkFolders folders{dir.filePath("ToBurn.tmp"), dir.filePath("DCM")};
    QString cd(const QString& relative) const { return folders.cdFolder + "/" + relative; }
};

// The lines of dciodvfy's output on `path` that report an error; one line
// saying so when dciodvfy is missing.
QStringList dciodvfyErrors(const QString& path);

} // namespace vexa::test
