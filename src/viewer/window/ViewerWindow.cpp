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
    , images_(images)
    , request_(request)
    , patientName_(request.exam.patientName)
    , examDate_(request.exam.examDate)
    , measures_(new MeasurementController(this))
{
    setObjectName(QStringLiteral("FrmDicomViewer"));
    setWindowTitle(QStringLiteral("VexaDicom Viewer"));
    setWindowFlags(Qt::Window);
    resize(1024, 768);
    createBanner();
    imageArea_ = new QWidget(this);
    imageArea_->setObjectName(QStringLiteral("imageArea"));
    imageArea_->setFocusPolicy(Qt::StrongFocus);
    createDisplay();
    measurePanel_ = new MeasurePanel(imageArea_);
    measurePanel_->resize(twipsToPixels(MeasurePanel::ClosedWidthTwips), PanelHeight);
    createToolColumn();
    createButtons();
    createPrintNotice();
    connectSignals();
    loader_ = new LatestImageLoader(
        [this](const QStringList& paths, std::vector<DicomLoadResult> results) {
            if (results.empty())
                return;
            if (pendingFrame_ >= 0)
                frameDecoded(std::move(results.front()));
            else
                imageDecoded(paths.front(), std::move(results.front()));
        },
        this);
}

ViewerWindow::~ViewerWindow() = default;

bool ViewerWindow::loading() const
{
    return loader_->busy();
}

void ViewerWindow::createBanner()
{
    banner_ = new QWidget(this);
    banner_->setObjectName(QStringLiteral("banner"));
    banner_->setAutoFillBackground(true);
    QPalette colours = banner_->palette();
    colours.setColor(QPalette::Window, QColor(0, 0, 96));
    colours.setColor(QPalette::WindowText, Qt::white);
    banner_->setPalette(colours);
    bannerBackground_ = new QLabel(banner_);
    bannerBackground_->setObjectName(QStringLiteral("bannerBackground"));
    bannerBackground_->setStyleSheet(QStringLiteral(
        "background: qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 #000060, stop:1 #4060c0);"));
    bannerTitle_ = new QLabel(QStringLiteral("  VexaDicom Viewer"), banner_);
    bannerTitle_->setObjectName(QStringLiteral("bannerTitle"));
    QFont big = bannerTitle_->font();
    big.setBold(true);
    big.setPointSize(12);
    bannerTitle_->setFont(big);
    examLine_ = new QLabel(banner_);
    examLine_->setObjectName(QStringLiteral("Label2"));
    examLine_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

void ViewerWindow::createDisplay()
{
    view_ = new DicomView(imageArea_);
    view_->setObjectName(QStringLiteral("view"));
    view_->installEventFilter(this);
    overlay_ = new MeasurementOverlay(imageArea_);
    overlay_->setObjectName(QStringLiteral("VexaLine"));
    overlay_->attachTo(view_);
    indicator_ = new QLabel(view_);
    indicator_->setObjectName(QStringLiteral("indicator"));
    indicator_->setAttribute(Qt::WA_TransparentForMouseEvents);
    indicator_->setStyleSheet(
        QStringLiteral("QLabel { color: white; background: rgba(0, 0, 0, 150); padding: 3px 6px; }"));
    indicator_->move(8, 8);
    indicator_->raise();
    const ImageToScreen toScreen = [display = view_](QPointF image) { return display->imageToScreen(image); };
    overlay_->setMapping(toScreen);
    overlay_->setScene(&measures_->scene());
    measures_->setMapping(toScreen);
}

void ViewerWindow::createToolColumn()
{
    toolColumn_ = new QWidget(imageArea_);
    toolColumn_->setObjectName(QStringLiteral("toolColumn"));
    toolColumn_->setAutoFillBackground(true);
    QPalette colours = toolColumn_->palette();
    colours.setColor(QPalette::Window, QColor(192, 192, 192));
    toolColumn_->setPalette(colours);
    printedFrame_
        = framedLabel(QStringLiteral("Imprimé :"), printedLabel_, QStringLiteral("Non"), toolColumn_);
    printedFrame_->setObjectName(QStringLiteral("Frame3"));
    printedLabel_->setObjectName(QStringLiteral("Label4"));
    intensityFrame_ = framedLabel(QStringLiteral("Intensité :"), intensityLabel_, QString(), toolColumn_);
    intensityFrame_->setObjectName(QStringLiteral("intensityFrame"));
    intensityLabel_->setObjectName(QStringLiteral("intensityLabel"));
    zoomArea_ = new QWidget(toolColumn_);
    zoomArea_->setObjectName(QStringLiteral("zoomArea"));
    zoomFrame_ = framedLabel(QStringLiteral("Zoom"), zoomLabel_, QStringLiteral("100%"), zoomArea_);
    zoomFrame_->setObjectName(QStringLiteral("zoomFrame"));
    zoomLabel_->setObjectName(QStringLiteral("lbZoom"));
    zoomSlider_ = new QSlider(Qt::Vertical, zoomArea_);
    zoomSlider_->setObjectName(QStringLiteral("Slider1"));
    zoomSlider_->setRange(10, 200);
    zoomSlider_->setValue(100);
    zoomSlider_->setFocusPolicy(Qt::NoFocus);
    zoomSlider_->setEnabled(false);
}

void ViewerWindow::createButtons()
{
    const auto design = brixel::DesignFile::load(DesignResource);
    if (!design)
        return;
    const QList<brixel::Button*> created = brixel::createButtons(*design, toolColumn_);
    auto named = [&created](const QString& name) -> brixel::Button* {
        for (brixel::Button* button : created) {
            if (button->objectName().compare(name, Qt::CaseInsensitive) == 0)
                return button;
        }
        return nullptr;
    };
    for (int i = 1; i <= 5; ++i) {
        modeButtons_[static_cast<std::size_t>(i)] = named(QStringLiteral("Button3_%1").arg(i));
        if (modeButtons_[static_cast<std::size_t>(i)])
            idleIcons_[static_cast<std::size_t>(i)]
                = modeButtons_[static_cast<std::size_t>(i)]->picture().image;
    }
    tagsButton_ = named(QStringLiteral("Button1"));
    manualZoomButton_ = named(QStringLiteral("Button2"));
    closeButton_ = named(QStringLiteral("Button4"));
    invertButton_ = named(QStringLiteral("Button5"));
    restoreButton_ = named(QStringLiteral("Button6"));
    printImageButton_ = named(QStringLiteral("Button7"));
    printScreenButton_ = named(QStringLiteral("Button8"));
    previousButton_ = named(QStringLiteral("Button9"));
    nextButton_ = named(QStringLiteral("Button10"));
    measuresButton_ = named(QStringLiteral("Command3"));
    if (measuresButton_)
        idleIcons_[0] = measuresButton_->picture().image;
    for (brixel::Button* button : created)
        button->setFocusPolicy(Qt::NoFocus);
}

void ViewerWindow::createPrintNotice()
{
    printNotice_ = new QWidget(this);
    printNotice_->setObjectName(QStringLiteral("printNotice"));
    printNotice_->setAutoFillBackground(true);
    printNotice_->resize(420, 70);
    auto* layout = new QHBoxLayout(printNotice_);
    auto* printIcon = new QLabel(printNotice_);
    printIcon->setPixmap(QPixmap(QStringLiteral(":/viewer/icons/print.png")));
    auto* printMessage
        = new QLabel(QStringLiteral("Veuillez patienter :  Impression de l'image en cours..."), printNotice_);
    printMessage->setObjectName(QStringLiteral("printMessage"));
    layout->addWidget(printIcon);
    layout->addWidget(printMessage, 1);
    printNotice_->setStyleSheet(
        QStringLiteral("QWidget#printNotice { background: #ffffe0; border: 2px solid #404040; }"));
    printNotice_->hide();
}

void ViewerWindow::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    if (isMinimized())
        return;
    const int w = width();
    banner_->setGeometry(0, 0, w, BannerHeight);
    bannerBackground_->setGeometry(0, 0, w, BannerHeight);
    bannerTitle_->setGeometry(0, 0, 300, BannerHeight);
    examLine_->setGeometry(0, 0, w - 8, BannerHeight);
    imageArea_->setGeometry(0, BannerHeight, w, height() - BannerHeight);
    layoutImageArea();
    printNotice_->move((w - printNotice_->width()) / 2, (height() - printNotice_->height()) / 2);
}

