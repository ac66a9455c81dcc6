#include "printing/daylist/DayList.h"

#include "pacsdb/JetDialect.h"
#include "pacsdb/QueryCatalogue.h"

namespace vexa {

QString DayTitle(const QDate& day)
{
    return QStringLiteral("Journée du ") + day.toString(QStringLiteral("dd/MM/yyyy"));
}

QString DayListDatabaseErrorText()
{
    return QStringLiteral(
        "La base de donnée n'est pas correctement initialisée ! \r\nVérifier le serveur PACS "
        "Conquest ! ");
}

QString NothingToPrintText()
{
    return QStringLiteral("Il n'y a pas d'image à imprimer");
}

bool DayList::showDay(const QDate& day, const QString& conquestPath)
{
    images.setDatabasePath(conquestPath);
    images.setRecordSource(Sql::ImagesOfDay(day));
    if (!images.requery())
        return false;
    day_ = day;
    return true;
}

ExamWrite DayList::markPrinted(const QString& sopInstance, const QDate& printDay)
{
    const ExamWrite marked = MarkImagePrinted(images.databasePath(), sopInstance, printDay);
    if (marked.written() && images.requery())
        images.findFirst(QStringLiteral("SOPInstanc = ") + JetQuote(sopInstance));
    return marked;
}

QString WaitingImagesOfDaySql(const QDate& day)
{
    return QStringLiteral("SELECT * FROM DICOMImages WHERE Printed = 0 AND ScanDate = %1 "
                          "ORDER BY PatientName, ImagePat, SeriesInst, Compteur;")
        .arg(JetDate(day));
}

bool HasImagesToPrint(const QString& conquestPath, const QDate& day)
{
    RecordSet unprinted;
    unprinted.setDatabasePath(conquestPath);
    unprinted.setRecordSource(WaitingImagesOfDaySql(day));
    return unprinted.requery() && unprinted.count() > 0;
}

} // namespace vexa
