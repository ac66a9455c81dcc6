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

SheetImage ImageOfRow(const RecordSet& rows)
{
    return {rows.fieldText(Col::SopInstance), rows.fieldText(Col::ObjectFile),
        rows.fieldText(Col::SeriesInst), rows.fieldText(Col::PatientName), ExamDayOfImage(rows)};
}

std::optional<std::vector<std::pair<QString, SheetImage>>> ReadRows(
    const QString& conquestPath, const QString& jetSql)
{
    RecordSet rows(QStringLiteral("sheetImages"));
    rows.setDatabasePath(conquestPath);
    rows.setRecordSource(jetSql);
    if (!rows.requery())
        return std::nullopt;
    std::vector<std::pair<QString, SheetImage>> read;
    for (rows.moveFirst(); !rows.eof(); rows.moveNext())
        read.emplace_back(rows.fieldText(Col::ImagePat), ImageOfRow(rows));
    return read;
}

} // namespace

std::optional<std::vector<SheetImage>> ReadSeriesImages(const QString& conquestPath, const QString& seriesUid)
{
    const auto rows = ReadRows(conquestPath, Sql::ImagesOfSeries(seriesUid));
    if (!rows)
        return std::nullopt;
    std::vector<SheetImage> images;
    for (const auto& row : *rows)
        images.push_back(row.second);
    return images;
}

std::optional<std::vector<SheetPatient>> ReadImagesWaitingToPrint(
    const QString& conquestPath, const QDate& day)
{
    const auto rows = ReadRows(conquestPath, WaitingImagesOfDaySql(day));
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

SheetIdentity IdentityOf(const std::vector<SheetImage>& images)
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
