#pragma once
// Conversions between the values a bag holds and the types its readers ask
// for, and the text form of values in a design file.
#include <QColor>
#include <QMetaType>
#include <QString>
#include <QVariant>
#include <functional>
#include <optional>

namespace brixel {

// Colours are stored as 24-bit numbers with red in the low byte (&HBBGGRR).
quint32 toStoredColor(const QColor& color);
QColor fromStoredColor(quint32 value);

// Converts a held value to the wanted type; nothing when it cannot be read as
// such (the reader then falls back on its default). Picture references are
// loaded through resolvePath.
std::optional<QVariant> coerceValue(
    const QVariant& held, QMetaType wanted, const std::function<QString(const QString&)>& resolvePath);

// Text of a value in a design file, and the reverse for quoted strings.
QString valueToText(const QVariant& value);
QString unquoteText(const QString& raw);

} // namespace brixel
