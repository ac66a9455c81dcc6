#pragma once
// The printed mark of one image, written by its key after checking the image
// is still there: another workstation may have deleted it, and a row number
// could by then name another patient's image.
#include <QDate>
#include <QString>

namespace vexa {

// Gives the image SOPInstanc Printed and PrintDate (`day`) in the database at
// conquestPath, on the calling thread's connection. False when the image is
// gone, the key is empty or the write failed.
bool MarkImagePrinted(const QString& conquestPath, const QString& sopInstance, const QDate& day);

} // namespace vexa
