#include <brixel/PropertyBag.h>

#include "BagValue.h"
#include <brixel/Picture.h>

#include <QColor>

namespace brixel {

namespace {
QString keyOf(const QString& name)
{
    return name.toLower();
}
} // namespace

QVariant PropertyBag::read(const QString& name, const QVariant& defaultValue) const
{
    const std::optional<QVariant> held = fetch(keyOf(name));
    if (!held)
        return defaultValue;
    const auto resolve = [this](const QString& reference) { return resolvePicturePath(reference); };
    // A value the reader cannot use (bad number, unreadable font) counts as missing.
    return coerceValue(*held, defaultValue.metaType(), resolve).value_or(defaultValue);
}

void PropertyBag::write(const QString& name, const QVariant& value, const QVariant& defaultValue)
{
    if (sameValue(value, defaultValue))
        omitted(keyOf(name));
    else
        store(keyOf(name), value);
}

bool PropertyBag::sameValue(const QVariant& a, const QVariant& b)
{
    if (a.typeId() == QMetaType::QColor && b.typeId() == QMetaType::QColor)
        return a.value<QColor>().rgb() == b.value<QColor>().rgb();
    if (a.typeId() == qMetaTypeId<Picture>() && b.typeId() == qMetaTypeId<Picture>())
        return a.value<Picture>() == b.value<Picture>();
    if ((a.typeId() == QMetaType::Float || a.typeId() == QMetaType::Double)
        && (b.typeId() == QMetaType::Float || b.typeId() == QMetaType::Double))
        return a.toDouble() == b.toDouble();
    return a == b;
}

bool MemoryPropertyBag::contains(const QString& name) const
{
    return m_values.contains(keyOf(name));
}

QVariant MemoryPropertyBag::value(const QString& name) const
{
    return m_values.value(keyOf(name));
}

void MemoryPropertyBag::set(const QString& name, const QVariant& value)
{
    m_values.insert(keyOf(name), value);
}

std::optional<QVariant> MemoryPropertyBag::fetch(const QString& key) const
{
    m_reads << key;
    const auto found = m_values.constFind(key);
    if (found == m_values.constEnd())
        return std::nullopt;
    return *found;
}

void MemoryPropertyBag::store(const QString& key, const QVariant& value)
{
    m_writes << key;
    m_values.insert(key, value);
}

void MemoryPropertyBag::omitted(const QString& key)
{
    m_writes << key;
}

} // namespace brixel
