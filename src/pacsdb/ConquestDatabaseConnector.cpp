#include "ConquestDatabaseConnector.h"

#include "ConquestColumns.h"
#include "ImageFiles.h"
#include "QueryCatalogue.h"

#include <QDir>
#include <QRegularExpression>

namespace vexa {

ConquestDatabaseConnector::ConquestDatabaseConnector(MainRecordSets& sets, QString conquestPath)
    : sets_(sets)
    , path_(std::move(conquestPath))
{
}

bool ConquestDatabaseConnector::QueryConn(const QString& jet)
{
    sets_.workSet.setDatabasePath(path_);
    sets_.workSet.setRecordSource(jet);
    return sets_.workSet.requery();
}

bool ConquestDatabaseConnector::CheckImagesToPrint(const QString& imagePath, QString& noticeText)
{
    bool result = QueryConn(Sql::ImagesNotPrinted()) && sets_.workSet.count() > 0;
    if (!result && !imagePath.isEmpty()) {
        const QStringList filters{QStringLiteral("*.jpg"), QStringLiteral("*.bmp"), QStringLiteral("*.jpeg")};
        result = !QDir(imagePath).entryList(filters, QDir::Files).isEmpty();
    }
    noticeText = result ? QStringLiteral("Il y a des images à imprimer")
                        : QStringLiteral("Il n'y a pas d'images à imprimer");
    return result;
}

bool ConquestDatabaseConnector::RefreshNotBurnedList(int& notBurnedCount)
{
    RecordSet& list = sets_.notBurnedSeries;
    list.setDatabasePath(path_);
    list.setRecordSource(Sql::SeriesNotBurned());
    list.moveLast();
    notBurnedCount = list.count();
    return notBurnedCount != 0;
}

void ConquestDatabaseConnector::LoadPrintThumbnails(ThumbnailSink& sink, const QString& conquestImagePath,
    const QString& seriesUid, int firstImage, int thumbnailsPerPage)
{
    for (int i = 0; i < sink.thumbnailCount(); ++i) {
        sink.clearPicture(i);
        sink.setTag(i, QString());
        sink.setVisible(i, false);
    }
    if (!QueryConn(Sql::ImagesOfSeries(seriesUid)) || sets_.workSet.count() == 0) {
        sets_.workSet.close();
        return;
    }
    const int limit = std::min(thumbnailsPerPage, sink.thumbnailCount());
    int filled = 0;
    for (sets_.workSet.moveFirst(); !sets_.workSet.eof() && filled < limit; sets_.workSet.moveNext()) {
        if (sets_.workSet.currentRow() < firstImage)
            continue;
        const QString objectFile = sets_.workSet.fieldText(Col::ObjectFile);
        if (!sink.loadPicture(filled, previewPicturePath(StoredImagePath(conquestImagePath, objectFile))))
            break; // a missing picture stops the filling; those filled stay
        sink.setTag(filled, objectFile);
        sink.setVisible(filled, true);
        ++filled;
    }
    sets_.workSet.close();
}

int ConquestDatabaseConnector::ThumbnailPageCount(const QString& seriesUid, int thumbnailsPerPage)
{
    if (thumbnailsPerPage <= 0 || !QueryConn(Sql::ImagesOfSeries(seriesUid)))
        return 0;
    const int images = sets_.workSet.count();
    sets_.workSet.close();
    return (images + thumbnailsPerPage - 1) / thumbnailsPerPage;
}

} // namespace vexa
