#pragma once
// Opening an exam from one of the first page's lists, without widgets: the
// images of the exam, their JPEG pictures, the fourteen thumbnails of the
// exam page, the series and study rows it shows, and the exam as a value.
#include "base/core/ThumbnailSink.h"
#include "pacsdb/ConquestQueries.h"
#include "pacsdb/Exam.h"
#include "pacsdb/MainRecordSets.h"

#include <functional>

namespace vexa {

constexpr int MainThumbnailCount = 14;

// Makes the JPEG pictures of a series' images in the database at
// `conquestPath` (off the user-interface thread, behind its waiting window);
// true when it succeeded.
using SeriesExporter = std::function<bool(const QString& conquestPath, const QString& seriesUid)>;

QString noImageText(); // "Cet examen ne contient pas d'images"
QString noExamSelectedText(); // the warning when page 2 is chosen before any exam
// What a list or an opening shows instead of its rows when the database
// failed to answer: the database's own description after a French line.
QString databaseFailureText(const QString& description);

// Fills the fourteen thumbnails from the image numbered `firstImage` (from 0),
// clearing all of them first; a missing picture stops the filling and
// visibility is left to the window.
void loadMainThumbnails(MainRecordSets& sets, const QString& conquestPath, const QString& conquestImagePath,
    ThumbnailSink& thumbnails, const QString& seriesUid, int firstImage);

// Opens the current row of `list` and answers the exam it opened. Shows the
// message and answers an invalid exam when there is no row, no series or no
// image, or when a query of the exam failed (the exam's record sets are then
// emptied, never left on another exam); the page is the caller's.
Exam openExam(MainRecordSets& sets, RecordSet& list, const QString& conquestPath,
    const QString& conquestImagePath, const SeriesExporter& exporter, ThumbnailSink& thumbnails);

// The page a page change ends on: page 2 needs an opened exam.
struct PageChange {
    bool warnNoExam = false; // show NoExamSelectedText()
    bool openOptions = false; // page 4: the options dialog, then page 1
    bool monitorRuns = true; // monitorTimer runs only on page 1
};
PageChange decidePageChange(int newPage, bool examOpen);

} // namespace vexa
