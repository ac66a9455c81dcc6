#include "pacsdb/QueryCatalogue.h"

#include "pacsdb/JetDialect.h"
#include "pacsdb/SearchWords.h"

#include <algorithm>

namespace vexa::sql {

namespace {

// The series of the first page's lists, with what tells exams apart read from
// Conquest's own study and patient rows. The series' own columns come first
// and keep their names, so the lists read and find rows as before.
QString listedSeries(const QString& whereAndOrder)
{
    return QStringLiteral(
               "SELECT DICOMSeries.SeriesInst, DICOMSeries.Compteur, DICOMSeries.PatientName, "
               "DICOMSeries.ScanDate, "
               "DICOMSeries.Burned, DICOMSeries.SeriesTime, DICOMSeries.Modality, DICOMSeries.SeriesDesc, "
               "DICOMSeries.SeriesPat, DICOMSeries.StudyInsta, DICOMStudies.StudyDescr, "
               "DICOMStudies.StudyTime, "
               "DICOMPatients.PatientBir "
               "FROM DICOMSeries LEFT JOIN DICOMStudies ON DICOMStudies.StudyInsta = DICOMSeries.StudyInsta "
               "LEFT JOIN DICOMPatients ON DICOMPatients.PatientID = DICOMSeries.SeriesPat ")
        + whereAndOrder;
}

} // namespace

QString imagesNotNamed()
{
    return QStringLiteral("SELECT * FROM DICOMImages WHERE Burned = 0");
}

QString seriesNotNamed()
{
    return QStringLiteral("SELECT * FROM DICOMSeries WHERE Burned = 0");
}

QString seriesNotBurned()
{
    return listedSeries(QStringLiteral("WHERE DICOMSeries.Burned = 0 ORDER BY DICOMSeries.Compteur"));
}

QString patientById(const QString& patientId)
{
    return QStringLiteral("SELECT * FROM DICOMPatients WHERE PatientID = %1;").arg(jetQuote(patientId));
}

QString imagesNotPrinted()
{
    return QStringLiteral("SELECT * FROM DICOMImages WHERE Printed = 0");
}

QString markImagePrinted(const QString& sopInstance, const QDate& day)
{
    return QStringLiteral("UPDATE DICOMImages SET Printed = -1, PrintDate = %1 WHERE SOPInstanc = %2;")
        .arg(jetDate(day), jetQuote(sopInstance));
}

QString imagesOfSeries(const QString& seriesUid)
{
    return QStringLiteral("Select * FROM DICOMImages WHERE SeriesInst = %1 ORDER BY Compteur;")
        .arg(jetQuote(seriesUid));
}

QString seriesByUid(const QString& seriesUid)
{
    return QStringLiteral("SELECT * FROM DICOMSeries WHERE SeriesInst = %1;").arg(jetQuote(seriesUid));
}

QString studyByUid(const QString& studyUid)
{
    return QStringLiteral("SELECT * FROM DICOMStudies WHERE StudyInsta = %1;").arg(jetQuote(studyUid));
}

QString seriesBetween(const QDate& from, const QDate& to)
{
    return listedSeries(
        QStringLiteral("WHERE DICOMSeries.ScanDate between %1 AND %2 ORDER BY DICOMSeries.Compteur; ")
            .arg(jetDate(from), jetDate(to)));
}

QString seriesByPatientName(const QString& typed)
{
    // An empty text finds the series without a name, as it always did. A
    // text of wild cards and separators only names no one: it would list
    // every exam of the practice, which the date search does.
    const bool namesSomeone
        = std::any_of(typed.cbegin(), typed.cend(), [](QChar c) { return c.isLetterOrNumber(); });
    const QString match = typed.isEmpty() ? QStringLiteral("DICOMSeries.PatientName LIKE ''")
        : !namesSomeone                   ? QStringLiteral("1 = 0")
                                          : QStringLiteral("SearchWords(DICOMSeries.PatientName) LIKE %1")
                              .arg(jetQuote(searchWordsPattern(typed)));
    return listedSeries(QStringLiteral("WHERE %1 ORDER BY DICOMSeries.PatientName, DICOMSeries.ScanDate, "
                                       "DICOMSeries.Compteur ;")
                            .arg(match));
}

QString imagesOfDay(const QDate& day)
{
    return QStringLiteral("SELECT * FROM DICOMImages WHERE ScanDate = %1 ORDER BY PatientName, Compteur ;")
        .arg(jetDate(day));
}

QString deleteImagesOfSeries(const QString& seriesUid)
{
    return QStringLiteral("DELETE * FROM DICOMImages WHERE SeriesInst = %1;").arg(jetQuote(seriesUid));
}

QString deleteSeries(const QString& seriesUid)
{
    return QStringLiteral("DELETE * FROM DICOMSeries WHERE SeriesInst = %1;").arg(jetQuote(seriesUid));
}

QString deleteImage(const QString& sopInstance)
{
    return QStringLiteral("DELETE * FROM DICOMImages WHERE SOPInstanc = %1;").arg(jetQuote(sopInstance));
}

QString markAllSeriesBurned()
{
    return QStringLiteral("UPDATE DICOMseries SET Burned = -1");
}

QString compteurs()
{
    return QStringLiteral("SELECT * FROM DICOMCompteur");
}

QString workListCompteurs()
{
    return QStringLiteral("SELECT * FROM DICOMWLCompteur");
}

QString deleteCompteursBelow(qint64 numero)
{
    return QStringLiteral("DELETE * FROM DICOMCompteur WHERE Numero < %1 ;").arg(numero);
}

QString deleteWorkListCompteursBelow(qint64 numero)
{
    return QStringLiteral("DELETE * FROM DICOMWLCompteur WHERE Numero < %1 ;").arg(numero);
}

} // namespace vexa::sql
