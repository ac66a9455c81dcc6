#pragma once
// The names of the tables and columns the program reads from Conquest's
// database, each spelt once: Conquest's own (cut to ten letters, as Conquest
// names them) and those the program adds to its tables (Compteur, Printed,
// Burned...). A SQL text keeps its names inline; code that reads a column
// of a record set by name uses these.
#include <QString>

namespace vexa {

namespace table {

inline const QString Images = QStringLiteral("DICOMImages");
inline const QString Series = QStringLiteral("DICOMSeries");

} // namespace table

namespace col {

// Conquest's columns.
inline const QString AcqDate = QStringLiteral("AcqDate");
inline const QString ImageDate = QStringLiteral("ImageDate");
inline const QString ImagePat = QStringLiteral("ImagePat");
inline const QString Modality = QStringLiteral("Modality");
inline const QString ObjectFile = QStringLiteral("ObjectFile");
inline const QString PatientBir = QStringLiteral("PatientBir");
inline const QString PatientId = QStringLiteral("PatientID");
inline const QString PatientNam = QStringLiteral("PatientNam");
inline const QString PatientSex = QStringLiteral("PatientSex");
inline const QString ReferPhysi = QStringLiteral("ReferPhysi");
inline const QString SeriesDate = QStringLiteral("SeriesDate");
inline const QString SeriesDesc = QStringLiteral("SeriesDesc");
inline const QString SeriesInst = QStringLiteral("SeriesInst");
inline const QString SeriesPat = QStringLiteral("SeriesPat");
inline const QString SeriesTime = QStringLiteral("SeriesTime");
inline const QString SopInstance = QStringLiteral("SOPInstanc");
inline const QString StudyDescr = QStringLiteral("StudyDescr");
inline const QString StudyInsta = QStringLiteral("StudyInsta");
inline const QString StudyTime = QStringLiteral("StudyTime");

// The program's own columns in Conquest's series and images tables.
inline const QString Burned = QStringLiteral("Burned");
inline const QString Compteur = QStringLiteral("Compteur");
inline const QString JpegExported = QStringLiteral("JpegExported");
inline const QString NotToBurn = QStringLiteral("NotToBurn");
inline const QString PatientName = QStringLiteral("PatientName"); // decoded name
inline const QString Printed = QStringLiteral("Printed");
inline const QString ScanDate = QStringLiteral("ScanDate");

} // namespace col

} // namespace vexa
