#pragma once
// The stored design of a window's buttons, as readable text:
//
//   ; comment
//   [button8]
//   caption = "Fermer"
//   btnwidth = 1500
//   backcolor = &H00C0C0C0&
//   pictureup = ":/icons/close.png"
//
// One section per button, named as the window holds it (lower case). Strings
// are quoted with \" \\ \n escapes, colours are &HBBGGRR (red in the low byte),
// booleans True/False, fonts QFont::toString(), pictures a file or resource
// path (relative paths from the design's folder) or "png:<base64>".
#include <brixel/PropertyBag.h>

#include <QList>
#include <QString>
#include <memory>
#include <optional>

namespace brixel {

class TextPropertyBag : public PropertyBag {
public:
    explicit TextPropertyBag(const QString& baseFolder = {});

    bool contains(const QString& name) const;
    QString text(const QString& name) const; // the stored text, as written in the file
    void setText(const QString& name, const QString& text);
    QList<QPair<QString, QString>> entries() const { return m_entries; }

protected:
    std::optional<QVariant> fetch(const QString& key) const override;
    void store(const QString& key, const QVariant& value) override;
    QString resolvePicturePath(const QString& reference) const override;

private:
    int indexOf(const QString& key) const;

    QString m_baseFolder;
    QList<QPair<QString, QString>> m_entries; // insertion order kept for readable output
};

class DesignFile {
public:
    explicit DesignFile(const QString& baseFolder = {});

    static DesignFile parse(const QString& text, const QString& baseFolder = {});
    // A file path or a Qt resource (":/..."); nothing when it cannot be read.
    static std::optional<DesignFile> load(const QString& path);
    bool save(const QString& path) const; // written whole or not at all
    QString toText() const;

    QStringList sectionNames() const;
    const TextPropertyBag* section(const QString& name) const;
    TextPropertyBag& addSection(const QString& name); // existing one when present

private:
    QString m_baseFolder;
    QList<QPair<QString, std::shared_ptr<TextPropertyBag>>> m_sections;
};

} // namespace brixel
