#include <brixel/DesignFile.h>

#include "BagValue.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace brixel {

TextPropertyBag::TextPropertyBag(const QString& baseFolder)
    : m_baseFolder(baseFolder)
{
}

int TextPropertyBag::indexOf(const QString& key) const
{
    for (int i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].first.compare(key, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

bool TextPropertyBag::contains(const QString& name) const
{
    return indexOf(name) >= 0;
}

QString TextPropertyBag::text(const QString& name) const
{
    const int i = indexOf(name);
    return i < 0 ? QString() : m_entries[i].second;
}

void TextPropertyBag::setText(const QString& name, const QString& text)
{
    const int i = indexOf(name);
    if (i < 0)
        m_entries.append({name.toLower(), text});
    else
        m_entries[i].second = text;
}

std::optional<QVariant> TextPropertyBag::fetch(const QString& key) const
{
    const int i = indexOf(key);
    if (i < 0)
        return std::nullopt;
    return QVariant(unquoteText(m_entries[i].second));
}

void TextPropertyBag::store(const QString& key, const QVariant& value)
{
    setText(key, valueToText(value));
}

QString TextPropertyBag::resolvePicturePath(const QString& reference) const
{
    if (reference.startsWith(QLatin1Char(':')) || QDir::isAbsolutePath(reference) || m_baseFolder.isEmpty())
        return reference;
    return QDir(m_baseFolder).filePath(reference);
}

DesignFile::DesignFile(const QString& baseFolder)
    : m_baseFolder(baseFolder)
{
}

DesignFile DesignFile::parse(const QString& text, const QString& baseFolder)
{
    DesignFile design(baseFolder);
    TextPropertyBag* current = nullptr;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (const QString& rawLine : lines) {
        const QString line = rawLine.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            current = &design.addSection(line.mid(1, line.size() - 2).trimmed());
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (current == nullptr || equals <= 0)
            continue; // stray text outside a section, or no "key = value": skipped
        current->setText(line.left(equals).trimmed(), line.mid(equals + 1).trimmed());
    }
    return design;
}

std::optional<DesignFile> DesignFile::load(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QString folder
        = path.startsWith(QLatin1Char(':')) ? QFileInfo(path).path() : QFileInfo(path).absolutePath();
    return parse(QString::fromUtf8(file.readAll()), folder);
}

bool DesignFile::save(const QString& path) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(toText().toUtf8());
    return file.commit();
}

QString DesignFile::toText() const
{
    QString out;
    for (const auto& [name, bag] : m_sections) {
        if (!out.isEmpty())
            out += QLatin1Char('\n');
        out += QLatin1Char('[') + name + QLatin1String("]\n");
        for (const auto& [key, value] : bag->entries())
            out += key + QLatin1String(" = ") + value + QLatin1Char('\n');
    }
    return out;
}

QStringList DesignFile::sectionNames() const
{
    QStringList names;
    for (const auto& section : m_sections)
        names << section.first;
    return names;
}

const TextPropertyBag* DesignFile::section(const QString& name) const
{
    for (const auto& section : m_sections) {
        if (section.first.compare(name, Qt::CaseInsensitive) == 0)
            return section.second.get();
    }
    return nullptr;
}

TextPropertyBag& DesignFile::addSection(const QString& name)
{
    for (auto& section : m_sections) {
        if (section.first.compare(name, Qt::CaseInsensitive) == 0)
            return *section.second;
    }
    m_sections.append({name.toLower(), std::make_shared<TextPropertyBag>(m_baseFolder)});
    return *m_sections.last().second;
}

} // namespace brixel
