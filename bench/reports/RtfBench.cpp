// Reads and writes a 40-page report (letterhead, formatted text, a table of
// 80 rows, a PNG and a JPEG picture) as RTF, and prints the times beside
// those of Qt's own HTML export and import of the same document.
// Goal: under 100 ms to read and under 100 ms to write.
#include "reports/rtf/RtfReader.h"
#include "reports/rtf/RtfWriter.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QTextCursor>
#include <QTextTable>
#include <QUrl>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace vexa;

namespace {

QByteArray encodedPicture(int width, int height, const char* format)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb((x * 7 + y) % 256, (y * 3) % 256, (x ^ y) % 256));
    }
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return data;
}

QTextCharFormat textFormat(double points, bool bold = false, bool italic = false)
{
    QTextCharFormat format;
    format.setFontFamilies({"Liberation Sans"});
    format.setFontPointSize(points);
    if (bold)
        format.setFontWeight(QFont::Bold);
    format.setFontItalic(italic);
    return format;
}

// The report as RTF, made through the reader so the pictures carry their file bytes.
RtfDocument makeReport()
{
    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0 Liberation Serif;}}"
                     "{\\header\\pard\\qc\\b Cabinet de radiologie\\par}"
                     "{\\pict\\pngblip\\picwgoal6000\\pichgoal4500 "
        + encodedPicture(800, 600, "PNG").toHex() + "}\\par{\\pict\\jpegblip\\picwgoal6000\\pichgoal4500 "
        + encodedPicture(1024, 768, "JPEG").toHex() + "}\\par}";
    RtfDocument report;
    RtfReader::read(rtf, report);

    QTextCursor cursor(report.body.get());
    cursor.movePosition(QTextCursor::End);
    const QString sentence
        = QString::fromUtf8("Opacité alvéolaire basale droite, épanchement pleural minime, "
                            "cœur de taille normale, coupoles régulières. ");
    for (int page = 0; page < 40; ++page) {
        QTextBlockFormat heading;
        heading.setPageBreakPolicy(page ? QTextFormat::PageBreak_AlwaysBefore : QTextFormat::PageBreak_Auto);
        heading.setBottomMargin(8);
        cursor.insertBlock(heading);
        cursor.insertText(QStringLiteral("Examen %1").arg(page + 1), textFormat(14, true));
        for (int paragraph = 0; paragraph < 9; ++paragraph) {
            QTextBlockFormat body;
            body.setAlignment(Qt::AlignJustify);
            body.setLeftMargin(paragraph % 3 ? 0 : 24);
            cursor.insertBlock(body);
            for (int run = 0; run < 4; ++run)
                cursor.insertText(sentence, textFormat(11, run == 1, run == 2));
        }
        if (page == 20) {
            QTextTableFormat tableFormat;
            tableFormat.setBorder(1);
            tableFormat.setCellPadding(3);
            QTextTable* table = cursor.insertTable(80, 4, tableFormat);
            for (int r = 0; r < 80; ++r) {
                for (int c = 0; c < 4; ++c)
                    table->cellAt(r, c).firstCursorPosition().insertText(
                        QStringLiteral("Mesure %1.%2").arg(r).arg(c), textFormat(10));
            }
            cursor = table->lastCursorPosition();
            cursor.movePosition(QTextCursor::NextBlock);
        }
    }
    return report;
}

double medianMs(int runs, const std::function<void()>& work)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const RtfDocument report = makeReport();
    const int runs = 9;

    QByteArray rtf;
    const double writeMs = medianMs(runs, [&] { rtf = RtfWriter::write(report); });
    const double readMs = medianMs(runs, [&] {
        RtfDocument read;
        RtfReader::read(rtf, read);
    });
    QString html;
    const double htmlWriteMs = medianMs(runs, [&] { html = report.body->toHtml(); });
    const double htmlReadMs = medianMs(runs, [&] {
        QTextDocument read;
        read.setHtml(html);
    });

    RtfDocument check;
    RtfReader::read(rtf, check);
    std::printf("report: %d paragraphs, %d pages of text, RTF %.0f KB (HTML %.0f KB)\n",
        report.body->blockCount(), 40, rtf.size() / 1024.0, html.toUtf8().size() / 1024.0);
    std::printf("read back: %d paragraphs\n", check.body->blockCount());
    std::printf("write RTF: %7.1f ms (goal < 100 ms)   Qt HTML export: %7.1f ms   ratio %.2f\n", writeMs,
        htmlWriteMs, writeMs / htmlWriteMs);
    std::printf("read RTF:  %7.1f ms (goal < 100 ms)   Qt HTML import: %7.1f ms   ratio %.2f\n", readMs,
        htmlReadMs, readMs / htmlReadMs);
    return 0;
}
