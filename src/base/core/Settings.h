#pragma once
// The per-user settings store: text values addressed by section and key under
// the application "VexaDICOM", kept in an INI file. Every reader supplies its
// own default; numbers are stored as decimal text and yes/no values as "0"/"1".
#include <QString>

namespace vexa {

// Points the store at another INI file (the program's --settings option, tests,
// the demo); "" goes back to the environment variable VEXADICOM_SETTINGS or,
// without it, to the user's own store.
void setSettingsFile(const QString& path);
// The INI file the store reads and writes.
QString settingsFile();

QString getSetting(const QString& section, const QString& key, const QString& defaultValue = {});
void saveSetting(const QString& section, const QString& key, const QString& value);
bool hasSetting(const QString& section, const QString& key);

// A stored text read as an integer: its numeric prefix, halves to even ("2.5" -> 2, "abc" -> 0).
int settingAsInteger(const QString& text);
// A stored text read as yes/no: true when its numeric prefix is not 0 ("-1", "0.5" yes; "", "abc" no).
bool settingAsYesNo(const QString& text);

int getIntegerSetting(const QString& section, const QString& key, const QString& defaultValue);
bool getYesNoSetting(const QString& section, const QString& key, const QString& defaultValue);
// Yes/no values are stored as "1" and "0".
QString yesNoText(bool value);

} // namespace vexa
