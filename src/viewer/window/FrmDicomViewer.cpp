// The viewer window: its controls, layout, loading and leaving images.
#include "FrmDicomViewer.h"

#include "AppValues.h"
#include "MeasurePanel.h"
#include "MeasurementController.h"
#include "MeasurementOverlay.h"
#include "Misc.h"
#include "Numeric.h"
#include "SeriesNavigator.h"
#include "ViewerDisplay.h"
#include "ViewerTexts.h"

#include <brixel/DesignFile.h>
#include <brixel/Factory.h>

#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QSlider>
#include <QVBoxLayout>

namespace vexa {

namespace {

constexpr int BannerHeight = 40;
constexpr int ToolColumnTwips = 1230;
constexpr int PanelHeight = 330;
const QString DesignResource = QStringLiteral(":/viewer/FrmDicomViewer.design");

QGroupBox* framedLabel(const QString& title, QLabel*& label, const QString& text, QWidget* parent)
{
    auto* frame = new QGroupBox(title, parent);
    label = new QLabel(text, frame);
    label->setAlignment(Qt::AlignCenter);
    auto* layout = new QVBoxLayout(frame);
    layout->setContentsMargins(2, 0, 2, 0);
    layout->addWidget(label);
    return frame;
}

} // namespace

FrmDicomViewer::FrmDicomViewer(RecordSet* images, QWidget* parent)
    : QDialog(parent)
    , images(images)
    , exam(CurrentExam())
    , measures(new MeasurementController(this))
{
    setObjectName(QStringLiteral("FrmDicomViewer"));
    setWindowTitle(QStringLiteral("VexaDicom Viewer"));
    setWindowFlags(Qt::Window);
    resize(1024, 768);
    createBanner();
    Fond = new QWidget(this);
    Fond->setObjectName(QStringLiteral("Fond"));
    Fond->setFocusPolicy(Qt::StrongFocus);
    createDisplay();
    ToolBox1 = new MeasurePanel(Fond);
    ToolBox1->resize(TwipsToPixels(MeasurePanel::ClosedWidthTwips), PanelHeight);
    createToolColumn();
    createButtons();
    createPrintNotice();
    connectSignals();
}

FrmDicomViewer::~FrmDicomViewer() = default;

void FrmDicomViewer::createBanner()
{
    Picture4 = new QWidget(this);
    Picture4->setObjectName(QStringLiteral("Picture4"));
    Picture4->setAutoFillBackground(true);
    QPalette colours = Picture4->palette();
    colours.setColor(QPalette::Window, QColor(0, 0, 96));
    colours.setColor(QPalette::WindowText, Qt::white);
    Picture4->setPalette(colours);
    Image1 = new QLabel(Picture4);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setStyleSheet(QStringLiteral(
        "background: qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 #000060, stop:1 #4060c0);"));
    Label1 = new QLabel(QStringLiteral("  VexaDicom Viewer"), Picture4);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont big = Label1->font();
    big.setBold(true);
    big.setPointSize(12);
    Label1->setFont(big);
    Label2 = new QLabel(Picture4);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

void FrmDicomViewer::createDisplay()
{
    ezDICOMX1 = new ViewerDisplay(Fond);
    ezDICOMX1->widget()->installEventFilter(this);
    overlay = new MeasurementOverlay(Fond);
    overlay->setObjectName(QStringLiteral("VexaLine"));
    overlay->attachTo(ezDICOMX1->widget());
    const ImageToScreen toScreen
        = [display = ezDICOMX1](QPointF image) { return display->imageToScreen(image); };
    overlay->setMapping(toScreen);
    overlay->setScene(&measures->scene());
    measures->setMapping(toScreen);
}

void FrmDicomViewer::createToolColumn()
{
    Picture1 = new QWidget(Fond);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setAutoFillBackground(true);
    QPalette colours = Picture1->palette();
    colours.setColor(QPalette::Window, QColor(192, 192, 192));
    Picture1->setPalette(colours);
    Frame3 = framedLabel(QStringLiteral("Imprimé :"), Label4, QStringLiteral("Non"), Picture1);
    Frame3->setObjectName(QStringLiteral("Frame3"));
    Label4->setObjectName(QStringLiteral("Label4"));
    Frame2 = framedLabel(QStringLiteral("Intensité :"), lbIntesity, QString(), Picture1);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    lbIntesity->setObjectName(QStringLiteral("lbIntesity"));
    Picture3 = new QWidget(Picture1);
    Picture3->setObjectName(QStringLiteral("Picture3"));
    Frame1 = framedLabel(QStringLiteral("Zoom"), lbZoom, QStringLiteral("100%"), Picture3);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    lbZoom->setObjectName(QStringLiteral("lbZoom"));
    Slider1 = new QSlider(Qt::Vertical, Picture3);
    Slider1->setObjectName(QStringLiteral("Slider1"));
    Slider1->setRange(10, 200);
    Slider1->setValue(100);
    Slider1->setFocusPolicy(Qt::NoFocus);
    Slider1->setEnabled(false);
}

void FrmDicomViewer::createButtons()
{
    const auto design = brixel::DesignFile::load(DesignResource);
    if (!design)
        return;
    const QList<brixel::Button*> created = brixel::createButtons(*design, Picture1);
    auto named = [&created](const QString& name) -> brixel::Button* {
        for (brixel::Button* button : created) {
            if (button->objectName().compare(name, Qt::CaseInsensitive) == 0)
                return button;
        }
        return nullptr;
    };
    for (int i = 1; i <= 5; ++i) {
        Button3[static_cast<std::size_t>(i)] = named(QStringLiteral("Button3_%1").arg(i));
        if (Button3[static_cast<std::size_t>(i)])
            Picture2[static_cast<std::size_t>(i)] = Button3[static_cast<std::size_t>(i)]->picture().image;
    }
    Button1 = named(QStringLiteral("Button1"));
    Button2 = named(QStringLiteral("Button2"));
    Button4 = named(QStringLiteral("Button4"));
    Button5 = named(QStringLiteral("Button5"));
    Button6 = named(QStringLiteral("Button6"));
    Button7 = named(QStringLiteral("Button7"));
    Button8 = named(QStringLiteral("Button8"));
    Button9 = named(QStringLiteral("Button9"));
    Button10 = named(QStringLiteral("Button10"));
    Command3 = named(QStringLiteral("Command3"));
    if (Command3)
        Picture2[0] = Command3->picture().image;
    for (brixel::Button* button : created)
        button->setFocusPolicy(Qt::NoFocus);
}

void FrmDicomViewer::createPrintNotice()
{
    Picture5 = new QWidget(this);
    Picture5->setObjectName(QStringLiteral("Picture5"));
    Picture5->setAutoFillBackground(true);
    Picture5->resize(420, 70);
    auto* layout = new QHBoxLayout(Picture5);
    auto* Image3 = new QLabel(Picture5);
    Image3->setPixmap(QPixmap(QStringLiteral(":/viewer/icons/print.png")));
    auto* Label5
        = new QLabel(QStringLiteral("Veuillez patienter :  Impression de l'image en cours..."), Picture5);
    Label5->setObjectName(QStringLiteral("Label5"));
    layout->addWidget(Image3);
    layout->addWidget(Label5, 1);
    Picture5->setStyleSheet(
        QStringLiteral("QWidget#Picture5 { background: #ffffe0; border: 2px solid #404040; }"));
    Picture5->hide();
}

void FrmDicomViewer::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    if (isMinimized())
        return;
    const int w = width();
    Picture4->setGeometry(0, 0, w, BannerHeight);
    Image1->setGeometry(0, 0, w, BannerHeight);
    Label1->setGeometry(0, 0, 300, BannerHeight);
    Label2->setGeometry(0, 0, w - 8, BannerHeight);
    Fond->setGeometry(0, BannerHeight, w, height() - BannerHeight);
    layoutFond();
    Picture5->move((w - Picture5->width()) / 2, (height() - Picture5->height()) / 2);
}

// Display on the left, the tool column flush right, the closed panel under it.
void FrmDicomViewer::layoutFond()
{
    const int column = TwipsToPixels(ToolColumnTwips);
    ezDICOMX1->widget()->setGeometry(0, 0, Fond->width() - column, Fond->height());
    if (ezDICOMX1->fitMode())
        ezDICOMX1->setFitMode(true);
    Picture1->setGeometry(Fond->width() - column, 0, column, Fond->height());
    ToolBox1->resize(ToolBox1->width(), PanelHeight);
    if (PanelOpen)
        placePanel();
    else
        ToolBox1->move(Picture1->x(), 0);
    layoutToolColumn();
}

void FrmDicomViewer::layoutToolColumn()
{
    const int w = Picture1->width();
    const int h = Picture1->height();
    Frame3->setGeometry(2, 250, w - 4, 40);
    Frame2->setGeometry(2, 292, w - 4, 40);
    Picture3->setGeometry(0, 334, w, std::max(80, h - 334 - 100));
    Frame1->setGeometry(2, 0, w - 4, 40);
    Slider1->setGeometry((w - 24) / 2, 44, 24, std::max(20, Picture3->height() - 48));
    if (Button9)
        Button9->move(4, h - 94);
    if (Button10)
        Button10->move(42, h - 94);
    if (Button4)
        Button4->move(4, h - 50);
}

void FrmDicomViewer::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (activated)
        return;
    activated = true;
    setWindowState(windowState() | Qt::WindowMaximized);
    setPointer(Qt::ArrowCursor);
    redrawAllGraphics();
    PumpEvents(2);
}

