#pragma once
// The Windows-1252 code page of the files shared with Windows workstations
// (".dgr" labels, RTF reports, the NetPix worklist line). Kept local and
// complete so every byte has a fixed meaning: the five bytes Windows leaves
// undefined map to the control characters of the same value.
#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace vexa {

// The byte of a character, or -1 when the code page has none for it.
int windows1252Byte(char16_t c);
// The text's bytes; a character the code page cannot hold is written as '?'
// (one '?' for a character outside the BMP).
QByteArray toWindows1252(const QString& text);
QString fromWindows1252(QByteArrayView bytes);

} // namespace vexa
