#include "printing/daylist/DayList.h"

#include "pacsdb/JetDialect.h"
#include "pacsdb/QueryCatalogue.h"

namespace vexa {

QString dayTitle(const QDate& day)
{
    return QStringLiteral("Journée du ") + day.toString(QStringLiteral("dd/MM/yyyy"));
}

QString dayListDatabaseErrorText()
{
    return QStringLiteral(
        "La base de donnée n'est pas correctement initialisée ! \r\nVérifier le serveur PACS "
        "Conquest ! ");
}

QString nothingToPrintText()
{
    return QStringLiteral("Il n'y a pas d'image à imprimer");
}

bool DayList::showDay(const QDate& day, const QString& conquestPath)
{
    images_.setDatabasePath(conquestPath);
    images_.setRecordSource(sql::imagesOfDay(day));
    if (!images_.requery())
        return false;
    day_ = day;
    return true;
}

ExamWrite DayList::markPrinted(const QString& sopInstance, const QDate& printDay)
{
    const ExamWrite marked = markImagePrinted(images_.databasePath(), sopInstance, printDay);
    if (marked.written() && images_.requery())
        images_.findFirst(QStringLiteral("SOPInstanc = ") + jetQuote(sopInstance));
    return marked;
}

QString waitingImagesOfDaySql(const QDate& day)
{
    return QStringLiteral("SELECT * FROM DICOMImages WHERE Printed = 0 AND ScanDate = %1 "
                          "ORDER BY PatientName, ImagePat, SeriesInst, Compteur;")
        .arg(jetDate(day));
}

bool hasImagesToPrint(const QString& conquestPath, const QDate& day)
{
    RecordSet unprinted;
    unprinted.setDatabasePath(conquestPath);
    unprinted.setRecordSource(waitingImagesOfDaySql(day));
    return unprinted.requery() && unprinted.count() > 0;
}

} // namespace vexa
