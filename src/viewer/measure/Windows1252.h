#pragma once
// The single-byte code page of the ".dgr" labels. Kept local and complete so
// every byte has a fixed meaning: the five bytes Windows leaves undefined map
// to the control characters of the same value, and a character the code page
// cannot hold is written as '?'.
#include <QByteArray>
#include <QString>

namespace vexa {

QByteArray ToWindows1252(const QString& text);
QString FromWindows1252(const QByteArray& bytes);

} // namespace vexa