int FrmDicomViewer::exec()
{
    // The window shows itself before the modal loop starts, and Qt only makes
    // a window modal when it is shown: modal from the first show, so the
    // opener stays out of reach under it.
    setWindowModality(Qt::ApplicationModal);
    openWindow();
    if (unloaded)
        return QDialog::Rejected;
    return QDialog::exec();
}

void FrmDicomViewer::openWindow()
{
    if (!loaded) {
        loaded = true;
        Form_Load();
    }
    if (!unloaded)
        showMaximized();
}

void FrmDicomViewer::Form_Load()
{
    ClosingSelf = false;
    if (!exam.ViewerImagePath.isEmpty()) {
        Frame3->hide();
        ChargerImage();
    } else {
        exam.ViewerStep = 0;
        LoadImageFromSeries();
    }
    if (exam.ViewerStep == 99999) {
        if (Button9)
            Button9->hide();
        if (Button10)
            Button10->hide();
    }
}

void FrmDicomViewer::LoadImageFromSeries()
{
    setPointer(Qt::WaitCursor);
    overlay->show();
    std::optional<SeriesImage> next;
    if (images) {
        QString root = appValues().ConquestImagePath;
        next = SeriesNavigator(*images, root).move(exam);
    }
    if (!next) {
        exam.ViewerStep = 0;
        ClosingSelf = true;
        unloadViewer();
        return;
    }
    setPointer(Qt::WaitCursor);
    PumpEvents(20);
    Label4->setText(next->printed ? QStringLiteral("Oui") : QStringLiteral("Non"));
    ChargerImage();
    setPointer(Qt::ArrowCursor);
    PumpEvents(20);
}

