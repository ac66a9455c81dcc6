#include "pacsdb/QueryCatalogue.h"

#include "pacsdb/JetDialect.h"
#include "pacsdb/SearchWords.h"

#include <algorithm>

namespace vexa::Sql {

namespace {

// The series of the first page's lists, with what tells exams apart read from
// Conquest's own study and patient rows. The series' own columns come first
// and keep their names, so the lists read and find rows as before.
QString ListedSeries(const QString& whereAndOrder)
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

QString ImagesNotNamed()
{
    return QStringLiteral("SELECT * FROM DICOMImages WHERE Burned = 0");
}

QString SeriesNotNamed()
{
    return QStringLiteral("SELECT * FROM DICOMSeries WHERE Burned = 0");
}

QString SeriesNotBurned()
{
    return ListedSeries(QStringLiteral("WHERE DICOMSeries.Burned = 0 ORDER BY DICOMSeries.Compteur"));
}

QString PatientById(const QString& patientId)
{
    return QStringLiteral("SELECT * FROM DICOMPatients WHERE PatientID = %1;").arg(JetQuote(patientId));
}

QString ImagesNotPrinted()
{
    return QStringLiteral("SELECT * FROM DICOMImages WHERE Printed = 0");
}

QString MarkImagePrinted(const QString& sopInstance, const QDate& day)
{
    return QStringLiteral("UPDATE DICOMImages SET Printed = -1, PrintDate = %1 WHERE SOPInstanc = %2;")
        .arg(JetDate(day), JetQuote(sopInstance));
}

QString ImagesOfSeries(const QString& seriesUid)
{
    return QStringLiteral("Select * FROM DICOMImages WHERE SeriesInst = %1 ORDER BY Compteur;")
        .arg(JetQuote(seriesUid));
}

QString SeriesByUid(const QString& seriesUid)
{
    return QStringLiteral("SELECT * FROM DICOMSeries WHERE SeriesInst = %1;").arg(JetQuote(seriesUid));
}

QString StudyByUid(const QString& studyUid)
{
    return QStringLiteral("SELECT * FROM DICOMStudies WHERE StudyInsta = %1;").arg(JetQuote(studyUid));
}

QString SeriesBetween(const QDate& from, const QDate& to)
{
    return ListedSeries(
        QStringLiteral("WHERE DICOMSeries.ScanDate between %1 AND %2 ORDER BY DICOMSeries.Compteur; ")
            .arg(JetDate(from), JetDate(to)));
}

QString SeriesByPatientName(const QString& typed)
{
    // An empty text finds the series without a name, as it always did. A
    // text of wild cards and separators only names no one: it would list
    // every exam of the practice, which the date search does.
    const bool namesSomeone
        = std::any_of(typed.cbegin(), typed.cend(), [](QChar c) { return c.isLetterOrNumber(); });
    const QString match = typed.isEmpty() ? QStringLiteral("DICOMSeries.PatientName LIKE ''")
        : !namesSomeone                   ? QStringLiteral("1 = 0")
                                          : QStringLiteral("SearchWords(DICOMSeries.PatientName) LIKE %1")
                              .arg(JetQuote(SearchWordsPattern(typed)));
    return ListedSeries(QStringLiteral("WHERE %1 ORDER BY DICOMSeries.PatientName, DICOMSeries.ScanDate, "
                                       "DICOMSeries.Compteur ;")
                            .arg(match));
}

QString ImagesOfDay(const QDate& day)
{
    return QStringLiteral("SELECT * FROM DICOMImages WHERE ScanDate = %1 ORDER BY PatientName, Compteur ;")
        .arg(JetDate(day));
}

QString DeleteImagesOfSeries(const QString& seriesUid)
{
    return QStringLiteral("DELETE * FROM DICOMImages WHERE SeriesInst = %1;").arg(JetQuote(seriesUid));
}

QString DeleteSeries(const QString& seriesUid)
{
    return QStringLiteral("DELETE * FROM DICOMSeries WHERE SeriesInst = %1;").arg(JetQuote(seriesUid));
}

QString DeleteImage(const QString& sopInstance)
{
    return QStringLiteral("DELETE * FROM DICOMImages WHERE SOPInstanc = %1;").arg(JetQuote(sopInstance));
}

QString MarkAllSeriesBurned()
{
    return QStringLiteral("UPDATE DICOMseries SET Burned = -1");
}

QString Compteurs()
{
    return QStringLiteral("SELECT * FROM DICOMCompteur");
}

QString WorkListCompteurs()
{
    return QStringLiteral("SELECT * FROM DICOMWLCompteur");
}

QString DeleteCompteursBelow(qint64 numero)
{
    return QStringLiteral("DELETE * FROM DICOMCompteur WHERE Numero < %1 ;").arg(numero);
}

QString DeleteWorkListCompteursBelow(qint64 numero)
{
    return QStringLiteral("DELETE * FROM DICOMWLCompteur WHERE Numero < %1 ;").arg(numero);
}

} // namespace vexa::Sql
