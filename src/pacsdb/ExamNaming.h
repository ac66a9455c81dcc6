#pragma once
// NameNewRows: completes the rows Conquest adds with a readable patient name and
// an exam date. Images are handled once (their Burned column marks them
// done); series until they hold a ScanDate, burned or not. A name an older
// version stored with U+FFFD is named again once per run.
#include "pacsdb/MainRecordSets.h"

#include <QStringList>
#include <functional>

namespace vexa {

// The exam date from a YYYYMMDD text; today when the text is empty or not a date.
QDate examDateOf(const QString& yyyymmdd, const QDate& today);

// The first of the YYYYMMDD texts that is a date; invalid when none is.
QDate firstExamDate(const QStringList& yyyymmddTexts);

// Runs the image pass then the series pass. A row gets the name of the
// patient whose identifier equals its own exactly (case and every character
// count), as users read it ("^" become blanks, Conquest's bytes decoded by
// DecodeStoredText) and, when it has no valid ScanDate, its own date, else its
// study's date, else its acquisition date, else today. Rows are read and
// worked out first, then stored in short batches, so the write lock is only
// taken when there is something to store and never held for long. A failure
// (a lookup, a write that reaches no row) ends the pass; rows not stored are
// handled again at the next run. Returns "" or the first failure's
// description.
QString nameNewRows(MainRecordSets& sets, const QString& conquestPath);

// Hears, after each stored batch, how many images the image pass has stored
// so far (0 during the series pass); false stops the naming there.
using NamingProgress = std::function<bool(qint64 imagesDone)>;

// The naming of a database that holds many rows never named, run on a
// worker at start-up: the same passes as NameNewRows, the series first so that
// the lists fill before the images are done. Rows that arrive meanwhile are
// left to the next NameNewRows. Returns "" or the first failure's description.
QString nameAtFirstStart(const QString& conquestPath, const NamingProgress& progress);

} // namespace vexa
