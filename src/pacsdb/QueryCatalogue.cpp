#include "QueryCatalogue.h"

#include "JetDialect.h"

namespace vexa::Sql {

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
    return QStringLiteral("SELECT * FROM DICOMSeries WHERE Burned = 0 ORDER BY Compteur");
}

QString PatientById(const QString& patientIdPattern)
{
    return QStringLiteral("SELECT * FROM DICOMPatients WHERE PatientID LIKE %1;")
        .arg(JetQuote(patientIdPattern));
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
    return QStringLiteral("SELECT * FROM DICOMSeries WHERE ScanDate between %1 AND %2 ORDER BY Compteur; ")
        .arg(JetDate(from), JetDate(to));
}

QString SeriesByPatientName(const QString& namePattern)
{
    return QStringLiteral(
        "SELECT * FROM DICOMSeries WHERE PatientName LIKE %1 ORDER BY  PatientName, Scandate, "
        "Compteur ;")
        .arg(JetQuote(namePattern));
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
