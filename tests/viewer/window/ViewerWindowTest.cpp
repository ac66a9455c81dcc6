// The viewer window driven like a user: real buttons, mouse and keys on a
// small generated exam, questions answered by script.
#include "AppValues.h"
#include "DgrFile.h"
#include "DialogService.h"
#include "ExamIdentity.h"
#include "FrmDicomViewer.h"
#include "MeasurePanel.h"
#include "MeasurementController.h"
#include "QueryCatalogue.h"
#include "RecordSet.h"
#include "SeriesNavigator.h"
#include "TestSeries.h"
#include "ViewerDisplay.h"

#include <brixel/Button.h>

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSlider>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace vexa;

namespace {

// Width and height of the first image of a PDF, as poppler's pdfimages lists it.
QSize FirstPdfImageSize(const QString& pdf)
{
    QProcess lister;
    lister.start(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf});
    lister.waitForFinished(30000);
    const QStringList lines = QString::fromUtf8(lister.readAllStandardOutput()).split(QLatin1Char('\n'));
    for (const QString& line : lines.mid(2)) {
        const QStringList fields = line.simplified().split(QLatin1Char(' '));
        if (fields.size() > 4 && fields[2] == QLatin1String("image"))
            return {fields[3].toInt(), fields[4].toInt()};
    }
    return {};
}

class ViewerWindowTest : public ::testing::Test {
protected:
    void SetUp() override { QStandardPaths::setTestModeEnabled(true); }

    void makeSeries(int count)
    {
        series = MakeTestSeries(folder.path(), count, QSize(200, 240), 0.5);
        ASSERT_TRUE(series.error.isEmpty()) << series.error.toStdString();
        appValues().ConquestImagePath = series.imageRoot;
        appValues().ImagePrinter.clear();
        appValues().Entete = QStringLiteral("Cabinet de radiologie");
        images.setDatabasePath(series.databasePath);
        images.setRecordSource(Sql::ImagesOfSeries(series.seriesUid));
        ASSERT_TRUE(images.requery()) << images.lastError().toStdString();
        CurrentExam() = ExamIdentity{};
    }

    std::unique_ptr<FrmDicomViewer> openSeries()
    {
        auto viewer = std::make_unique<FrmDicomViewer>(&images);
        viewer->picturePrinter().setInstalledPrinters(QStringList());
        viewer->picturePrinter().setPdfFolder(QDir(folder.path()).filePath(QStringLiteral("pdf")));
        viewer->openWindow();
        return viewer;
    }

    static brixel::Button* button(FrmDicomViewer& viewer, const char* name)
    {
        auto* found
            = viewer.findChild<brixel::Button*>(QString::fromLatin1(name), Qt::FindChildrenRecursively);
        if (found == nullptr) {
            for (auto* candidate : viewer.findChildren<brixel::Button*>()) {
                if (candidate->objectName().compare(QString::fromLatin1(name), Qt::CaseInsensitive) == 0)
                    return candidate;
            }
        }
        return found;
    }

    static void click(QWidget* widget, QPoint at = {})
    {
        ASSERT_NE(widget, nullptr);
        QTest::mouseClick(widget, Qt::LeftButton, {}, at.isNull() ? widget->rect().center() : at);
    }

    // A point of the image on the display, in widget pixels.
    static QPoint onScreen(FrmDicomViewer& viewer, QPointF image)
    {
        return viewer.display()->imageToScreen(image + QPointF(0.5, 0.5)).toPoint();
    }

    bool rowPrinted(int row)
    {
        RecordSet check;
        check.setDatabasePath(series.databasePath);
        check.setRecordSource(Sql::ImagesOfSeries(series.seriesUid));
        check.requery();
        check.goTo(row);
        return check.fieldBool(QStringLiteral("Printed"))
            && check.fieldDate(QStringLiteral("PrintDate")) == QDate::currentDate();
    }

    QTemporaryDir folder;
    TestSeries series;
    RecordSet images{QStringLiteral("ConnExamen")};
    ScriptedDialogService dialogs;
};

