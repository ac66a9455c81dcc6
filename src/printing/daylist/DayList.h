#pragma once
// The day list: every image received on one day, from the PACS database, and
// the printed mark of an image written by its key. No widget.
#include "pacsdb/ExamWrites.h"
#include "pacsdb/RecordSet.h"

#include <QDate>
#include <QString>

namespace vexa {

// "Journée du DD/MM/YYYY".
QString dayTitle(const QDate& day);
// The message shown when the list cannot be read from the database.
QString dayListDatabaseErrorText();
// Shown when nothing waits to be printed.
QString nothingToPrintText();

class DayList {
public:
    explicit DayList(RecordSet& images)
        : images_(images)
    {
    }

    // Reads the images of `day` (ScanDate), by patient name then arrival.
    // False, the list unchanged, when the database cannot be read.
    bool showDay(const QDate& day, const QString& conquestPath);
    const QDate& day() const { return day_; }
    bool hasImages() const { return images_.count() > 0; }

    // Marks the image whose SOPInstanc is `sopInstance` printed on `printDay`,
    // once it is checked to be still there, then reads the list again with
    // that image current.
    ExamWrite markPrinted(const QString& sopInstance, const QDate& printDay);

private:
    RecordSet& images_;
    QDate day_;
};

// The images received on `day` and not printed yet, by patient, then series.
QString waitingImagesOfDaySql(const QDate& day);

// Whether images received on `day` wait to be printed; false when the
// database cannot be read.
bool hasImagesToPrint(const QString& conquestPath, const QDate& day);

} // namespace vexa
