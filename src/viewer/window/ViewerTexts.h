#pragma once
// Texts the viewer builds from the exam it shows.
#include <QColor>
#include <QString>
#include <cstdint>

namespace vexa {

// Label2: "Patient : <name> ; Date de l'examen : <date>", each part only
// when its value is not empty.
QString ViewerTitleLine(const QString& patientName, const QString& examDate);
// The printed caption, lines separated by "|": the letterhead line, the
// patient and the exam date, each only when not empty and each followed by "|".
QString ViewerPrintCaption(const QString& entete, const QString& patientName, const QString& examDate);
// A 24-bit colour value with red in the low byte.
QColor ColourFromValue(std::uint32_t value);

} // namespace vexa
