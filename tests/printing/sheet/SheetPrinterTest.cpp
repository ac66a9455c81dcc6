// A sheet printed without any printer installed: the program's own PDF,
// read back with poppler for the caption's text and fonts.
#include "printing/sheet/SheetPrinter.h"
#include "ScriptedDialogService.h"
#include "base/core/DialogService.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vexa;

namespace {

QString output(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

QStringList textLines(const QString& pdf)
{
    QStringList lines;
    for (const QString& line :
        output(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")})
            .split(u'\n')) {
        if (!line.trimmed().isEmpty())
            lines << line.trimmed();
    }
    return lines;
}

TEST(SheetPrinterTest, WithoutPrinterTheSheetIsAPdfWithItsCaptionAndTheUserIsToldWhere)
{
    ScriptedDialogService dialogs;
    QTemporaryDir folder;
    SheetPrinter printer;
    printer.setInstalledPrinters(QStringList());
    printer.setPdfFolder(folder.filePath(QStringLiteral("pdf")));
    printer.setCaption(
        QStringLiteral("Cabinet de radiologie|Patient: DUPONT JEAN|Date de l'examen: 15/03/2026|"));
    QSize asked;
    const auto grey = [&asked](QSize size) {
        asked = size;
        QImage image(size, QImage::Format_RGB32);
        image.fill(QColor(90, 90, 90));
        return image;
    };
    const SheetPrintOutcome outcome
        = printer.print({2, 2}, {{3, QSize(150, 200), grey}, {4, QSize(150, 200), {}}});
    ASSERT_TRUE(outcome.printed);
    ASSERT_TRUE(outcome.destination.isPdf());
    ASSERT_EQ(outcome.drawn.size(), 1u) << "a slot without picture is left out";
    EXPECT_EQ(outcome.drawn[0].first, 3);
    EXPECT_EQ(asked, outcome.drawn[0].second.size()) << "the picture is rendered at its size on the page";
    EXPECT_GT(outcome.drawn[0].second.top(), outcome.drawn[0].second.height())
        << "slot 3 lies on the second row";
    ASSERT_TRUE(QFileInfo::exists(outcome.destination.pdfPath));
    EXPECT_TRUE(QFileInfo(outcome.destination.pdfPath).fileName().startsWith(QStringLiteral("Planche ")));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text,
        QStringLiteral(
            "Aucune imprimante n'est installée.\r\nLa page a été enregistrée dans le fichier :\r\n")
            + QDir::toNativeSeparators(outcome.destination.pdfPath));

    EXPECT_EQ(textLines(outcome.destination.pdfPath),
        (QStringList{QStringLiteral("Cabinet de radiologie"), QStringLiteral("Patient: DUPONT JEAN"),
            QStringLiteral("Date de l'examen: 15/03/2026")}));
    const QString fonts = output(QStringLiteral("pdffonts"), {outcome.destination.pdfPath});
    EXPECT_TRUE(fonts.contains(QStringLiteral("LiberationSans-Bold"))) << fonts.toStdString();
    EXPECT_TRUE(fonts.contains(QStringLiteral("LiberationSans-Italic"))) << fonts.toStdString();
}

TEST(SheetPrinterTest, NoCaptionOverAPageWithoutPicture)
{
    ScriptedDialogService dialogs;
    dialogs.answerMessage(MsgResult::Ok);
    QTemporaryDir folder;
    SheetPrinter printer;
    printer.setInstalledPrinters(QStringList());
    printer.setPdfFolder(folder.path());
    printer.setCaption(QStringLiteral("Cabinet de radiologie|"));
    const SheetPrintOutcome outcome
        = printer.print({1, 1}, {{1, QSize(100, 100), [](QSize) { return QImage(); }}});
    ASSERT_TRUE(outcome.printed) << "the document is ended also when empty";
    EXPECT_FALSE(outcome.hadContent);
    EXPECT_TRUE(textLines(outcome.destination.pdfPath).isEmpty());
}

} // namespace