// Display on the left, the tool column flush right, the closed panel under it.
void ViewerWindow::layoutImageArea()
{
    const int column = twipsToPixels(ToolColumnTwips);
    view_->setGeometry(0, 0, imageArea_->width() - column, imageArea_->height());
    if (view_->fitMode())
        view_->setFitMode(true);
    toolColumn_->setGeometry(imageArea_->width() - column, 0, column, imageArea_->height());
    measurePanel_->resize(measurePanel_->width(), PanelHeight);
    if (panelOpen_)
        placePanel();
    else
        measurePanel_->move(toolColumn_->x(), 0);
    layoutToolColumn();
}

void ViewerWindow::layoutToolColumn()
{
    const int w = toolColumn_->width();
    const int h = toolColumn_->height();
    printedFrame_->setGeometry(2, 250, w - 4, 40);
    intensityFrame_->setGeometry(2, 292, w - 4, 40);
    zoomArea_->setGeometry(0, 334, w, std::max(80, h - 334 - 100));
    zoomFrame_->setGeometry(2, 0, w - 4, 40);
    zoomSlider_->setGeometry((w - 24) / 2, 44, 24, std::max(20, zoomArea_->height() - 48));
    if (previousButton_)
        previousButton_->move(4, h - 94);
    if (nextButton_)
        nextButton_->move(42, h - 94);
    if (closeButton_)
        closeButton_->move(4, h - 50);
}

void ViewerWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (activated_)
        return;
    activated_ = true;
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
    if (unloaded_)
        return QDialog::Rejected;
    // Putting the window on top and back (screen copy) hides and shows it
    // again, which ends a dialog's modal run: the viewer runs on until it is
    // really left.
    int result = QDialog::exec();
    while (!unloaded_ && isVisible())
        result = QDialog::exec();
    return result;
}

void ViewerWindow::openWindow()
{
    if (!loaded_) {
        loaded_ = true;
        loadFirstImage();
    }
    if (!unloaded_)
        showMaximized();
}

void ViewerWindow::loadFirstImage()
{
    closingSelf_ = false;
    singleImage_ = request_.start == ViewerRequest::Start::SingleFile;
    if (!singleImage_) {
        loadImageFromSeries(
            request_.start == ViewerRequest::Start::LastImage ? SeriesMove::Last : SeriesMove::First);
        return;
    }
    printedFrame_->hide();
    if (previousButton_)
        previousButton_->hide();
    if (nextButton_)
        nextButton_->hide();
    requestedPath_ = request_.imagePath;
    requestedSop_ = request_.sopInstance;
    loadImage();
}

void ViewerWindow::loadImageFromSeries(SeriesMove step)
{
    setPointer(Qt::WaitCursor);
    overlay_->show();
    // The image being left was printed: its mark is written before the move.
    markPrintedImage();
    std::optional<SeriesImage> next;
    if (images_)
        next = SeriesNavigator(*images_, appValues().conquestImagePath).move(step);
    if (!next) {
        closingSelf_ = true;
        unloadViewer();
        return;
    }
    printedLabel_->setText(next->printed ? QStringLiteral("Oui") : QStringLiteral("Non"));
    requestedPath_ = next->path;
    requestedSop_ = next->sopInstance;
    patientName_ = next->patientName;
    examDate_ = next->examDate;
    loadImage();
}

// Asks for the image; the display keeps the one before until it arrives, its
// measurements already put away (shownPath empty: nothing to save or place).
void ViewerWindow::loadImage()
{
    setPointer(Qt::WaitCursor);
    measures_->graphics().deleteAllGraphics();
    shownPath_.clear();
    pendingFrame_ = -1;
    examLine_->setText(viewerTitleLine(patientName_, examDate_));
    loader_->request({requestedPath_});
}

void ViewerWindow::imageDecoded(const QString& path, DicomLoadResult loaded)
{
    if (unloaded_)
        return;
    sliderTag_ = QStringLiteral("Fit");
    view_->setFocus();
    view_->setDecodedFile(path, std::move(loaded));
    // Every image starts in its own grey scale; invertButton inverts it.
    view_->setPolarity(1);
    view_->setFitMode(true);
    shownPath_ = path;
    updateMeasureImage();
    const auto shown = view_->imageData();
    presets_ = shown ? windowPresetsFor(*shown) : std::vector<NamedWindow>{};
    fileWindows_ = shown ? fileWindowsOf(*shown) : std::vector<NamedWindow>{};
    fileWindowIndex_ = 0;
    // The image opens in the file's first window: the indicator names it.
    namedWindow_.reset();
    if (!fileWindows_.empty())
        namedWindow_ = fileWindows_.front();
    updateIndicator();
    measures_->loadMeasurements(path);
    redrawAllGraphics();
    zoomSlider_->setValue(std::clamp(view_->zoomLevel(), zoomSlider_->minimum(), zoomSlider_->maximum()));
    zoomSlider_->setEnabled(false);
    selectMode(1);
    setPointer(Qt::ArrowCursor);
}

// Saves the measurements of the image shown. When they cannot be written the
// user chooses between staying on the image, graphics kept on screen, and
// leaving it without them. True when the image may be left.
bool ViewerWindow::saveShownMeasurements()
{
    if (unloaded_ || shownPath_.isEmpty() || measures_->saveMeasurements(shownPath_)
        || measures_->table().lastUsedSlot() == 0)
        return true;
    const QString question
        = QStringLiteral("Les mesures de cette image n'ont pas pu être enregistrées dans le "
                         "fichier :\r\n")
        + QDir::toNativeSeparators(measurementFilePath(shownPath_))
        + QStringLiteral("\r\n\r\nQuitter l'image quand même ? Les mesures seront perdues.");
    const bool leave = msgBox(question, MsgIcon::Exclamation, MsgButtons::YesNo, QStringLiteral("VexaDICOM"),
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
    measures_->leaveImage();
    overlay_->hide();
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
    if (unloaded_)
        return;
    unloaded_ = true;
    loader_->forget();
    if (!shownPath_.isEmpty())
        measures_->saveMeasurements(shownPath_);
    measures_->leaveImage();
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
    if (printedSop_.isEmpty() || !images_)
        return;
    const QString sop = std::exchange(printedSop_, QString());
    if (markImagePrinted(images_->databasePath(), sop, QDate::currentDate()).written() && images_->requery())
        images_->findFirst(QStringLiteral("SOPInstanc = ") + jetQuote(sop));
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
        imageArea_->setFocus();
}

} // namespace vexa
