#pragma once
// The exam an action acts on, read as a value from the rows that show it, and
// the writes actions make on an exam or an image. Every write names the
// series or image by its UID and first checks that it is still there: another
// workstation may have deleted it, and a new series may now sit in its row.
// No widget.
#include "pacsdb/Exam.h"
#include "pacsdb/ExamWrites.h"
#include "pacsdb/MainRecordSets.h"

#include <QDate>
#include <QString>

namespace vexa {

// The opened exam from page 2's rows: the series row, its study, and the
// name and day of its first image (as page 2 shows them).
Exam examOfOpenedRows(const MainRecordSets& sets);

// The exam of the current row of an image list (the day list, a single image
// of page 2): its series, patient, name and acquisition day.
Exam examOfImageRow(const RecordSet& images);

// The referring physician of the study, as users read the name; "" when the
// study has none or cannot be read.
QString practitionerOf(const QString& conquestPath, const QString& studyUid);

// The ObjectFile of the series' first image (Compteur order); "" without one.
QString firstObjectFile(const QString& conquestPath, const QString& seriesUid);

// Reads the opened exam's images again (after something marked them printed
// or deleted one) and keeps the same image current when it is still there.
// Nothing happens when the list shows another exam than `exam`.
void rereadExamImages(RecordSet& examImages, const Exam& exam);

} // namespace vexa