void FrmDicomViewer::ChargerImage()
{
    setPointer(Qt::WaitCursor);
    measures->graphics().DeleteAllGraphics();
    sliderTag = QStringLiteral("Fit");
    ezDICOMX1->widget()->setFocus();
    ezDICOMX1->setDisplaySwitch(242, false);
    ezDICOMX1->setDisplayFile(exam.ViewerImagePath);
    ezDICOMX1->setDisplaySwitch(223, false);
    // Every image starts in its own grey scale; Button5 inverts it.
    ezDICOMX1->setPolarity(1);
    ezDICOMX1->setFitMode(true);
    exam.PrintedInViewer = false;
    Label2->setText(ViewerTitleLine(exam.ViewerPatientName, exam.ViewerExamDate));
    updateMeasureImage();
    measures->loadMeasurements(exam.ViewerImagePath);
    redrawAllGraphics();
    Slider1->setValue(std::clamp(ezDICOMX1->zoomLevel(), Slider1->minimum(), Slider1->maximum()));
    Slider1->setEnabled(false);
    Button3_Click(1);
    setPointer(Qt::ArrowCursor);
}

// Save the measurements of the image being left, reset the tools, hide the graphics.
void FrmDicomViewer::leaveImage()
{
    if (!exam.ViewerImagePath.isEmpty())
        measures->saveMeasurements(exam.ViewerImagePath);
    measures->leaveImage();
    overlay->hide();
}

void FrmDicomViewer::unloadViewer()
{
    Form_Unload();
    if (isVisible())
        done(QDialog::Rejected);
}

void FrmDicomViewer::Form_Unload()
{
    if (unloaded)
        return;
    unloaded = true;
    if (!exam.ViewerImagePath.isEmpty())
        measures->saveMeasurements(exam.ViewerImagePath);
    measures->leaveImage();
    // In series mode a printed image is marked when the viewer moves on; when
    // it closes on that image instead, mark it now so the print is not lost.
    if (images && exam.ViewerStep != 99999)
        MarkShownImagePrinted(*images, exam);
    setPointer(Qt::ArrowCursor);
    exam.ViewerImagePath.clear();
}

void FrmDicomViewer::closeEvent(QCloseEvent* event)
{
    Form_Unload();
    QDialog::closeEvent(event);
}

void FrmDicomViewer::reject()
{
    Form_Unload();
    QDialog::reject();
}

void FrmDicomViewer::setPointer(Qt::CursorShape shape)
{
    setCursor(shape);
}

void FrmDicomViewer::focusFond()
{
    if (!ClosingSelf)
        Fond->setFocus();
}

} // namespace vexa