TEST_F(ViewerWindowTest, OpensTheFirstImageOfTheSeriesWithItsTitle)
{
    makeSeries(2);
    auto viewer = openSeries();
    EXPECT_EQ(CurrentExam().ViewerImagePath, series.imagePath(0));
    EXPECT_TRUE(viewer->display()->hasImage());
    EXPECT_EQ(viewer->findChild<QLabel*>(QStringLiteral("Label2"))->text(),
        QStringLiteral("Patient : DUPONT JEAN ; Date de l'examen : 14/03/2026"));
    EXPECT_EQ(viewer->findChild<QLabel*>(QStringLiteral("Label4"))->text(), QStringLiteral("Non"));
    EXPECT_EQ(viewer->display()->pointerTool(), 1);
    EXPECT_EQ(button(*viewer, "Button3_1")->backColor(), QColor(144, 176, 255));
    EXPECT_EQ(button(*viewer, "Button3_2")->backColor(), QColor(192, 192, 192));
    EXPECT_EQ(button(*viewer, "Button9")->toolTipText(), QStringLiteral("Image précédente"));
}

TEST_F(ViewerWindowTest, LeavingAnImageWritesItsMeasurementFileEvenWithoutGraphics)
{
    makeSeries(2);
    auto viewer = openSeries();
    click(button(*viewer, "Button10"));
    EXPECT_EQ(QFileInfo(series.imagePath(0) + QStringLiteral(".dgr")).size(), 8200);
    EXPECT_EQ(CurrentExam().ViewerImagePath, series.imagePath(1));
    EXPECT_EQ(viewer->findChild<QLabel*>(QStringLiteral("Label2"))->text(),
        QStringLiteral("Patient : DUPONT JEAN ; Date de l'examen : 15/03/2026"));
    EXPECT_EQ(dialogs.unexpected, 0);
}

TEST_F(ViewerWindowTest, DistanceAndTextPlacedWithTheMouseAreSavedAndReadBack)
{
    makeSeries(2);
    auto viewer = openSeries();
    QWidget* display = viewer->display()->widget();
    click(button(*viewer, "Command3"));
    EXPECT_TRUE(viewer->panelOpen());
    click(viewer->measurePanel()->Command2[1]); // distance
    EXPECT_FALSE(viewer->panelOpen());
    click(display, onScreen(*viewer, {20, 30}));
    click(display, onScreen(*viewer, {80, 110}));
    click(button(*viewer, "Command3"));
    viewer->measurePanel()->Text1->setText(QStringLiteral("Face"));
    click(viewer->measurePanel()->Command2[0]); // text
    click(display, onScreen(*viewer, {100, 50}));

    const MeasurementTable& table = viewer->measurements()->table();
    EXPECT_EQ(table[1].Kind, MeasurementKind::Distance);
    EXPECT_EQ(QPoint(table[1].X1, table[1].Y1), QPoint(20, 30));
    EXPECT_EQ(QPoint(table[1].X2, table[1].Y2), QPoint(80, 110));
    EXPECT_EQ(table[2].Kind, MeasurementKind::Text);
    ASSERT_NE(viewer->measurements()->scene().graphic(1), nullptr);

    click(button(*viewer, "Button10"));
    click(button(*viewer, "Button9"));
    const MeasurementTable reread = ReadMeasurementFile(series.imagePath(0));
    EXPECT_EQ(reread[1].Kind, MeasurementKind::Distance);
    EXPECT_EQ(reread[2].Kind, MeasurementKind::Text);
    EXPECT_EQ(viewer->measurements()->table()[1].Kind, MeasurementKind::Distance)
        << "measurements restored on return";
}

