#include "pacsdb/ConquestQueries.h"

#include "pacsdb/ConquestColumns.h"
#include "pacsdb/QueryCatalogue.h"

#include <QDir>
#include <QRegularExpression>

namespace vexa {

ConquestQueries::ConquestQueries(MainRecordSets& sets, QString conquestPath)
    : sets_(sets)
    , path_(std::move(conquestPath))
{
}

bool ConquestQueries::queryConn(const QString& jet)
{
    sets_.workSet.setDatabasePath(path_);
    sets_.workSet.setRecordSource(jet);
    return sets_.workSet.requery();
}

bool ConquestQueries::checkImagesToPrint(const QString& imagePath, QString& noticeText)
{
    bool result = queryConn(sql::imagesNotPrinted()) && sets_.workSet.count() > 0;
    if (!result && !imagePath.isEmpty()) {
        const QStringList filters{QStringLiteral("*.jpg"), QStringLiteral("*.bmp"), QStringLiteral("*.jpeg")};
        result = !QDir(imagePath).entryList(filters, QDir::Files).isEmpty();
    }
    noticeText = result ? QStringLiteral("Il y a des images à imprimer")
                        : QStringLiteral("Il n'y a pas d'images à imprimer");
    return result;
}

bool ConquestQueries::refreshNotBurnedList(int& notBurnedCount)
{
    RecordSet& list = sets_.notBurnedSeries;
    list.setDatabasePath(path_);
    list.setRecordSource(sql::seriesNotBurned());
    list.moveLast();
    notBurnedCount = list.count();
    return notBurnedCount != 0;
}

QStringList ConquestQueries::imageFilesOfSeries(const QString& seriesUid, int firstImage, int count)
{
    QStringList files;
    if (queryConn(sql::imagesOfSeries(seriesUid))) {
        RecordSet& images = sets_.workSet;
        for (images.moveFirst(); !images.eof() && files.size() < count; images.moveNext())
            if (images.currentRow() >= firstImage)
                files << images.fieldText(col::ObjectFile);
    }
    sets_.workSet.close();
    return files;
}

int ConquestQueries::thumbnailPageCount(const QString& seriesUid, int thumbnailsPerPage)
{
    if (thumbnailsPerPage <= 0 || !queryConn(sql::imagesOfSeries(seriesUid)))
        return 0;
    const int images = sets_.workSet.count();
    sets_.workSet.close();
    return (images + thumbnailsPerPage - 1) / thumbnailsPerPage;
}

} // namespace vexa
