#pragma once
// Every SQL text of the program, in the Jet dialect, with its values joined
// in safely: text values through JetQuote (a quote in a name cannot end the
// literal), dates as #yyyy/mm/dd#, numbers as numbers. Keys (identifiers,
// UIDs) are compared whole with "="; only the name search uses wild cards.
#include <QDate>
#include <QString>

namespace vexa::Sql {

QString ImagesNotNamed(); // images the naming pass has not handled yet
QString SeriesNotNamed(); // series of the naming pass
// The three lists of the first page read the series with their study's
// description and time and the patient's birth date.
QString SeriesNotBurned(); // the not-burned list, by arrival
// The patient whose identifier is exactly patientId: case and every
// character count ("ab123" is not "AB123", "X1?" is not "X12").
QString PatientById(const QString& patientId);
QString ImagesNotPrinted();
QString MarkImagePrinted(const QString& sopInstance, const QDate& day); // by the image's key
QString ImagesOfSeries(const QString& seriesUid);
QString SeriesByUid(const QString& seriesUid);
QString StudyByUid(const QString& studyUid);
QString SeriesBetween(const QDate& from, const QDate& to); // both days included
// Series whose patient name has a word starting with `typed` (accents and
// case ignored, "*" and "?" wild cards); "" finds series without a name, a
// text without a letter or digit ("***") finds none.
QString SeriesByPatientName(const QString& typed);
QString ImagesOfDay(const QDate& day);
QString DeleteImagesOfSeries(const QString& seriesUid);
QString DeleteSeries(const QString& seriesUid);
QString DeleteImage(const QString& sopInstance); // by the image's key
QString MarkAllSeriesBurned();
QString Compteurs();
QString WorkListCompteurs();
QString DeleteCompteursBelow(qint64 numero);
QString DeleteWorkListCompteursBelow(qint64 numero);

} // namespace vexa::Sql