TEST_F(ViewerWindowTest, QuestionsAtBothEndsOfTheSeries)
{
    makeSeries(2);
    auto viewer = openSeries();
    dialogs.answerMessage(MsgResult::Ok);
    click(button(*viewer, "Button9"));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, SeriesNavigator::FirstImageNotice);
    EXPECT_EQ(dialogs.messages[0].icon, MsgIcon::Information);
    EXPECT_EQ(CurrentExam().ViewerImagePath, series.imagePath(0));

    QTest::keyClick(viewer.get(), Qt::Key_Right);
    EXPECT_EQ(CurrentExam().ViewerImagePath, series.imagePath(1));
    dialogs.answerMessage(MsgResult::Yes);
    click(button(*viewer, "Button10"));
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[1].text, SeriesNavigator::LastImageQuestion);
    EXPECT_EQ(dialogs.messages[1].defaultButton, MsgResult::No);
    EXPECT_EQ(CurrentExam().ViewerImagePath, series.imagePath(0)) << "Yes starts the review again";

    click(button(*viewer, "Button10"));
    dialogs.answerMessage(MsgResult::No);
    click(button(*viewer, "Button10"));
    EXPECT_TRUE(viewer->isUnloaded());
    EXPECT_TRUE(viewer->closingSelf());
    EXPECT_TRUE(CurrentExam().ViewerImagePath.isEmpty());
    EXPECT_EQ(CurrentExam().ViewerStep, 0);
    EXPECT_EQ(dialogs.unexpected, 0);
}

TEST_F(ViewerWindowTest, SeriesOfOneImageReloadsItOnYes)
{
    makeSeries(1);
    auto viewer = openSeries();
    dialogs.answerMessage(MsgResult::Yes);
    click(button(*viewer, "Button10"));
    EXPECT_FALSE(viewer->isUnloaded());
    EXPECT_EQ(CurrentExam().ViewerImagePath, series.imagePath(0));
}

TEST_F(ViewerWindowTest, PrintedImageIsMarkedWhenTheUserMovesOn)
{
    makeSeries(2);
    auto viewer = openSeries();
    dialogs.answerMessage(MsgResult::Ok); // where the PDF went
    click(button(*viewer, "Button7"));
    EXPECT_TRUE(CurrentExam().PrintedInViewer);
    EXPECT_EQ(viewer->findChild<QLabel*>(QStringLiteral("Label4"))->text(), QStringLiteral("Oui"));
    EXPECT_FALSE(rowPrinted(0)) << "not at print time";
    const QDir pdfFolder(QDir(folder.path()).filePath(QStringLiteral("pdf")));
    const QStringList pdfs = pdfFolder.entryList({QStringLiteral("*.pdf")});
    ASSERT_EQ(pdfs.size(), 1);
    // The 200 x 240 image fills an A4 page at 300 dpi: drawn from its pixels
    // at the page's resolution, far larger than the screen shows it.
    const QSize drawn = FirstPdfImageSize(pdfFolder.filePath(pdfs[0]));
    EXPECT_GT(drawn.height(), 2500);
    EXPECT_NEAR(drawn.width() * 240.0 / drawn.height(), 200.0, 1.0);
    EXPECT_TRUE(dialogs.messages.back().text.contains(QStringLiteral("pdf")));

    click(button(*viewer, "Button10"));
    EXPECT_TRUE(rowPrinted(0));
    EXPECT_FALSE(rowPrinted(1));
    EXPECT_FALSE(CurrentExam().PrintedInViewer);
}

TEST_F(ViewerWindowTest, PrintedImageIsMarkedWhenTheViewerClosesOnIt)
{
    makeSeries(2);
    auto viewer = openSeries();
    dialogs.answerMessage(MsgResult::Ok);
    click(button(*viewer, "Button7"));
    click(button(*viewer, "Button4"));
    EXPECT_TRUE(viewer->isUnloaded());
    EXPECT_TRUE(rowPrinted(0));
}

