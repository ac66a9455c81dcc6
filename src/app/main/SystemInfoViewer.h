#pragma once
// The system information viewer the about window starts: the first program of
// a short list found on the search path. The list can be replaced with the
// setting "Windows"/"SystemInfoPrograms" (names separated by ";").
#include <QString>
#include <QStringList>

namespace vexa {

QStringList DefaultSystemInfoPrograms();
QStringList SystemInfoPrograms();

// The full path of the first program found in `searchPath` (":"-separated;
// "" means the environment's PATH), or "" when none is there.
QString FindSystemInfoViewer(const QStringList& programs, const QString& searchPath = {});

QString SystemInfoUnavailableText();

} // namespace vexa
