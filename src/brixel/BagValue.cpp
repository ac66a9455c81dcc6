#include "BagValue.h"

#include <brixel/Picture.h>

#include <QBuffer>
#include <QFont>

namespace brixel {

quint32 toStoredColor(const QColor& color)
{
    return static_cast<quint32>(color.red()) | (static_cast<quint32>(color.green()) << 8)
        | (static_cast<quint32>(color.blue()) << 16);
}

QColor fromStoredColor(quint32 value)
{
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

Picture Picture::load(const QString& reference, const QString& resolvedPath)
{
    Picture picture{QImage(resolvedPath), reference};
    if (picture.image.isNull())
        picture.source.clear();
    return picture;
}

namespace {

// "&H00C0C0C0&", "&HC0C0C0", "12632256", "-1": the forms a stored number takes.
std::optional<qlonglong> parseNumber(QString text)
{
    text = text.trimmed();
    if (text.endsWith(QLatin1Char('&')) || text.endsWith(QLatin1Char('#')))
        text.chop(1);
    bool ok = false;
    qlonglong number = 0;
    if (text.startsWith(QLatin1String("&H"), Qt::CaseInsensitive))
        number = text.mid(2).toLongLong(&ok, 16);
    else
        number = text.toLongLong(&ok, 10);
    if (!ok)
        return std::nullopt;
    return number;
}

std::optional<bool> parseBool(const QString& text)
{
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    if (auto number = parseNumber(t))
        return *number != 0;
    return std::nullopt;
}

std::optional<QColor> parseColor(const QVariant& held)
{
    if (held.typeId() == QMetaType::QColor)
        return held.value<QColor>();
    if (held.typeId() == QMetaType::QString) {
        const QString text = held.toString().trimmed();
        if (text.startsWith(QLatin1Char('#')))
            return QColor(text).isValid() ? std::optional<QColor>(QColor(text)) : std::nullopt;
        if (auto number = parseNumber(text))
            return fromStoredColor(static_cast<quint32>(*number));
        return std::nullopt;
    }
    bool ok = false;
    const qlonglong number = held.toLongLong(&ok);
    return ok ? std::optional<QColor>(fromStoredColor(static_cast<quint32>(number))) : std::nullopt;
}

std::optional<Picture> parsePicture(
    const QVariant& held, const std::function<QString(const QString&)>& resolvePath)
{
    if (held.canConvert<Picture>() && held.typeId() == qMetaTypeId<Picture>())
        return held.value<Picture>();
    if (held.typeId() == QMetaType::QImage)
        return Picture::fromImage(held.value<QImage>());
    if (held.typeId() != QMetaType::QString)
        return std::nullopt;
    const QString reference = held.toString();
    if (reference.isEmpty())
        return Picture{};
    if (reference.startsWith(QLatin1String("png:"))) {
        QImage image;
        image.loadFromData(QByteArray::fromBase64(reference.mid(4).toLatin1()), "PNG");
        return Picture::fromImage(image);
    }
    return Picture::load(reference, resolvePath(reference));
}

std::optional<QVariant> parseText(const QString& text, QMetaType wanted)
{
    switch (wanted.id()) {
    case QMetaType::Bool:
        if (auto b = parseBool(text))
            return QVariant(*b);
        return std::nullopt;
    case QMetaType::Int:
    case QMetaType::Short:
        if (auto n = parseNumber(text))
            return QVariant(static_cast<int>(*n));
        return std::nullopt;
    case QMetaType::Float:
    case QMetaType::Double: {
        bool ok = false;
        const double d = text.trimmed().toDouble(&ok);
        if (!ok)
            return std::nullopt;
        return wanted.id() == QMetaType::Float ? QVariant(static_cast<float>(d)) : QVariant(d);
    }
    case QMetaType::QString:
        return QVariant(text);
    case QMetaType::QFont: {
        QFont font;
        if (!font.fromString(text))
            return std::nullopt;
        return QVariant(font);
    }
    default:
        return std::nullopt;
    }
}

QString quoteText(const QString& text)
{
    QString out = QStringLiteral("\"");
    for (const QChar c : text) {
        if (c == QLatin1Char('"') || c == QLatin1Char('\\'))
            out += QLatin1Char('\\') + c;
        else if (c == QLatin1Char('\n'))
            out += QLatin1String("\\n");
        else if (c == QLatin1Char('\r'))
            out += QLatin1String("\\r");
        else
            out += c;
    }
    return out + QLatin1Char('"');
}

QString pictureToText(const Picture& picture)
{
    if (picture.isNull())
        return quoteText(QString());
    if (!picture.source.isEmpty())
        return quoteText(picture.source);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    picture.image.save(&buffer, "PNG");
    return quoteText(QStringLiteral("png:") + QString::fromLatin1(png.toBase64()));
}

} // namespace

std::optional<QVariant> coerceValue(
    const QVariant& held, QMetaType wanted, const std::function<QString(const QString&)>& resolvePath)
{
    if (wanted.id() == QMetaType::QColor) {
        if (auto color = parseColor(held))
            return QVariant(*color);
        return std::nullopt;
    }
    if (wanted.id() == qMetaTypeId<Picture>()) {
        if (auto picture = parsePicture(held, resolvePath))
            return QVariant::fromValue(*picture);
        return std::nullopt;
    }
    if (held.typeId() == QMetaType::QString)
        return parseText(held.toString(), wanted);
    if (held.metaType() == wanted)
        return held;
    QVariant converted = held;
    if (!converted.convert(wanted))
        return std::nullopt;
    return converted;
}

QString valueToText(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case QMetaType::QColor:
        return QStringLiteral("&H%1&")
            .arg(toStoredColor(value.value<QColor>()), 8, 16, QLatin1Char('0'))
            .toUpper();
    case QMetaType::Float:
    case QMetaType::Double:
        return QString::number(value.toDouble(), 'g', 9);
    case QMetaType::QString:
        return quoteText(value.toString());
    case QMetaType::QFont:
        return quoteText(value.value<QFont>().toString());
    default:
        if (value.typeId() == qMetaTypeId<Picture>())
            return pictureToText(value.value<Picture>());
        return value.toString();
    }
}

QString unquoteText(const QString& raw)
{
    const QString text = raw.trimmed();
    if (!text.startsWith(QLatin1Char('"')))
        return text;
    QString out;
    for (qsizetype i = 1; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('"'))
            break;
        if (c == QLatin1Char('\\') && i + 1 < text.size()) {
            const QChar next = text.at(++i);
            out += next == QLatin1Char('n') ? QChar(QLatin1Char('\n'))
                : next == QLatin1Char('r')  ? QChar(QLatin1Char('\r'))
                                            : next;
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace brixel
