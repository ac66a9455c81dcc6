#pragma once
// The error a button raises for a property value it refuses; the stored value
// stays what it was.
#include <QString>
#include <stdexcept>

namespace brixel {

constexpr int ErrorNotSettableAtRunTime = 382;
constexpr int ErrorInvalidPropertyValue = 383;

class PropertyError : public std::runtime_error {
public:
    PropertyError(
        int number, const QString& source, const QString& description = QStringLiteral("Index invalid"))
        : std::runtime_error(description.toStdString())
        , m_number(number)
        , m_source(source)
        , m_description(description)
    {
    }

    int number() const { return m_number; }
    // "Button." followed by the property name, e.g. "Button.BtnAppearance".
    QString source() const { return m_source; }
    QString description() const { return m_description; }

private:
    int m_number;
    QString m_source;
    QString m_description;
};

} // namespace brixel
