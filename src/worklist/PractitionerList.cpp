#include "worklist/PractitionerList.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QStringEncoder>

namespace vexa {

namespace {

QString& lastPractitionerStore()
{
    static QString name;
    return name;
}

} // namespace

QString practitionerListFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation)
        + QStringLiteral("/Praticien.txt");
}

QStringList readPractitioners(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringDecoder decoder("windows-1252");
    const QString text = decoder.decode(file.readAll());
    QStringList names;
    for (QString line : text.split(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (!line.trimmed().isEmpty())
            names << line;
    }
    return names;
}

bool writePractitioners(const QString& path, const QStringList& names)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QStringEncoder encoder("windows-1252");
    for (const QString& name : names)
        file.write(encoder.encode(name + QStringLiteral("\r\n")));
    return file.commit();
}

QString lastPractitioner()
{
    return lastPractitionerStore();
}

void setLastPractitioner(const QString& name)
{
    lastPractitionerStore() = name;
}

} // namespace vexa
