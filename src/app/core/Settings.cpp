#include "Settings.h"
#include "Numeric.h"
#include <QSettings>
#include <QStringList>
#include <algorithm>
#include <limits>

namespace vexa {
namespace {

const QString applicationName = QStringLiteral("VexaDICOM");
QString explicitSettingsFile;

QString settingsFileOverride()
{
    if (!explicitSettingsFile.isEmpty())
        return explicitSettingsFile;
    return qEnvironmentVariable("VEXADICOM_SETTINGS");
}

QSettings openStore()
{
    const QString file = settingsFileOverride();
    if (!file.isEmpty())
        return QSettings(file, QSettings::IniFormat);
    return QSettings(QSettings::IniFormat, QSettings::UserScope, applicationName, applicationName);
}

QString storeKey(const QString& section, const QString& key)
{
    return section + u'/' + key;
}

// A hand-edited value holding commas comes back from the INI reader as a
// list; the store only knows texts, so it is joined back.
QString asText(const QVariant& value)
{
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QStringLiteral(", "));
    return value.toString();
}

} // namespace

void SetSettingsFile(const QString& path)
{
    explicitSettingsFile = path;
}

QString SettingsFile()
{
    return openStore().fileName();
}

QString GetSetting(const QString& section, const QString& key, const QString& defaultValue)
{
    const QSettings store = openStore();
    const QString name = storeKey(section, key);
    return store.contains(name) ? asText(store.value(name)) : defaultValue;
}

void SaveSetting(const QString& section, const QString& key, const QString& value)
{
    QSettings store = openStore();
    store.setValue(storeKey(section, key), value);
    store.sync();
}

bool HasSetting(const QString& section, const QString& key)
{
    return openStore().contains(storeKey(section, key));
}

int SettingAsInteger(const QString& text)
{
    // Clamped first: a huge stored number must not overflow the conversion.
    constexpr double low = std::numeric_limits<int>::min();
    constexpr double high = std::numeric_limits<int>::max();
    return static_cast<int>(RoundHalfEven(std::clamp(NumericPrefix(text), low, high)));
}

bool SettingAsYesNo(const QString& text)
{
    return NumericPrefix(text) != 0.0;
}

int GetIntegerSetting(const QString& section, const QString& key, const QString& defaultValue)
{
    return SettingAsInteger(GetSetting(section, key, defaultValue));
}

bool GetYesNoSetting(const QString& section, const QString& key, const QString& defaultValue)
{
    return SettingAsYesNo(GetSetting(section, key, defaultValue));
}

QString YesNoText(bool value)
{
    return value ? QStringLiteral("1") : QStringLiteral("0");
}

} // namespace vexa
