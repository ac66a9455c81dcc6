// The report editor on a 40-page report (letterhead, formatted text, a table
// of 80 rows, a PNG and a JPEG picture): the time to open it, to type one
// character and have it drawn (against a 60 Hz frame, 16.7 ms), and to put
// the patient's values in place of the fields over the whole report.
#include "ScriptedDialogService.h"
#include "base/core/DialogService.h"
#include "reports/core/FieldReplacement.h"
#include "reports/core/PatientFields.h"
#include "reports/core/ReportFiles.h"
#include "reports/editor/ReportEditor.h"

#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QKeyEvent>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextEdit>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

using namespace vexa;

namespace {

QByteArray pictureHex(int width, int height, const char* format)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb((x * 7 + y) % 256, (y * 3) % 256, (x ^ y) % 256));
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return data.toHex();
}

QByteArray fortyPageReport()
{
    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0 Liberation Sans;}}\\fs22 "
                     "\\pard\\qc\\b Compte-rendu de #pn #pp\\b0\\par "
                     "{\\pict\\pngblip\\picwgoal6000\\pichgoal4500 "
        + pictureHex(800, 600, "PNG") + "}\\par{\\pict\\jpegblip\\picwgoal6000\\pichgoal4500 "
        + pictureHex(1024, 768, "JPEG") + "}\\par ";
    const QByteArray sentence = "Opacit\\'e9 alv\\'e9olaire basale droite, \\'e9panchement pleural minime, "
                                "c\\u339?ur de taille normale, coupoles r\\'e9guli\\'e8res. ";
    for (int page = 1; page <= 40; ++page) {
        rtf += (page > 1 ? "\\page" : "") + QByteArray("\\pard\\b\\fs28 Examen ") + QByteArray::number(page)
            + " de #pn\\b0\\fs22\\par ";
        for (int paragraph = 0; paragraph < 9; ++paragraph) {
            rtf += paragraph % 3 ? "\\pard\\qj " : "\\pard\\qj\\li360 ";
            rtf += sentence + "{\\b " + sentence + "}{\\i " + sentence + "}" + sentence + "\\par ";
        }
        if (page == 20) {
            for (int row = 0; row < 80; ++row) {
                rtf += "\\trowd\\cellx2400\\cellx4800\\cellx7200\\cellx9600 ";
                for (int cell = 0; cell < 4; ++cell)
                    rtf += "\\pard\\intbl Mesure " + QByteArray::number(row) + "." + QByteArray::number(cell)
                        + "\\cell ";
                rtf += "\\row ";
            }
        }
    }
    return rtf + "}";
}

struct Times {
    double median = 0, worst = 0;
};

Times summary(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times.back()};
}

} // namespace

int main(int argc, char** argv)
{
    qputenv(
        "QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    ScriptedDialogService dialogs;
    QTemporaryDir data;
    setReportDataFolder(data.path());
    installStarterFiles();
    const QString path = data.filePath(QStringLiteral("report.rtf"));
    {
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(fortyPageReport());
    }
    reportSession().reportPath = path;
    fillPatientFields(
        reportSession().fields, false, nullptr, QStringLiteral("09/12/2026"), QStringLiteral("Dr X"));
    reportSession().fields[1] = QStringLiteral("DUPONT");
    reportSession().fields[2] = QStringLiteral("JEAN");

    std::vector<double> opening;
    for (int run = 0; run < 5; ++run) {
        QElapsedTimer timer;
        timer.start();
        ReportEditor editor(nullptr, QRect(0, 0, 1200, 900));
        editor.show();
        editor.bodyEdit->viewport()->repaint();
        opening.push_back(timer.nsecsElapsed() / 1e6);
    }

    ReportEditor editor(nullptr, QRect(0, 0, 1200, 900));
    editor.show();
    QApplication::processEvents();
    QTextCursor middle = editor.bodyEdit->textCursor();
    middle.setPosition(editor.bodyEdit->document()->characterCount() / 2);
    editor.bodyEdit->setTextCursor(middle);
    editor.bodyEdit->ensureCursorVisible();
    QApplication::processEvents();
    std::vector<double> typing;

    const QString text = QStringLiteral("Épaississement bronchique modéré. ");
    for (int round = 0; round < 6; ++round) {
        for (const QChar c : text) {
            QElapsedTimer timer;
            timer.start();
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(editor.bodyEdit, &press);
            // The changed lines are drawn as the event loop does it.
            QApplication::processEvents();
            typing.push_back(timer.nsecsElapsed() / 1e6);
        }
    }

    // The same typing in a bare QTextEdit holding a copy of the document.
    QTextEdit bare;
    bare.resize(1200, 900);
    std::unique_ptr<QTextDocument> bareDocument(editor.bodyEdit->document()->clone());
    bare.setDocument(bareDocument.get());
    bare.setLineWrapMode(QTextEdit::FixedPixelWidth);
    bare.setLineWrapColumnOrWidth(editor.bodyEdit->lineWrapColumnOrWidth());
    bare.show();
    QApplication::processEvents();
    QTextCursor bareMiddle = bare.textCursor();
    bareMiddle.setPosition(middle.position());
    bare.setTextCursor(bareMiddle);
    bare.ensureCursorVisible();
    QApplication::processEvents();
    std::vector<double> bareTyping;
    for (int round = 0; round < 6; ++round) {
        for (const QChar c : text) {
            QElapsedTimer timer;
            timer.start();
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(&bare, &press);
            QApplication::processEvents();
            bareTyping.push_back(timer.nsecsElapsed() / 1e6);
        }
    }
    bare.hide();

    std::vector<double> replacing;
    for (int run = 0; run < 5; ++run) {
        std::unique_ptr<QTextDocument> document(editor.bodyEdit->document()->clone());
        QElapsedTimer timer;
        timer.start();
        replaceFieldsWithValues(*document, reportSession().fields);
        replacing.push_back(timer.nsecsElapsed() / 1e6);
    }

    const Times open = summary(opening);
    const Times type = summary(typing);
    const Times replace = summary(replacing);
    const Times baseline = summary(bareTyping);
    std::printf("40-page report (%d paragraphs, a table of 80 rows, two pictures)\n",
        editor.bodyEdit->document()->blockCount());
    std::printf(
        "open (read, letterhead, first paint): median %.1f ms, worst %.1f ms\n", open.median, open.worst);
    std::printf(
        "one typed character drawn:            median %.2f ms, worst %.2f ms (%.2f frames of 16.7 ms)\n",
        type.median, type.worst, type.worst / 16.7);
    std::printf(
        "the same in a bare QTextEdit:          median %.2f ms, worst %.2f ms (editor / bare: %.2f)\n",
        baseline.median, baseline.worst, type.median / baseline.median);
    std::printf("fields replaced over the report:      median %.1f ms, worst %.1f ms\n", replace.median,
        replace.worst);
    editor.close();
    setReportDataFolder(QString());
    return 0;
}
