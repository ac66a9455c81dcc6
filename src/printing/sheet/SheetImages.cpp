#include "printing/sheet/SheetImages.h"

#include "base/core/Dates.h"
#include "pacsdb/ConquestColumns.h"
#include "pacsdb/ImageRows.h"
#include "pacsdb/QueryCatalogue.h"
#include "pacsdb/RecordSet.h"
#include "printing/daylist/DayList.h"

#include <map>
#include <utility>

namespace vexa {

namespace {

SheetImage imageOfRow(const RecordSet& rows)
{
    return {rows.fieldText(col::SopInstance), rows.fieldText(col::ObjectFile),
        rows.fieldText(col::SeriesInst), rows.fieldText(col::PatientName), examDayOfImage(rows)};
}

std::optional<std::vector<std::pair<QString, SheetImage>>> readRows(
    const QString& conquestPath, const QString& jetSql)
{
    RecordSet rows(QStringLiteral("sheetImages"));
    rows.setDatabasePath(conquestPath);
    rows.setRecordSource(jetSql);
    if (!rows.requery())
        return std::nullopt;
    std::vector<std::pair<QString, SheetImage>> read;
    for (rows.moveFirst(); !rows.eof(); rows.moveNext())
        read.emplace_back(rows.fieldText(col::ImagePat), imageOfRow(rows));
    return read;
}

} // namespace

std::optional<std::vector<SheetImage>> readSeriesImages(const QString& conquestPath, const QString& seriesUid)
{
    const auto rows = readRows(conquestPath, sql::imagesOfSeries(seriesUid));
    if (!rows)
        return std::nullopt;
    std::vector<SheetImage> images;
    for (const auto& row : *rows)
        images.push_back(row.second);
    return images;
}

std::optional<std::vector<SheetPatient>> readImagesWaitingToPrint(
    const QString& conquestPath, const QDate& day)
{
    const auto rows = readRows(conquestPath, waitingImagesOfDaySql(day));
    if (!rows)
        return std::nullopt;
    std::vector<SheetPatient> patients;
    std::map<std::pair<QString, QString>, std::size_t> patientOf; // (name, identifier) -> index
    for (const auto& [patientId, image] : *rows) {
        const auto key = std::make_pair(image.patientName, patientId);
        auto found = patientOf.find(key);
        if (found == patientOf.end()) {
            found = patientOf.emplace(key, patients.size()).first;
            patients.push_back({Exam{image.seriesUid, {}, patientId, image.patientName, image.examDate}, {}});
        }
        patients[found->second].images.push_back(image);
    }
    return patients;
}

SheetIdentity identityOf(const std::vector<SheetImage>& images)
{
    SheetIdentity identity;
    for (const SheetImage& image : images) {
        if (identity.patientName.isEmpty())
            identity.patientName = image.patientName;
        if (identity.examDate.isEmpty())
            identity.examDate = image.examDate;
    }
    return identity;
}

} // namespace vexa
