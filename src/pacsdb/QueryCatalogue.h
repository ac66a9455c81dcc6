#pragma once
// Every SQL text of the program, in the Jet dialect, with its values joined
// in safely: text values through JetQuote (a quote in a name cannot end the
// literal), dates as #yyyy/mm/dd#, numbers as numbers. Keys (identifiers,
// UIDs) are compared whole with "="; only the name search uses wild cards.
#include <QDate>
#include <QString>

namespace vexa::sql {

QString imagesNotNamed(); // images the naming pass has not handled yet
QString seriesNotNamed(); // series of the naming pass
// The three lists of the first page read the series with their study's
// description and time and the patient's birth date.
QString seriesNotBurned(); // the not-burned list, by arrival
// The patient whose identifier is exactly patientId: case and every
// character count ("ab123" is not "AB123", "X1?" is not "X12").
QString patientById(const QString& patientId);
QString imagesNotPrinted();
QString markImagePrinted(const QString& sopInstance, const QDate& day); // by the image's key
QString imagesOfSeries(const QString& seriesUid);
QString seriesByUid(const QString& seriesUid);
QString studyByUid(const QString& studyUid);
QString seriesBetween(const QDate& from, const QDate& to); // both days included
// Series whose patient name has a word starting with `typed` (accents and
// case ignored, "*" and "?" wild cards); "" finds series without a name, a
// text without a letter or digit ("***") finds none.
QString seriesByPatientName(const QString& typed);
QString imagesOfDay(const QDate& day);
QString deleteImagesOfSeries(const QString& seriesUid);
QString deleteSeries(const QString& seriesUid);
QString deleteImage(const QString& sopInstance); // by the image's key
QString markAllSeriesBurned();
QString compteurs();
QString workListCompteurs();
QString deleteCompteursBelow(qint64 numero);
QString deleteWorkListCompteursBelow(qint64 numero);

} // namespace vexa::sql
