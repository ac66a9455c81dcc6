#pragma once
// Lookup of one value in an INI-format file, as the Windows profile lookup
// gives it: sections and keys match regardless of letter case, the value is
// trimmed and loses one pair of surrounding quotes, backslashes stay as they are.
#include <QString>
#include <QStringList>

namespace vexa {

constexpr int MaxIniValueLength = 255;

// The value of `key` in `section` of `fileName`, at most 255 characters, or
// `defaultValue` when the file or the key is missing. A bare file name is
// looked for in the program's folder, then in /etc/vexadicom.
QString readIniValue(
    const QString& section, const QString& key, const QString& defaultValue, const QString& fileName);

// Where a bare INI file name is looked for, in order.
QStringList iniSearchFolders();

} // namespace vexa
