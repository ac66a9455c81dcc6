#pragma once
// A property bag: named values a container keeps for each of its controls.
// Names match without regard to letter case. Reading a missing name yields the
// given default; writing a value equal to the given default stores nothing.
// Values come back in the type of the default (bool, int, float, QString,
// QColor, QFont, brixel::Picture), converted from what the bag holds.
#include <QMetaType>
#include <QStringList>
#include <QVariant>
#include <optional>

namespace brixel {

class PropertyBag {
public:
    virtual ~PropertyBag() = default;

    QVariant read(const QString& name, const QVariant& defaultValue) const;
    void write(const QString& name, const QVariant& value, const QVariant& defaultValue);

    // Equality as the bag sees it (colours by their RGB value, pictures by content).
    static bool sameValue(const QVariant& a, const QVariant& b);

protected:
    // The value held under the name (already case-folded by the caller), if any.
    virtual std::optional<QVariant> fetch(const QString& key) const = 0;
    virtual void store(const QString& key, const QVariant& value) = 0;
    // A write left out because it equals its default; bags that trace use it.
    virtual void omitted(const QString& /*key*/) { }
    // Where a picture referenced by the bag is to be loaded from.
    virtual QString resolvePicturePath(const QString& reference) const { return reference; }
};

// Bag held in memory, with a trace of the names read and written (in order,
// omitted writes included), so the order of a save or load can be checked.
class MemoryPropertyBag : public PropertyBag {
public:
    bool contains(const QString& name) const;
    QVariant value(const QString& name) const;
    void set(const QString& name, const QVariant& value);
    int count() const { return static_cast<int>(m_values.size()); }

    QStringList readTrace() const { return m_reads; }
    QStringList writeTrace() const { return m_writes; }

protected:
    std::optional<QVariant> fetch(const QString& key) const override;
    void store(const QString& key, const QVariant& value) override;
    void omitted(const QString& key) override;

private:
    QMap<QString, QVariant> m_values;
    mutable QStringList m_reads;
    QStringList m_writes;
};

} // namespace brixel
