#include "base/core/Dates.h"

namespace vexa {

QDate dateFromYyyymmdd(const QString& text)
{
    const QString t = text.trimmed();
    if (t.size() != 8)
        return {};
    return QDate::fromString(t, QStringLiteral("yyyyMMdd"));
}

QString toYyyymmdd(const QDate& date)
{
    return date.isValid() ? date.toString(QStringLiteral("yyyyMMdd")) : QString();
}

QDate dateFromDdMmYyyy(const QString& text)
{
    return QDate::fromString(text.trimmed(), QStringLiteral("dd/MM/yyyy"));
}

QString toDdMmYyyy(const QDate& date)
{
    return date.isValid() ? date.toString(QStringLiteral("dd/MM/yyyy")) : QString();
}

QString yyyymmddToDdMmYyyy(const QString& text)
{
    const QDate d = dateFromYyyymmdd(text);
    return d.isValid() ? toDdMmYyyy(d) : text;
}

} // namespace vexa
