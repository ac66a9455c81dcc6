#include "base/core/IniValue.h"
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <optional>

namespace vexa {
namespace {

QString locateIniFile(const QString& fileName)
{
    if (fileName.contains(u'/'))
        return fileName;
    for (const QString& folder : iniSearchFolders()) {
        const QString candidate = folder + u'/' + fileName;
        if (QFileInfo(candidate).isFile())
            return candidate;
    }
    return {};
}

// INI files written on Windows are in the single-byte code page; UTF-8 ones are taken as they are.
QString decodeIniText(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    QStringDecoder windows1252("windows-1252");
    return windows1252.decode(bytes);
}

QString unquoted(const QString& value)
{
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'')
        && value.back() == value.front())
        return value.mid(1, value.size() - 2);
    return value;
}

std::optional<QString> findValue(const QString& text, const QString& section, const QString& key)
{
    bool inSection = false;
    for (const QString& rawLine : text.split(u'\n')) {
        const QString line = rawLine.trimmed();
        if (line.startsWith(u'[')) {
            const qsizetype close = line.indexOf(u']');
            const QString name = line.mid(1, close < 0 ? -1 : close - 1).trimmed();
            inSection = name.compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!inSection || line.startsWith(u';'))
            continue;
        const qsizetype equals = line.indexOf(u'=');
        if (equals > 0 && line.left(equals).trimmed().compare(key, Qt::CaseInsensitive) == 0)
            return unquoted(line.mid(equals + 1).trimmed());
    }
    return std::nullopt;
}

} // namespace

QStringList iniSearchFolders()
{
    return {QCoreApplication::applicationDirPath(), QStringLiteral("/etc/vexadicom")};
}

QString readIniValue(
    const QString& section, const QString& key, const QString& defaultValue, const QString& fileName)
{
    QFile file(locateIniFile(fileName));
    if (file.fileName().isEmpty() || !file.open(QIODevice::ReadOnly))
        return defaultValue.left(MaxIniValueLength);
    const std::optional<QString> value = findValue(decodeIniText(file.readAll()), section, key);
    return value.value_or(defaultValue).left(MaxIniValueLength);
}

} // namespace vexa
