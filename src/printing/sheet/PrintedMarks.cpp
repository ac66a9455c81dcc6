#include "printing/sheet/PrintedMarks.h"

#include "pacsdb/ConquestColumns.h"
#include "pacsdb/ExamWrites.h"
#include "pacsdb/QueryCatalogue.h"
#include "pacsdb/RecordSet.h"

namespace vexa {

int markImagesPrinted(
    const QString& conquestPath, const QString& seriesUid, const QStringList& objectFiles, const QDate& day)
{
    if (objectFiles.isEmpty())
        return 0;
    RecordSet images;
    images.setDatabasePath(conquestPath);
    images.setRecordSource(sql::imagesOfSeries(seriesUid));
    if (!images.requery())
        return 0;
    int marked = 0;
    // Compared here rather than in SQL: a LIKE pattern would take the "_" of
    // Conquest's file names for any character and mark a neighbour.
    for (images.moveFirst(); !images.eof(); images.moveNext()) {
        if (objectFiles.contains(images.fieldText(col::ObjectFile), Qt::CaseSensitive)
            && markImagePrinted(conquestPath, images.fieldText(col::SopInstance), day).written())
            ++marked;
    }
    return marked;
}

} // namespace vexa
