#pragma once
// Small folder trees for the file service tests.
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace vexa::testing {

inline void makeFile(const QString& path, const QByteArray& bytes = "x")
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
}

inline QByteArray contentOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<absent>");
}

// Every file and folder under `root`, relative, sorted ("sub/" for a folder).
inline QStringList treeOf(const QString& root)
{
    QStringList entries;
    const QDir base(root);
    std::function<void(const QString&)> walk = [&](const QString& folder) {
        for (const QFileInfo& info :
            QDir(folder).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name)) {
            entries << base.relativeFilePath(info.filePath()) + (info.isDir() ? "/" : "");
            if (info.isDir())
                walk(info.filePath());
        }
    };
    walk(root);
    entries.sort();
    return entries;
}

} // namespace vexa::testing
