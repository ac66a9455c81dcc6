#pragma once
// Marks the images of a printed sheet as printed in DICOMImages.
#include <QDate>
#include <QString>
#include <QStringList>

namespace vexa {

// Reads the series' images and gives every image whose ObjectFile equals one
// of `objectFiles` exactly (letter case included; "_" and "%" are plain
// characters) Printed = true and PrintDate = `day`, each written by its
// SOPInstanc once it is found still there. Answers how many were written.
int markImagesPrinted(
    const QString& conquestPath, const QString& seriesUid, const QStringList& objectFiles, const QDate& day);

} // namespace vexa
