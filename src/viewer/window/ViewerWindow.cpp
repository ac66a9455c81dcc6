// The viewer window: its controls, layout, loading and leaving images.
#include "viewer/window/ViewerWindow.h"

#include "base/core/AppValues.h"
#include "base/core/DialogService.h"
#include "base/core/Numeric.h"
#include "pacsdb/ExamWrites.h"
#include "pacsdb/JetDialect.h"
#include "pacsdb/RecordSet.h"
#include "viewer/measure/DgrFile.h"
#include "viewer/measure/MeasurementController.h"
#include "viewer/overlay/MeasurementOverlay.h"
#include "viewer/view/DicomView.h"
#include "viewer/view/LatestImageLoader.h"
#include "viewer/view/WindowPresets.h"
#include "viewer/window/MeasurePanel.h"
#include "viewer/window/SeriesNavigator.h"
#include "viewer/window/ViewerTexts.h"

#include <brixel/DesignFile.h>
#include <brixel/Factory.h>

#include <QCloseEvent>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QSlider>
#include <QVBoxLayout>

namespace vexa {

namespace {

constexpr int BannerHeight = 40;
constexpr int ToolColumnTwips = 1230;
constexpr int PanelHeight = 330;
const QString DesignResource = QStringLiteral(":/viewer/ViewerWindow.design");

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

ViewerWindow::ViewerWindow(const ViewerRequest& request, RecordSet* images, QWidget* parent)
    : QDialog(parent)
    , images(images)
    , request(request)
    , patientName(request.exam.patientName)
    , examDate(request.exam.examDate)
    , measures(new MeasurementController(this))
{
    setObjectName(QStringLiteral("FrmDicomViewer"));
    setWindowTitle(QStringLiteral("VexaDicom Viewer"));
    setWindowFlags(Qt::Window);
    resize(1024, 768);
    createBanner();
    imageArea = new QWidget(this);
    imageArea->setObjectName(QStringLiteral("imageArea"));
    imageArea->setFocusPolicy(Qt::StrongFocus);
    createDisplay();
    measurePanel_ = new MeasurePanel(imageArea);
    measurePanel_->resize(TwipsToPixels(MeasurePanel::ClosedWidthTwips), PanelHeight);
    createToolColumn();
    createButtons();
    createPrintNotice();
    connectSignals();
    loader = new LatestImageLoader(
        [this](const QStringList& paths, std::vector<DicomLoadResult> results) {
            if (results.empty())
                return;
            if (pendingFrame >= 0)
                frameDecoded(std::move(results.front()));
            else
                imageDecoded(paths.front(), std::move(results.front()));
        },
        this);
}

ViewerWindow::~ViewerWindow() = default;

bool ViewerWindow::loading() const
{
    return loader->busy();
}

void ViewerWindow::createBanner()
{
    banner = new QWidget(this);
    banner->setObjectName(QStringLiteral("banner"));
    banner->setAutoFillBackground(true);
    QPalette colours = banner->palette();
    colours.setColor(QPalette::Window, QColor(0, 0, 96));
    colours.setColor(QPalette::WindowText, Qt::white);
    banner->setPalette(colours);
    bannerBackground = new QLabel(banner);
    bannerBackground->setObjectName(QStringLiteral("bannerBackground"));
    bannerBackground->setStyleSheet(QStringLiteral(
        "background: qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 #000060, stop:1 #4060c0);"));
    bannerTitle = new QLabel(QStringLiteral("  VexaDicom Viewer"), banner);
    bannerTitle->setObjectName(QStringLiteral("bannerTitle"));
    QFont big = bannerTitle->font();
    big.setBold(true);
    big.setPointSize(12);
    bannerTitle->setFont(big);
    examLine = new QLabel(banner);
    examLine->setObjectName(QStringLiteral("Label2"));
    examLine->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

void ViewerWindow::createDisplay()
{
    view_ = new DicomView(imageArea);
    view_->setObjectName(QStringLiteral("view"));
    view_->installEventFilter(this);
    overlay = new MeasurementOverlay(imageArea);
    overlay->setObjectName(QStringLiteral("VexaLine"));
    overlay->attachTo(view_);
    indicator = new QLabel(view_);
    indicator->setObjectName(QStringLiteral("indicator"));
    indicator->setAttribute(Qt::WA_TransparentForMouseEvents);
    indicator->setStyleSheet(
        QStringLiteral("QLabel { color: white; background: rgba(0, 0, 0, 150); padding: 3px 6px; }"));
    indicator->move(8, 8);
    indicator->raise();
    const ImageToScreen toScreen = [display = view_](QPointF image) { return display->imageToScreen(image); };
    overlay->setMapping(toScreen);
    overlay->setScene(&measures->scene());
    measures->setMapping(toScreen);
}

void ViewerWindow::createToolColumn()
{
    toolColumn = new QWidget(imageArea);
    toolColumn->setObjectName(QStringLiteral("toolColumn"));
    toolColumn->setAutoFillBackground(true);
    QPalette colours = toolColumn->palette();
    colours.setColor(QPalette::Window, QColor(192, 192, 192));
    toolColumn->setPalette(colours);
    printedFrame = framedLabel(QStringLiteral("Imprimé :"), printedLabel, QStringLiteral("Non"), toolColumn);
    printedFrame->setObjectName(QStringLiteral("Frame3"));
    printedLabel->setObjectName(QStringLiteral("Label4"));
    intensityFrame = framedLabel(QStringLiteral("Intensité :"), intensityLabel, QString(), toolColumn);
    intensityFrame->setObjectName(QStringLiteral("intensityFrame"));
    intensityLabel->setObjectName(QStringLiteral("intensityLabel"));
    zoomArea = new QWidget(toolColumn);
    zoomArea->setObjectName(QStringLiteral("zoomArea"));
    zoomFrame = framedLabel(QStringLiteral("Zoom"), zoomLabel, QStringLiteral("100%"), zoomArea);
    zoomFrame->setObjectName(QStringLiteral("zoomFrame"));
    zoomLabel->setObjectName(QStringLiteral("lbZoom"));
    zoomSlider = new QSlider(Qt::Vertical, zoomArea);
    zoomSlider->setObjectName(QStringLiteral("Slider1"));
    zoomSlider->setRange(10, 200);
    zoomSlider->setValue(100);
    zoomSlider->setFocusPolicy(Qt::NoFocus);
    zoomSlider->setEnabled(false);
}

void ViewerWindow::createButtons()
{
    const auto design = brixel::DesignFile::load(DesignResource);
    if (!design)
        return;
    const QList<brixel::Button*> created = brixel::createButtons(*design, toolColumn);
    auto named = [&created](const QString& name) -> brixel::Button* {
        for (brixel::Button* button : created) {
            if (button->objectName().compare(name, Qt::CaseInsensitive) == 0)
                return button;
        }
        return nullptr;
    };
    for (int i = 1; i <= 5; ++i) {
        modeButtons[static_cast<std::size_t>(i)] = named(QStringLiteral("Button3_%1").arg(i));
        if (modeButtons[static_cast<std::size_t>(i)])
            idleIcons[static_cast<std::size_t>(i)]
                = modeButtons[static_cast<std::size_t>(i)]->picture().image;
    }
    tagsButton = named(QStringLiteral("Button1"));
    manualZoomButton = named(QStringLiteral("Button2"));
    closeButton = named(QStringLiteral("Button4"));
    invertButton = named(QStringLiteral("Button5"));
    restoreButton = named(QStringLiteral("Button6"));
    printImageButton = named(QStringLiteral("Button7"));
    printScreenButton = named(QStringLiteral("Button8"));
    previousButton = named(QStringLiteral("Button9"));
    nextButton = named(QStringLiteral("Button10"));
    measuresButton = named(QStringLiteral("Command3"));
    if (measuresButton)
        idleIcons[0] = measuresButton->picture().image;
    for (brixel::Button* button : created)
        button->setFocusPolicy(Qt::NoFocus);
}

void ViewerWindow::createPrintNotice()
{
    printNotice = new QWidget(this);
    printNotice->setObjectName(QStringLiteral("printNotice"));
    printNotice->setAutoFillBackground(true);
    printNotice->resize(420, 70);
    auto* layout = new QHBoxLayout(printNotice);
    auto* printIcon = new QLabel(printNotice);
    printIcon->setPixmap(QPixmap(QStringLiteral(":/viewer/icons/print.png")));
    auto* printMessage
        = new QLabel(QStringLiteral("Veuillez patienter :  Impression de l'image en cours..."), printNotice);
    printMessage->setObjectName(QStringLiteral("printMessage"));
    layout->addWidget(printIcon);
    layout->addWidget(printMessage, 1);
    printNotice->setStyleSheet(
        QStringLiteral("QWidget#printNotice { background: #ffffe0; border: 2px solid #404040; }"));
    printNotice->hide();
}

void ViewerWindow::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    if (isMinimized())
        return;
    const int w = width();
    banner->setGeometry(0, 0, w, BannerHeight);
    bannerBackground->setGeometry(0, 0, w, BannerHeight);
    bannerTitle->setGeometry(0, 0, 300, BannerHeight);
    examLine->setGeometry(0, 0, w - 8, BannerHeight);
    imageArea->setGeometry(0, BannerHeight, w, height() - BannerHeight);
    layoutImageArea();
    printNotice->move((w - printNotice->width()) / 2, (height() - printNotice->height()) / 2);
}

// Display on the left, the tool column flush right, the closed panel under it.
void ViewerWindow::layoutImageArea()
{
    const int column = TwipsToPixels(ToolColumnTwips);
    view_->setGeometry(0, 0, imageArea->width() - column, imageArea->height());
    if (view_->FitMode())
        view_->setFitMode(true);
    toolColumn->setGeometry(imageArea->width() - column, 0, column, imageArea->height());
    measurePanel_->resize(measurePanel_->width(), PanelHeight);
    if (panelOpen_)
        placePanel();
    else
        measurePanel_->move(toolColumn->x(), 0);
    layoutToolColumn();
}

void ViewerWindow::layoutToolColumn()
{
    const int w = toolColumn->width();
    const int h = toolColumn->height();
    printedFrame->setGeometry(2, 250, w - 4, 40);
    intensityFrame->setGeometry(2, 292, w - 4, 40);
    zoomArea->setGeometry(0, 334, w, std::max(80, h - 334 - 100));
    zoomFrame->setGeometry(2, 0, w - 4, 40);
    zoomSlider->setGeometry((w - 24) / 2, 44, 24, std::max(20, zoomArea->height() - 48));
    if (previousButton)
        previousButton->move(4, h - 94);
    if (nextButton)
        nextButton->move(42, h - 94);
    if (closeButton)
        closeButton->move(4, h - 50);
}

void ViewerWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (activated)
        return;
    activated = true;
    setWindowState(windowState() | Qt::WindowMaximized);
    setPointer(Qt::ArrowCursor);
    redrawAllGraphics();
}

int ViewerWindow::exec()
{
    // The window shows itself before the modal loop starts, and Qt only makes
    // a window modal when it is shown: modal from the first show, so the
    // opener stays out of reach under it.
    setWindowModality(Qt::ApplicationModal);
    openWindow();
    if (unloaded)
        return QDialog::Rejected;
    // Putting the window on top and back (screen copy) hides and shows it
    // again, which ends a dialog's modal run: the viewer runs on until it is
    // really left.
    int result = QDialog::exec();
    while (!unloaded && isVisible())
        result = QDialog::exec();
    return result;
}

void ViewerWindow::openWindow()
{
    if (!loaded) {
        loaded = true;
        loadFirstImage();
    }
    if (!unloaded)
        showMaximized();
}

void ViewerWindow::loadFirstImage()
{
    closingSelf_ = false;
    singleImage = request.start == ViewerRequest::Start::SingleFile;
    if (!singleImage) {
        LoadImageFromSeries(
            request.start == ViewerRequest::Start::LastImage ? SeriesMove::Last : SeriesMove::First);
        return;
    }
    printedFrame->hide();
    if (previousButton)
        previousButton->hide();
    if (nextButton)
        nextButton->hide();
    requestedPath = request.imagePath;
    requestedSop = request.sopInstance;
    LoadImage();
}

void ViewerWindow::LoadImageFromSeries(SeriesMove step)
{
    setPointer(Qt::WaitCursor);
    overlay->show();
    // The image being left was printed: its mark is written before the move.
    markPrintedImage();
    std::optional<SeriesImage> next;
    if (images)
        next = SeriesNavigator(*images, appValues().ConquestImagePath).move(step);
    if (!next) {
        closingSelf_ = true;
        unloadViewer();
        return;
    }
    printedLabel->setText(next->printed ? QStringLiteral("Oui") : QStringLiteral("Non"));
    requestedPath = next->path;
    requestedSop = next->sopInstance;
    patientName = next->patientName;
    examDate = next->examDate;
    LoadImage();
}

// Asks for the image; the display keeps the one before until it arrives, its
// measurements already put away (shownPath empty: nothing to save or place).
void ViewerWindow::LoadImage()
{
    setPointer(Qt::WaitCursor);
    measures->graphics().DeleteAllGraphics();
    shownPath.clear();
    pendingFrame = -1;
    examLine->setText(ViewerTitleLine(patientName, examDate));
    loader->request({requestedPath});
}

void ViewerWindow::imageDecoded(const QString& path, DicomLoadResult loaded)
{
    if (unloaded)
        return;
    sliderTag = QStringLiteral("Fit");
    view_->setFocus();
    view_->setDecodedFile(path, std::move(loaded));
    // Every image starts in its own grey scale; invertButton inverts it.
    view_->setPolarity(1);
    view_->setFitMode(true);
    shownPath = path;
    updateMeasureImage();
    const auto shown = view_->imageData();
    presets = shown ? WindowPresetsFor(*shown) : std::vector<NamedWindow>{};
    fileWindows = shown ? FileWindowsOf(*shown) : std::vector<NamedWindow>{};
    fileWindowIndex = 0;
    // The image opens in the file's first window: the indicator names it.
    namedWindow.reset();
    if (!fileWindows.empty())
        namedWindow = fileWindows.front();
    updateIndicator();
    measures->loadMeasurements(path);
    redrawAllGraphics();
    zoomSlider->setValue(std::clamp(view_->ZoomLevel(), zoomSlider->minimum(), zoomSlider->maximum()));
    zoomSlider->setEnabled(false);
    selectMode(1);
    setPointer(Qt::ArrowCursor);
}

// Saves the measurements of the image shown. When they cannot be written the
// user chooses between staying on the image, graphics kept on screen, and
// leaving it without them. True when the image may be left.
bool ViewerWindow::saveShownMeasurements()
{
    if (unloaded || shownPath.isEmpty() || measures->saveMeasurements(shownPath)
        || measures->table().lastUsedSlot() == 0)
        return true;
    const QString question
        = QStringLiteral("Les mesures de cette image n'ont pas pu être enregistrées dans le "
                         "fichier :\r\n")
        + QDir::toNativeSeparators(MeasurementFilePath(shownPath))
        + QStringLiteral("\r\n\r\nQuitter l'image quand même ? Les mesures seront perdues.");
    const bool leave = MsgBox(question, MsgIcon::Exclamation, MsgButtons::YesNo, QStringLiteral("VexaDICOM"),
                           MsgResult::No)
        == MsgResult::Yes;
    if (!leave)
        redrawAllGraphics();
    return leave;
}

// Save the measurements of the image being left, reset the tools, hide the
// graphics. False when the user stays on the image.
bool ViewerWindow::leaveImage()
{
    if (!saveShownMeasurements())
        return false;
    measures->leaveImage();
    overlay->hide();
    return true;
}

void ViewerWindow::unloadViewer()
{
    finishViewing();
    if (isVisible())
        done(QDialog::Rejected);
}

void ViewerWindow::finishViewing()
{
    if (unloaded)
        return;
    unloaded = true;
    loader->forget();
    if (!shownPath.isEmpty())
        measures->saveMeasurements(shownPath);
    measures->leaveImage();
    // In series mode a printed image is marked when the viewer moves on; when
    // it closes on that image instead, mark it now so the print is not lost.
    markPrintedImage();
    setPointer(Qt::ArrowCursor);
}

// Writes the mark of the image printed in series mode, by its key (the list
// under the viewer may have moved, another workstation may have deleted it),
// then reads the rows again so they show it, the printed one current.
void ViewerWindow::markPrintedImage()
{
    if (printedSop.isEmpty() || !images)
        return;
    const QString sop = std::exchange(printedSop, QString());
    if (MarkImagePrinted(images->databasePath(), sop, QDate::currentDate()).written() && images->requery())
        images->findFirst(QStringLiteral("SOPInstanc = ") + JetQuote(sop));
}

void ViewerWindow::closeEvent(QCloseEvent* event)
{
    if (!saveShownMeasurements()) {
        event->ignore();
        return;
    }
    finishViewing();
    QDialog::closeEvent(event);
}

void ViewerWindow::reject()
{
    if (!saveShownMeasurements())
        return;
    finishViewing();
    QDialog::reject();
}

void ViewerWindow::setPointer(Qt::CursorShape shape)
{
    setCursor(shape);
}

void ViewerWindow::focusImageArea()
{
    if (!closingSelf_)
        imageArea->setFocus();
}

} // namespace vexa
