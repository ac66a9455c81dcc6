#pragma once
// Texts the viewer builds from the exam it shows.
#include <QString>

namespace vexa {

// The banner line: "Patient : <name> ; Date de l'examen : <date>", each part only
// when its value is not empty.
QString viewerTitleLine(const QString& patientName, const QString& examDate);
// The printed caption, lines separated by "|": the letterhead line, the
// patient and the exam date, each only when not empty and each followed by "|".
QString viewerPrintCaption(const QString& entete, const QString& patientName, const QString& examDate);

} // namespace vexa
