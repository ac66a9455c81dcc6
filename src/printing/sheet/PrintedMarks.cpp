#include "PrintedMarks.h"

#include "QueryCatalogue.h"
#include "RecordSet.h"

namespace vexa {

int MarkImagesPrinted(RecordSet& conn, const QString& conquestPath, const QString& seriesUid,
    const QStringList& objectFiles, const QDate& day)
{
    if (objectFiles.isEmpty())
        return 0;
    conn.setDatabasePath(conquestPath);
    conn.setRecordSource(Sql::ImagesOfSeries(seriesUid));
    if (!conn.requery())
        return 0;
    int marked = 0;
    // Compared here rather than in SQL: a LIKE pattern would take the "_" of
    // Conquest's file names for any character and mark a neighbour.
    for (conn.moveFirst(); !conn.eof(); conn.moveNext()) {
        if (!objectFiles.contains(conn.fieldText(QStringLiteral("ObjectFile")), Qt::CaseSensitive))
            continue;
        conn.edit();
        if (conn.setField(QStringLiteral("Printed"), true) && conn.setField(QStringLiteral("PrintDate"), day)
            && conn.update())
            ++marked;
    }
    conn.close();
    return marked;
}

} // namespace vexa
