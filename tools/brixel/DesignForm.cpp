#include "DesignForm.h"

#include <brixel/DesignFile.h>
#include <brixel/Enums.h>
#include <brixel/Twips.h>

#include <QColor>
#include <QDir>
#include <QFont>
#include <QMetaEnum>
#include <QRect>
#include <QStringList>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>
#include <algorithm>
#include <climits>
#include <functional>

namespace brixel {

namespace {

const QString ButtonClass = QStringLiteral("brixel::Button");
const char* const PlacedByWindow = "placedByWindow";
const char* const SizedByWindow = "sizedByWindow";
constexpr int Margin = 8;
constexpr int DefaultWidth = 100; // pixels, for a button its window sizes
constexpr int DefaultHeight = 30;

enum class Kind { String, Color, Enum, Number, Bool, Font, Pixmap };

struct Mapping {
    const char* key; // as stored in the design
    const char* property; // as the designer names it
    Kind kind;
    QMetaEnum enumeration = {};
};

// Designer properties of the button, in the order a form lists them.
const QList<Mapping>& mappings()
{
    static const QList<Mapping> table = {
        {"caption", "caption", Kind::String},
        {"captiondown", "captionDown", Kind::String},
        {"captionfont", "captionFont", Kind::Font},
        {"capcolor", "capColor", Kind::Color},
        {"capcolorover", "capColorOver", Kind::Color},
        {"capcolordown", "capColorDown", Kind::Color},
        {"backcolor", "backColor", Kind::Color},
        {"backcolorover", "backColorOver", Kind::Color},
        {"backcolordown", "backColorDown", Kind::Color},
        {"btnbackstyle", "backStyle", Kind::Enum, QMetaEnum::fromType<BtnBackStyle>()},
        {"btnappearance", "btnAppearance", Kind::Enum, QMetaEnum::fromType<BtnAppearance>()},
        {"btnsunkeneffects", "btnSunkenEffects", Kind::Enum, QMetaEnum::fromType<BtnSunkenEffects>()},
        {"btncontenteffects", "btnContentEffects", Kind::Enum, QMetaEnum::fromType<BtnContentEffects>()},
        {"picautofit", "picAutoFit", Kind::Enum, QMetaEnum::fromType<picAutoFit>()},
        {"picdefaultarrange", "picDefaultArrange", Kind::Enum, QMetaEnum::fromType<picDefaultArrange>()},
        {"piccapspacing", "picCapSpacing", Kind::Number},
        {"pictureup", "pictureUp", Kind::Pixmap},
        {"pictureover", "pictureOver", Kind::Pixmap},
        {"picturedown", "pictureDown", Kind::Pixmap},
        {"tooltiptext", "toolTipText", Kind::String},
        {"tooltipbackcolor", "toolTipBackColor", Kind::Color},
        {"tooltipforecolor", "toolTipForeColor", Kind::Color},
        {"enabled", "enabled", Kind::Bool},
    };
    return table;
}

const Mapping* mappingForKey(const QString& key)
{
    for (const Mapping& m : mappings()) {
        if (key.compare(QLatin1String(m.key), Qt::CaseInsensitive) == 0)
            return &m;
    }
    return nullptr;
}

const Mapping* mappingForProperty(const QString& property)
{
    for (const Mapping& m : mappings()) {
        if (property == QLatin1String(m.property))
            return &m;
    }
    return nullptr;
}

const char* const GeometryKeys[] = {"left", "top", "btnwidth", "btnheight"};

bool isGeometryKey(const QString& key)
{
    return std::any_of(std::begin(GeometryKeys), std::end(GeometryKeys),
        [&key](const char* k) { return key.compare(QLatin1String(k), Qt::CaseInsensitive) == 0; });
}

// --- Typed values from stored text, nothing when the text does not read as its kind.

std::optional<QVariant> storedValue(const TextPropertyBag& bag, const QString& key, const Mapping& m)
{
    const QString raw = bag.text(key);
    switch (m.kind) {
    case Kind::String:
        return QVariant(bag.read(key, QString()).toString());
    case Kind::Color: {
        const QColor color = bag.read(key, QColor()).value<QColor>();
        return color.isValid() ? std::optional<QVariant>(color) : std::nullopt;
    }
    case Kind::Enum: {
        bool ok = false;
        const int value = raw.toInt(&ok);
        return ok && m.enumeration.valueToKey(value) != nullptr ? std::optional<QVariant>(value)
                                                                : std::nullopt;
    }
    case Kind::Number: {
        bool ok = false;
        const int value = raw.toInt(&ok);
        return ok ? std::optional<QVariant>(value) : std::nullopt;
    }
    case Kind::Bool:
        if (raw.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
            return QVariant(true);
        if (raw.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
            return QVariant(false);
        return std::nullopt;
    case Kind::Font: {
        QFont font;
        const QString description = bag.read(key, QString()).toString();
        return !description.isEmpty() && font.fromString(description) ? std::optional<QVariant>(font)
                                                                      : std::nullopt;
    }
    case Kind::Pixmap: {
        const QString path = bag.read(key, QString()).toString();
        // Built-in pictures (png:...) and empty ones have no path a designer can show.
        return path.isEmpty() || path.startsWith(QLatin1String("png:")) ? std::nullopt
                                                                        : std::optional<QVariant>(path);
    }
    }
    return std::nullopt;
}

std::optional<int> storedTwips(const TextPropertyBag& bag, const char* key)
{
    if (!bag.contains(QLatin1String(key)))
        return std::nullopt;
    bool ok = false;
    const double value = bag.text(QLatin1String(key)).toDouble(&ok);
    return ok ? std::optional<int>(roundHalfEven(value)) : std::nullopt;
}

// The text a value is stored as.
QString textOf(const QVariant& value)
{
    TextPropertyBag scratch;
    scratch.write(QStringLiteral("v"), value, QVariant());
    return scratch.text(QStringLiteral("v"));
}

// Fonts compare on what a form holds of them.
bool sameFont(const QFont& a, const QFont& b)
{
    return a.family() == b.family() && a.pointSize() == b.pointSize() && a.bold() == b.bold()
        && a.italic() == b.italic() && a.underline() == b.underline() && a.strikeOut() == b.strikeOut();
}

// --- Writing the form ----------------------------------------------------------

struct FormButton {
    QString name;
    const TextPropertyBag* bag;
    QRect geometry;
    bool placedByWindow;
    bool sizedByWindow;
};

void writeProperty(
    QXmlStreamWriter& xml, const QString& name, bool dynamic, const std::function<void()>& value)
{
    xml.writeStartElement(QStringLiteral("property"));
    xml.writeAttribute(QStringLiteral("name"), name);
    if (dynamic)
        xml.writeAttribute(QStringLiteral("stdset"), QStringLiteral("0"));
    value();
    xml.writeEndElement();
}

void writeTypedValue(
    QXmlStreamWriter& xml, const Mapping& m, const QVariant& value, const QString& resourceFile)
{
    switch (m.kind) {
    case Kind::String:
        xml.writeTextElement(QStringLiteral("string"), value.toString());
        break;
    case Kind::Color: {
        const QColor color = value.value<QColor>();
        xml.writeStartElement(QStringLiteral("color"));
        xml.writeTextElement(QStringLiteral("red"), QString::number(color.red()));
        xml.writeTextElement(QStringLiteral("green"), QString::number(color.green()));
        xml.writeTextElement(QStringLiteral("blue"), QString::number(color.blue()));
        xml.writeEndElement();
        break;
    }
    case Kind::Enum:
        xml.writeTextElement(QStringLiteral("enum"),
            QStringLiteral("brixel::") + QLatin1String(m.enumeration.valueToKey(value.toInt())));
        break;
    case Kind::Number:
        xml.writeTextElement(QStringLiteral("number"), QString::number(value.toInt()));
        break;
    case Kind::Bool:
        xml.writeTextElement(
            QStringLiteral("bool"), value.toBool() ? QStringLiteral("true") : QStringLiteral("false"));
        break;
    case Kind::Font: {
        const QFont font = value.value<QFont>();
        const auto flag = [](bool on) { return on ? QStringLiteral("true") : QStringLiteral("false"); };
        xml.writeStartElement(QStringLiteral("font"));
        xml.writeTextElement(QStringLiteral("family"), font.family());
        xml.writeTextElement(QStringLiteral("pointsize"), QString::number(font.pointSize()));
        xml.writeTextElement(QStringLiteral("bold"), flag(font.bold()));
        xml.writeTextElement(QStringLiteral("italic"), flag(font.italic()));
        xml.writeTextElement(QStringLiteral("underline"), flag(font.underline()));
        xml.writeTextElement(QStringLiteral("strikeout"), flag(font.strikeOut()));
        xml.writeEndElement();
        break;
    }
    case Kind::Pixmap: {
        const QString path = value.toString();
        xml.writeStartElement(QStringLiteral("pixmap"));
        if (path.startsWith(QLatin1Char(':')) && !resourceFile.isEmpty())
            xml.writeAttribute(QStringLiteral("resource"), resourceFile);
        xml.writeCharacters(path);
        xml.writeEndElement();
        break;
    }
    }
}

void writeButton(QXmlStreamWriter& xml, const FormButton& button, const QString& resourceFile)
{
    xml.writeStartElement(QStringLiteral("widget"));
    xml.writeAttribute(QStringLiteral("class"), ButtonClass);
    xml.writeAttribute(QStringLiteral("name"), button.name);
    writeProperty(xml, QStringLiteral("geometry"), false, [&] {
        xml.writeStartElement(QStringLiteral("rect"));
        xml.writeTextElement(QStringLiteral("x"), QString::number(button.geometry.x()));
        xml.writeTextElement(QStringLiteral("y"), QString::number(button.geometry.y()));
        xml.writeTextElement(QStringLiteral("width"), QString::number(button.geometry.width()));
        xml.writeTextElement(QStringLiteral("height"), QString::number(button.geometry.height()));
        xml.writeEndElement();
    });
    const TextPropertyBag& bag = *button.bag;
    QStringList raw; // entries kept as their stored text
    for (const auto& [key, text] : bag.entries()) {
        const Mapping* m = mappingForKey(key);
        if (m == nullptr || !storedValue(bag, key, *m))
            raw << key;
    }
    for (const Mapping& m : mappings()) {
        const QString key = QLatin1String(m.key);
        if (!bag.contains(key) || raw.contains(key))
            continue;
        const QVariant value = *storedValue(bag, key, m);
        writeProperty(
            xml, QLatin1String(m.property), false, [&] { writeTypedValue(xml, m, value, resourceFile); });
    }
    // A length that is not a number, or a half place, is kept as written.
    const bool placed = !button.placedByWindow;
    const bool sized = !button.sizedByWindow;
    for (const auto& [key, text] : bag.entries()) {
        const bool geometryKey = isGeometryKey(key);
        const bool carried
            = geometryKey && ((key == QLatin1String("left") || key == QLatin1String("top")) ? placed : sized);
        if (raw.contains(key) && !carried)
            writeProperty(
                xml, key, true, [&, t = text] { xml.writeTextElement(QStringLiteral("string"), t); });
    }
    for (const auto& [flag, on] :
        {std::pair{PlacedByWindow, button.placedByWindow}, {SizedByWindow, button.sizedByWindow}}) {
        if (on)
            writeProperty(xml, QLatin1String(flag), true,
                [&] { xml.writeTextElement(QStringLiteral("bool"), QStringLiteral("true")); });
    }
    xml.writeEndElement();
}

} // namespace

QString designToForm(const QString& designText, const FormOptions& options)
{
    const DesignFile design = DesignFile::parse(designText);
    QList<FormButton> buttons;
    int right = 0;
    for (const QString& name : design.sectionNames()) {
        const TextPropertyBag* bag = design.section(name);
        const auto left = storedTwips(*bag, "left");
        const auto top = storedTwips(*bag, "top");
        const auto width = storedTwips(*bag, "btnwidth");
        const auto height = storedTwips(*bag, "btnheight");
        FormButton button{name, bag, {}, !(left && top), !(width && height)};
        button.geometry = QRect(left ? twipsToPixels(*left) : 0, top ? twipsToPixels(*top) : 0,
            width ? twipsToPixels(*width) : DefaultWidth, height ? twipsToPixels(*height) : DefaultHeight);
        if (!button.placedByWindow)
            right = std::max(right, button.geometry.right() + 1);
        buttons << button;
    }
    // Buttons their window places in code go in a column beside the placed ones.
    int y = Margin;
    for (FormButton& button : buttons) {
        if (!button.placedByWindow)
            continue;
        button.geometry.moveTo(right + Margin, y);
        y += button.geometry.height() + Margin;
    }
    QRect extent(0, 0, 200, 100);
    for (const FormButton& button : buttons)
        extent |= button.geometry;

    QString out;
    QXmlStreamWriter xml(&out);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(1);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("ui"));
    xml.writeAttribute(QStringLiteral("version"), QStringLiteral("4.0"));
    xml.writeTextElement(QStringLiteral("class"), options.formName);
    xml.writeStartElement(QStringLiteral("widget"));
    xml.writeAttribute(QStringLiteral("class"), QStringLiteral("QWidget"));
    xml.writeAttribute(QStringLiteral("name"), options.formName);
    writeProperty(xml, QStringLiteral("geometry"), false, [&] {
        xml.writeStartElement(QStringLiteral("rect"));
        xml.writeTextElement(QStringLiteral("x"), QStringLiteral("0"));
        xml.writeTextElement(QStringLiteral("y"), QStringLiteral("0"));
        xml.writeTextElement(QStringLiteral("width"), QString::number(extent.right() + 1 + Margin));
        xml.writeTextElement(QStringLiteral("height"), QString::number(extent.bottom() + 1 + Margin));
        xml.writeEndElement();
    });
    for (const FormButton& button : buttons)
        writeButton(xml, button, options.resourceFile);
    xml.writeEndElement(); // widget
    xml.writeStartElement(QStringLiteral("customwidgets"));
    xml.writeStartElement(QStringLiteral("customwidget"));
    xml.writeTextElement(QStringLiteral("class"), ButtonClass);
    xml.writeTextElement(QStringLiteral("extends"), QStringLiteral("QWidget"));
    xml.writeTextElement(QStringLiteral("header"), QStringLiteral("brixel/Button.h"));
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeStartElement(QStringLiteral("resources"));
    if (!options.resourceFile.isEmpty()) {
        xml.writeStartElement(QStringLiteral("include"));
        xml.writeAttribute(QStringLiteral("location"), options.resourceFile);
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeEmptyElement(QStringLiteral("connections"));
    xml.writeEndElement(); // ui
    xml.writeEndDocument();
    return out;
}

// --- Reading the form back -------------------------------------------------------

namespace {

// One stored entry of a button as the form gives it.
struct FormEntry {
    QString key;
    QVariant value; // typed, or the stored text of a dynamic property
    const Mapping* mapping = nullptr; // nullptr: a text kept as written
    bool twips = false; // a length given in pixels
};

struct ReadButton {
    QString name;
    QList<FormEntry> entries;
};

// The text of a typed value element (<string>, <number>, <color>...), as a variant.
QVariant readValue(QXmlStreamReader& xml, QString* type)
{
    *type = xml.name().toString();
    if (*type == QLatin1String("color")) {
        QColor color(0, 0, 0);
        while (xml.readNextStartElement()) {
            const int part = xml.readElementText().toInt();
            if (xml.name() == QLatin1String("red"))
                color.setRed(part);
            else if (xml.name() == QLatin1String("green"))
                color.setGreen(part);
            else if (xml.name() == QLatin1String("blue"))
                color.setBlue(part);
        }
        return color;
    }
    if (*type == QLatin1String("font")) {
        QFont font;
        while (xml.readNextStartElement()) {
            const QString text = xml.readElementText();
            const bool on = text == QLatin1String("true");
            if (xml.name() == QLatin1String("family"))
                font.setFamily(text);
            else if (xml.name() == QLatin1String("pointsize"))
                font.setPointSize(text.toInt());
            else if (xml.name() == QLatin1String("bold"))
                font.setBold(on);
            else if (xml.name() == QLatin1String("italic"))
                font.setItalic(on);
            else if (xml.name() == QLatin1String("underline"))
                font.setUnderline(on);
            else if (xml.name() == QLatin1String("strikeout"))
                font.setStrikeOut(on);
        }
        return font;
    }
    if (*type == QLatin1String("rect")) {
        QRect rect;
        while (xml.readNextStartElement()) {
            const int part = xml.readElementText().toInt();
            if (xml.name() == QLatin1String("x"))
                rect.moveLeft(part);
            else if (xml.name() == QLatin1String("y"))
                rect.moveTop(part);
            else if (xml.name() == QLatin1String("width"))
                rect.setWidth(part);
            else if (xml.name() == QLatin1String("height"))
                rect.setHeight(part);
        }
        return rect;
    }
    return xml.readElementText(QXmlStreamReader::IncludeChildElements);
}

QString picturePath(const QString& path, const DesignOptions& options)
{
    if (path.startsWith(QLatin1Char(':')) || options.formFolder.isEmpty())
        return path;
    const QString file = QDir::cleanPath(QDir(options.formFolder).absoluteFilePath(path));
    if (options.designFolder.isEmpty())
        return file;
    const QString relative = QDir(options.designFolder).relativeFilePath(file);
    return relative.startsWith(QLatin1String("..")) ? file : relative;
}

// The designer property a form's property stands for, when it has the value
// element of its kind (Designer may mark any of them as dynamic).
const Mapping* typedMapping(const QString& property, const QString& element)
{
    const Mapping* m = mappingForProperty(property);
    if (m == nullptr)
        return nullptr;
    static const char* const elements[] = {"string", "color", "enum", "number", "bool", "font", "pixmap"};
    const bool matches = element == QLatin1String(elements[static_cast<int>(m->kind)])
        || (m->kind == Kind::Pixmap && element == QLatin1String("iconset"))
        || (m->kind == Kind::Enum && element == QLatin1String("number"));
    return matches ? m : nullptr;
}

// Reads a <widget class="brixel::Button"> element (the reader is on it).
ReadButton readButton(QXmlStreamReader& xml, const DesignOptions& options)
{
    ReadButton button{xml.attributes().value(QLatin1String("name")).toString(), {}};
    std::optional<QRect> geometry;
    bool placedByWindow = false;
    bool sizedByWindow = false;
    while (xml.readNextStartElement()) {
        if (xml.name() != QLatin1String("property")) {
            xml.skipCurrentElement();
            continue;
        }
        const QString name = xml.attributes().value(QLatin1String("name")).toString();
        const bool dynamic = xml.attributes().value(QLatin1String("stdset")) == QLatin1String("0");
        if (!xml.readNextStartElement())
            continue; // an empty property
        QString type;
        QVariant value = readValue(xml, &type);
        xml.skipCurrentElement(); // </property>
        if (name == QLatin1String("geometry") && !dynamic) {
            geometry = value.toRect();
        } else if (name == QLatin1String(PlacedByWindow) && dynamic) {
            placedByWindow = value.toString() == QLatin1String("true");
        } else if (name == QLatin1String(SizedByWindow) && dynamic) {
            sizedByWindow = value.toString() == QLatin1String("true");
        } else if (const Mapping* m = typedMapping(name, type)) {
            switch (m->kind) {
            case Kind::Enum: {
                const QString key = value.toString().section(QStringLiteral("::"), -1);
                bool ok = false;
                const int number = m->enumeration.keyToValue(key.toLatin1().constData(), &ok);
                value = ok ? number : value.toString().toInt();
                break;
            }
            case Kind::Number:
                value = value.toString().toInt();
                break;
            case Kind::Bool:
                value = value.toString() == QLatin1String("true");
                break;
            case Kind::Pixmap:
                value = picturePath(value.toString(), options);
                break;
            default:
                break;
            }
            button.entries << FormEntry{QLatin1String(m->key), value, m};
        } else if (dynamic) {
            button.entries << FormEntry{name.toLower(), value.toString()};
        }
    }
    if (geometry) {
        if (!placedByWindow) {
            button.entries << FormEntry{QStringLiteral("left"), geometry->x(), nullptr, true};
            button.entries << FormEntry{QStringLiteral("top"), geometry->y(), nullptr, true};
        }
        if (!sizedByWindow) {
            button.entries << FormEntry{QStringLiteral("btnwidth"), geometry->width(), nullptr, true};
            button.entries << FormEntry{QStringLiteral("btnheight"), geometry->height(), nullptr, true};
        }
    }
    return button;
}

// The canonical order of a new section: designer properties, then lengths, then the rest.
int orderOf(const FormEntry& entry)
{
    if (entry.mapping != nullptr)
        return static_cast<int>(entry.mapping - mappings().constData());
    if (entry.twips)
        return 1000;
    return 2000;
}

QString newText(const FormEntry& entry)
{
    if (entry.twips)
        return QString::number(pixelsToTwips(entry.value.toInt()));
    if (entry.mapping == nullptr)
        return entry.value.toString();
    if (entry.mapping->kind == Kind::Font)
        return textOf(entry.value.value<QFont>().toString());
    return textOf(entry.value);
}

// Whether the stored line already says what the form holds.
bool storedTextHolds(const QString& line, const FormEntry& entry)
{
    TextPropertyBag bag;
    bag.setText(entry.key, line.mid(line.indexOf(QLatin1Char('=')) + 1).trimmed());
    const QString raw = bag.text(entry.key);
    if (entry.twips) {
        bool ok = false;
        const double twips = raw.toDouble(&ok);
        return ok && twipsToPixels(twips) == entry.value.toInt();
    }
    if (entry.mapping == nullptr)
        return raw == entry.value.toString();
    const auto stored = storedValue(bag, entry.key, *entry.mapping);
    if (!stored)
        return false;
    if (entry.mapping->kind == Kind::Font)
        return sameFont(stored->value<QFont>(), entry.value.value<QFont>());
    return PropertyBag::sameValue(*stored, entry.value);
}

struct Line {
    QString text;
    QString section; // the section it opens, for a header line
    QString key; // the entry's key, for an entry line
};

QList<Line> splitLines(const QString& text)
{
    QList<Line> lines;
    bool inSection = false;
    for (const QString& raw : text.split(QLatin1Char('\n'))) {
        Line line{raw, {}, {}};
        const QString trimmed = raw.trimmed();
        if (trimmed.startsWith(QLatin1Char('[')) && trimmed.endsWith(QLatin1Char(']'))) {
            line.section = trimmed.mid(1, trimmed.size() - 2).trimmed();
            inSection = true;
        } else if (inSection && !trimmed.startsWith(QLatin1Char(';'))
            && !trimmed.startsWith(QLatin1Char('#'))) {
            const qsizetype equals = trimmed.indexOf(QLatin1Char('='));
            if (equals > 0)
                line.key = trimmed.left(equals).trimmed();
        }
        lines << line;
    }
    return lines;
}

QString replacedValue(const QString& line, const QString& text)
{
    const qsizetype equals = line.indexOf(QLatin1Char('='));
    qsizetype start = equals + 1;
    while (start < line.size() && line.at(start) == QLatin1Char(' '))
        ++start;
    return line.left(start) + text;
}

QStringList sectionText(const ReadButton& button)
{
    QList<FormEntry> entries = button.entries;
    std::stable_sort(entries.begin(), entries.end(),
        [](const FormEntry& a, const FormEntry& b) { return orderOf(a) < orderOf(b); });
    QStringList lines{QLatin1Char('[') + button.name.toLower() + QLatin1Char(']')};
    for (const FormEntry& entry : entries)
        lines << entry.key + QLatin1String(" = ") + newText(entry);
    return lines;
}

} // namespace

std::optional<QString> formToDesign(const QString& formText, const DesignOptions& options, QString* error)
{
    QXmlStreamReader xml(formText);
    QList<ReadButton> buttons;
    if (!xml.readNextStartElement() || xml.name() != QLatin1String("ui")) {
        if (error)
            *error = QStringLiteral("Ce fichier n'est pas un formulaire Qt Designer.");
        return std::nullopt;
    }
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1String("widget")
            && xml.attributes().value(QLatin1String("class")) == ButtonClass)
            buttons << readButton(xml, options);
    }
    if (xml.hasError()) {
        if (error)
            *error = QStringLiteral("Formulaire illisible, ligne %1 : %2")
                         .arg(xml.lineNumber())
                         .arg(xml.errorString());
        return std::nullopt;
    }
    QStringList names;
    for (const ReadButton& button : buttons) {
        if (button.name.isEmpty() || names.contains(button.name, Qt::CaseInsensitive)) {
            if (error)
                *error = QStringLiteral("Bouton sans nom ou nommé deux fois : « %1 ».").arg(button.name);
            return std::nullopt;
        }
        names << button.name;
    }
    const auto findButton = [&buttons](const QString& name) -> const ReadButton* {
        for (const ReadButton& button : buttons) {
            if (button.name.compare(name, Qt::CaseInsensitive) == 0)
                return &button;
        }
        return nullptr;
    };

