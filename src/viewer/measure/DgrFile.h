#pragma once
// The measurement file written beside each image: the image's full path with
// ".dgr" appended, 50 fixed records of 164 bytes, little-endian, which other
// workstations read too:
//   0 Kind, 2 X1 Y1 X2 Y2 X3 Y3 X4 Y4, 18 Reserved (8 x Int16),
//   34 Label (128 bytes, Windows-1252, blank padded), 162 Tail.
#include "viewer/measure/MeasurementTable.h"
#include <QByteArray>
#include <QString>

namespace vexa {

constexpr int DgrRecordSize = 164;
constexpr int DgrFileSize = DgrRecordSize * MeasurementTable::Size; // 8200

QString measurementFilePath(const QString& imagePath);

QByteArray encodeMeasurementTable(const MeasurementTable& table);
// Fills the table from the complete records present (at most 50). A short or
// long file loses only what is missing or extra; a record of an unknown kind
// stays a free slot.
MeasurementTable decodeMeasurementTable(const QByteArray& bytes);

// Reads the image's measurement file; no file (or an unreadable one) gives an
// empty table.
MeasurementTable readMeasurementFile(const QString& imagePath);
// Writes all 50 records through a temporary file renamed into place, so a
// crash never leaves half a file; in a folder that takes no new file, a
// writable existing file is overwritten in place. False when the file could
// not be written either way.
bool writeMeasurementFile(const QString& imagePath, const MeasurementTable& table);

} // namespace vexa
