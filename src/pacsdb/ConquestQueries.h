#pragma once
// Queries shared by the monitor and the windows, on the main window's scratch
// record set workSet: images to print, the not-burned count, the image files
// of a series (which the windows show as thumbnails).
#include "pacsdb/MainRecordSets.h"

#include <QStringList>

namespace vexa {

class ConquestQueries {
public:
    ConquestQueries(MainRecordSets& sets, QString conquestPath);

    // Images left to print in the database or pictures waiting in imagePath.
    // noticeText receives the main window's notice text.
    bool checkImagesToPrint(const QString& imagePath, QString& noticeText);

    // Sets notBurnedCount to the not-burned list's count as of its previous
    // requery (the list is not requeried here); true when it is not 0.
    bool refreshNotBurnedList(int& notBurnedCount);

    // The image files (ObjectFile) of a series, in its images' order, from the
    // image numbered `firstImage` (from 0) on, at most `count` of them; none
    // when the query fails.
    QStringList imageFilesOfSeries(const QString& seriesUid, int firstImage, int count);
    int thumbnailPageCount(const QString& seriesUid, int thumbnailsPerPage);

private:
    bool queryConn(const QString& jet);

    MainRecordSets& sets_;
    QString path_;
};

} // namespace vexa