    // The last line's end is kept apart, so dropping the last section keeps it.
    const bool endsWithNewline
        = options.baseDesign.isEmpty() || options.baseDesign.endsWith(QLatin1Char('\n'));
    const QList<Line> lines = options.baseDesign.isEmpty()
        ? QList<Line>()
        : splitLines(endsWithNewline ? options.baseDesign.chopped(1) : options.baseDesign);
    QStringList out;
    QStringList written;
    bool blankBeforeSections = false;
    for (qsizetype i = 0; i < lines.size();) {
        if (lines[i].section.isEmpty()) {
            out << lines[i++].text;
            continue;
        }
        // A section: its header up to the next header.
        qsizetype end = i + 1;
        while (end < lines.size() && lines[end].section.isEmpty())
            ++end;
        if (!out.isEmpty() && written.size() > 0 && out.last().trimmed().isEmpty())
            blankBeforeSections = true;
        const ReadButton* button = findButton(lines[i].section);
        if (button == nullptr || written.contains(button->name)) {
            i = end; // gone from the form
            continue;
        }
        written << button->name;
        out << lines[i].text;
        QStringList done;
        QStringList blockKeys; // entries the block lacks (new, or from a repeated section) are added to it
        for (qsizetype l = i + 1; l < end; ++l) {
            if (!lines[l].key.isEmpty())
                blockKeys << lines[l].key.toLower();
        }
        qsizetype last = end; // new entries go before the section's trailing blank lines
        while (last > i + 1 && lines[last - 1].text.trimmed().isEmpty())
            --last;
        const auto appendNewEntries = [&] {
            for (const FormEntry& entry : button->entries) {
                if (!done.contains(entry.key) && !blockKeys.contains(entry.key))
                    out << entry.key + QLatin1String(" = ") + newText(entry);
            }
        };
        for (qsizetype l = i + 1; l < end; ++l) {
            if (l == last)
                appendNewEntries();
            const Line& line = lines[l];
            if (line.key.isEmpty()) {
                out << line.text;
                continue;
            }
            const auto entry = std::find_if(button->entries.begin(), button->entries.end(),
                [&line](const FormEntry& e) { return e.key.compare(line.key, Qt::CaseInsensitive) == 0; });
            if (entry == button->entries.end() || done.contains(entry->key))
                continue; // no longer set on the form
            done << entry->key;
            out << (storedTextHolds(line.text, *entry) ? line.text
                                                       : replacedValue(line.text, newText(*entry)));
        }
        if (last == end)
            appendNewEntries();
        i = end;
    }
    // A removed last section leaves no blank lines behind it.
    const auto trailingBlanks = [](const QStringList& texts) {
        qsizetype count = 0;
        while (count < texts.size() && texts[texts.size() - 1 - count].trimmed().isEmpty())
            ++count;
        return count;
    };
    QStringList baseTexts;
    for (const Line& line : lines)
        baseTexts << line.text;
    while (trailingBlanks(out) > trailingBlanks(baseTexts))
        out.removeLast();
    // Buttons new to the design, after the others.
    for (const ReadButton& button : buttons) {
        if (written.contains(button.name))
            continue;
        if (blankBeforeSections && !out.isEmpty() && !out.last().trimmed().isEmpty())
            out << QString();
        out << sectionText(button);
    }
    return out.join(QLatin1Char('\n'))
        + (endsWithNewline && !out.isEmpty() ? QStringLiteral("\n") : QString());
}

} // namespace brixel
