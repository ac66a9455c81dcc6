#include "base/core/Dates.h"

namespace vexa {

QDate DateFromYyyymmdd(const QString& text)
{
    const QString t = text.trimmed();
    if (t.size() != 8)
        return {};
    return QDate::fromString(t, QStringLiteral("yyyyMMdd"));
}

QString ToYyyymmdd(const QDate& date)
{
    return date.isValid() ? date.toString(QStringLiteral("yyyyMMdd")) : QString();
}

QDate DateFromDdMmYyyy(const QString& text)
{
    return QDate::fromString(text.trimmed(), QStringLiteral("dd/MM/yyyy"));
}

QString ToDdMmYyyy(const QDate& date)
{
    return date.isValid() ? date.toString(QStringLiteral("dd/MM/yyyy")) : QString();
}

QString YyyymmddToDdMmYyyy(const QString& text)
{
    const QDate d = DateFromYyyymmdd(text);
    return d.isValid() ? ToDdMmYyyy(d) : text;
}

} // namespace vexa