TEST_F(ViewerWindowTest, SingleImageModeHasNoNavigation)
{
    makeSeries(2);
    CurrentExam().ViewerImagePath = series.imagePath(1);
    CurrentExam().ViewerStep = 99999;
    CurrentExam().ViewerPatientName = QStringLiteral("MARTIN");
    auto viewer = openSeries();
    EXPECT_FALSE(button(*viewer, "Button9")->isVisible());
    EXPECT_FALSE(button(*viewer, "Button10")->isVisible());
    EXPECT_FALSE(viewer->findChild<QWidget*>(QStringLiteral("Frame3"))->isVisible());
    QTest::keyClick(viewer.get(), Qt::Key_Left);
    QTest::keyClick(viewer.get(), Qt::Key_Right);
    EXPECT_EQ(CurrentExam().ViewerImagePath, series.imagePath(1));
    EXPECT_TRUE(dialogs.messages.empty());

    dialogs.answerMessage(MsgResult::No);
    QTest::keyClick(viewer.get(), Qt::Key_Escape);
    EXPECT_FALSE(viewer->isUnloaded());
    dialogs.answerMessage(MsgResult::Yes);
    QTest::keyClick(viewer.get(), Qt::Key_Escape);
    EXPECT_EQ(dialogs.messages.back().text, QStringLiteral("Voulez-vous quitter le visualisateur ?"));
    EXPECT_TRUE(viewer->isUnloaded());
    EXPECT_TRUE(QFileInfo::exists(series.imagePath(1) + QStringLiteral(".dgr")));
    EXPECT_TRUE(CurrentExam().ViewerImagePath.isEmpty());
}

TEST_F(ViewerWindowTest, ZoomToggleAndSlider)
{
    makeSeries(1);
    auto viewer = openSeries();
    auto* slider = viewer->findChild<QSlider*>(QStringLiteral("Slider1"));
    auto* zoom = viewer->findChild<QLabel*>(QStringLiteral("lbZoom"));
    EXPECT_FALSE(slider->isEnabled());
    EXPECT_TRUE(viewer->display()->fitMode());

    click(button(*viewer, "Button2"));
    EXPECT_TRUE(slider->isEnabled());
    EXPECT_FALSE(viewer->display()->fitMode());
    EXPECT_EQ(viewer->display()->zoomLevel(), 100);
    EXPECT_EQ(zoom->text(), QStringLiteral("100%"));
    slider->setValue(150);
    EXPECT_EQ(viewer->display()->zoomLevel(), 150);
    EXPECT_EQ(zoom->text(), QStringLiteral("150%"));
    EXPECT_EQ(viewer->display()->pointerTool(), 4) << "a manual zoom selects the move mode";

    click(button(*viewer, "Button2"));
    EXPECT_FALSE(slider->isEnabled());
    EXPECT_TRUE(viewer->display()->fitMode());
    EXPECT_EQ(viewer->display()->pointerTool(), 1);
}

TEST_F(ViewerWindowTest, InvertAndDicomDataToggle)
{
    makeSeries(1);
    auto viewer = openSeries();
    const int polarity = viewer->display()->polarity();
    click(button(*viewer, "Button5"));
    EXPECT_EQ(viewer->display()->polarity(), -polarity);
    click(button(*viewer, "Button1"));
    EXPECT_TRUE(viewer->display()->showTags());
    EXPECT_FALSE(viewer->findChild<QWidget*>(QStringLiteral("VexaLine"))->isVisible());
    click(button(*viewer, "Button1"));
    EXPECT_FALSE(viewer->display()->showTags());
    EXPECT_TRUE(viewer->findChild<QWidget*>(QStringLiteral("VexaLine"))->isVisible());
}

TEST_F(ViewerWindowTest, ScreenCopyKeepsTheVisibleImageSize)
{
    makeSeries(1);
    auto viewer = openSeries();
    dialogs.answerMessage(MsgResult::Ok);
    click(button(*viewer, "Button8"));
    const QImage copy(FrmDicomViewer::ScreenCopyPath());
    EXPECT_FALSE(copy.isNull());
    EXPECT_EQ(copy.size(), viewer->screenCopyArea().size());
    EXPECT_FALSE(CurrentExam().PrintedInViewer) << "a screen copy does not count as printing the image";
}

} // namespace
