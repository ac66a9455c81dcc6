#pragma once
// Marks the images of a printed sheet as printed in DICOMImages.
#include <QDate>
#include <QString>
#include <QStringList>

namespace vexa {

class RecordSet;

// Reads the series' images into `conn` and gives every image whose ObjectFile
// equals one of `objectFiles` exactly (letter case included; "_" and "%" are
// plain characters) Printed = true and PrintDate = `day`. Answers how many
// images were written; `conn` is closed again.
int MarkImagesPrinted(RecordSet& conn, const QString& conquestPath, const QString& seriesUid,
    const QStringList& objectFiles, const QDate& day);

} // namespace vexa
