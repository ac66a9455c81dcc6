#pragma once
// Patient numbers and accession numbers for the worklist, drawn from the two
// counter tables of the PACS database (DICOMCompteur, DICOMWLCompteur): a new
// row gets the next value of the table's own sequence, which is the number.
// Several workstations drawing at the same moment on one database each get a
// number of their own; a number is never given twice.
#include <QSqlDatabase>
#include <QString>

namespace vexa {

enum class CounterTable {
    PatientNumbers, // DICOMCompteur
    AccessionNumbers // DICOMWLCompteur
};

// A number is written on nine digits after the practice's initials.
inline constexpr qint64 LargestWorklistNumber = 999'999'999;

struct DrawnNumber {
    qint64 value = 0;
    QString error; // French, for the user; "" when a number was drawn
    bool ok() const { return error.isEmpty(); }
};

// Draws the next number of `table` in one write transaction: adds a row,
// takes the value the sequence gave it, stores it in Numero and removes the
// older rows. A number beyond nine digits is refused, never wrapped.
DrawnNumber drawNumber(QSqlDatabase& db, CounterTable table);

// initials followed by the number on nine digits: ("VD", 42) -> "VD000000042".
QString formatWorklistNumber(const QString& initials, qint64 number);

} // namespace vexa
