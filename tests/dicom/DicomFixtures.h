#pragma once
// Small synthetic DICOM images for tests: each pixel's value is known.
#include "dicom/DicomWriter.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>

namespace vexa::fixtures {

// A monochrome image whose value at (c, r) is value(c, r), stored in 8 or 16 bits.
NewDicomImage greyImage(
    int columns, int rows, int bitsStored, bool signedPixels, const std::function<int(int, int)>& value);
// A colour image whose pixel (c, r) is (c, r, 7) as RGB.
NewDicomImage rgbImage(int columns, int rows);

QString pydicomFile(const QString& name);
// A file of tests/dicom/fixtures.
QString fixtureFile(const QString& name);

// Runs one of DCMTK's command-line tools (dcmodify, dcmconv, dcmcrle...) to
// edit or convert a file; true when it succeeded.
bool runDcmtkTool(const QString& tool, const QStringList& arguments);
// Copies `source` to `target` then sets the given elements ("tag=value").
bool copyWithElements(const QString& source, const QString& target, const QStringList& elements);

// The referenced file IDs of a DICOMDIR's image records ("DICOM/00000001"),
// "/" separated, in record order; empty when it cannot be read.
QStringList dicomDirImageFiles(const QString& dicomDirPath);

} // namespace vexa::fixtures
