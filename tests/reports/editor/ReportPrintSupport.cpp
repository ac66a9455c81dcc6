#include "ReportPrintSupport.h"

#include "reports/core/ReportFiles.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>

namespace vexa::reporttest {

const QString LetterheadText = QStringLiteral("Cabinet de Radiologie des Tilleuls");

namespace {

void write(const QString& path, const QByteArray& content)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(content);
}

} // namespace

void writeThreePageReport(const QString& reportPath)
{
    write(letterheadPath(),
        "{\\rtf1\\ansi\\ansicpg1252 \\qc\\b\\fs28 " + LetterheadText.toLatin1()
            + "\\b0\\par\\fs20 Imagerie m\\'e9dicale\\par}");
    QByteArray body = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0 Liberation Sans;}}\\fs24 ";
    for (int line = 1; line <= 60; ++line)
        body += "Ligne " + QByteArray::number(line) + " du r\\'e9sultat\\par ";
    body += "\\page Fin du compte-rendu\\par}";
    write(reportPath, body);
}

QStringList pdfPageTexts(const QString& pdf)
{
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {pdf});
    if (!info.waitForFinished(30000) || info.exitCode() != 0)
        return {};
    const QRegularExpressionMatch pages = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)"))
                                              .match(QString::fromUtf8(info.readAllStandardOutput()));
    QStringList texts;
    for (int page = 1; page <= pages.captured(1).toInt(); ++page) {
        QProcess text;
        text.start(QStringLiteral("pdftotext"),
            {QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"), QString::number(page), pdf,
                QStringLiteral("-")});
        if (!text.waitForFinished(30000) || text.exitCode() != 0)
            return {};
        texts << QString::fromUtf8(text.readAllStandardOutput());
    }
    return texts;
}

} // namespace vexa::reporttest
