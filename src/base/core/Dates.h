#pragma once
// Date conversions between Conquest's YYYYMMDD texts, the DD/MM/YYYY texts the
// program shows and hands over, and date values.
#include <QDate>
#include <QString>

namespace vexa {

// "20261209" -> 2026-12-09; an invalid QDate for anything else.
QDate dateFromYyyymmdd(const QString& text);
QString toYyyymmdd(const QDate& date);
// "09/12/2026" -> 2026-12-09; an invalid QDate for anything else.
QDate dateFromDdMmYyyy(const QString& text);
QString toDdMmYyyy(const QDate& date);
// "20261209" -> "09/12/2026"; text that is not a date comes back as it is.
QString yyyymmddToDdMmYyyy(const QString& text);

} // namespace vexa
