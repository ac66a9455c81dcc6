#include "PrintDestination.h"

#include "CurrentPrinter.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace vexa {

PrintDestination ChoosePrintDestination(
    const QString& wanted, const QStringList& installed, const QString& pdfFolder, const QString& pdfBaseName)
{
    if (installed.isEmpty())
        return {QString(), UniquePdfPath(pdfFolder, pdfBaseName)};
    SelectPrinterByName(wanted, installed);
    const QString current = CurrentPrinterName();
    if (installed.contains(current, Qt::CaseSensitive))
        return {current, QString()};
    return {installed.first(), QString()};
}

QString DefaultPdfFolder()
{
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty())
        documents = QDir::homePath();
    return QDir(documents).filePath(QStringLiteral("VexaDICOM"));
}

QString UniquePdfPath(const QString& folder, const QString& baseName)
{
    const QDir dir(folder);
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString path = dir.filePath(QStringLiteral("%1 %2.pdf").arg(baseName, stamp));
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = dir.filePath(QStringLiteral("%1 %2 (%3).pdf").arg(baseName, stamp).arg(n));
    return path;
}

} // namespace vexa
