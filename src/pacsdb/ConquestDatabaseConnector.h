#pragma once
// Shared queries on the main window's scratch record set workSet: images to print,
// the not-burned count, the print window's thumbnails.
#include "pacsdb/MainRecordSets.h"

namespace vexa {

// The print window's thumbnails, as the connector fills them.
class ThumbnailSink {
public:
    virtual ~ThumbnailSink() = default;
    virtual int thumbnailCount() const = 0; // 7
    virtual void clearPicture(int index) = 0;
    virtual void setTag(int index, const QString& tag) = 0;
    virtual void setVisible(int index, bool visible) = 0;
    // Loads the picture file; false when it cannot be read.
    virtual bool loadPicture(int index, const QString& path) = 0;
};

class ConquestDatabaseConnector {
public:
    ConquestDatabaseConnector(MainRecordSets& sets, QString conquestPath);

    // Images left to print in the database or pictures waiting in imagePath.
    // noticeText receives the main window's notice text.
    bool CheckImagesToPrint(const QString& imagePath, QString& noticeText);

    // Sets notBurnedCount to the not-burned list's count as of its previous
    // requery (the list is not requeried here); true when it is not 0.
    bool RefreshNotBurnedList(int& notBurnedCount);

    void LoadPrintThumbnails(ThumbnailSink& sink, const QString& conquestImagePath, const QString& seriesUid,
        int firstImage, int thumbnailsPerPage);
    int ThumbnailPageCount(const QString& seriesUid, int thumbnailsPerPage);

private:
    bool QueryConn(const QString& jet);

    MainRecordSets& sets_;
    QString path_;
};

} // namespace vexa
