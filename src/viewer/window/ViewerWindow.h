#pragma once
// ViewerWindow, the full-screen image viewer: one DICOM image at a time,
// either the single file the opener named (single-image mode) or, image after
// image, the records of the exam's image record set (series mode); zoom,
// mouse modes, inversion, DICOM data, printing and the measurement tools.
//
// Opening: the opener hands a ViewerRequest (the exam, and where to start:
// its series from the first or last image, or one file alone) and calls
// exec(); outcome() then says whether the single file was printed (the opener
// marks its own record) and whether an image turned out deleted.
//
// Images are decoded on a worker thread: the window answers meanwhile, shows
// only the image asked for last, and may be closed before it arrives.
#include "output/picture/PicturePrinter.h"
#include "viewer/view/WindowPresets.h"
#include "viewer/window/SeriesNavigator.h"
#include "viewer/window/ViewerRequest.h"

#include <QDialog>
#include <QImage>
#include <array>
#include <optional>

class QGroupBox;
class QLabel;
class QSlider;

namespace brixel {
class Button;
struct Picture;
} // namespace brixel

namespace vexa {

class MeasurementController;
class MeasurementOverlay;
class MeasurePanel;
class RecordSet;
class DicomView;
class LatestImageLoader;
struct DicomLoadResult;

class ViewerWindow : public QDialog {
    Q_OBJECT
public:
    // `images` is the exam's image record set (examImages); it may be null in
    // single-image mode.
    ViewerWindow(const ViewerRequest& request, RecordSet* images, QWidget* parent = nullptr);
    ~ViewerWindow() override;

    ViewerOutcome outcome() const { return outcome_; }
    // The image asked for last, and whether it is still being decoded.
    QString imagePath() const { return requestedPath_; }
    bool loading() const;

    // Loads the first image and runs the window modally.
    int exec() override;
    // Loads the first image and shows the window without waiting (tests,
    // screenshots). Nothing is shown when the viewer unloaded itself at once.
    void openWindow();
    bool isUnloaded() const { return unloaded_; }
    bool closingSelf() const { return closingSelf_; }

    DicomView* display() const { return view_; }
    MeasurementController* measurements() const { return measures_; }
    MeasurePanel* measurePanel() const { return measurePanel_; }
    bool panelOpen() const { return panelOpen_; }
    // Tests point it at a PDF folder and a printer list of their own.
    PicturePrinter& picturePrinter() { return printer_; }
    // The notice when the image turns out deleted by another workstation.
    static const QString ImageDeletedText;
    // Where the screen copy is saved before it is printed.
    static QString screenCopyPath();
    // The area printScreenButton copies, in the window's pixels.
    QRect screenCopyArea() const;

    // The steps of the window, under their own names.
    void loadImageFromSeries(SeriesMove step);
    void loadImage();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Construction (ViewerWindow.cpp)
    void createBanner();
    void createDisplay();
    void createToolColumn();
    void createButtons();
    void createPrintNotice();
    void connectSignals();
    void layoutImageArea();
    void layoutToolColumn();
    void loadFirstImage();
    void finishViewing();
    void unloadViewer();
    bool leaveImage();
    bool saveShownMeasurements();
    void imageDecoded(const QString& path, DicomLoadResult loaded);
    void frameDecoded(DicomLoadResult loaded);
    void markPrintedImage();
    bool shownImageStillThere();
    void setPointer(Qt::CursorShape shape);
    void focusImageArea();

    // Display buttons, zoom and keys (ViewerWindowDisplay.cpp)
    void selectMode(int index);
    void invertGrey();
    void restoreImage();
    void showTags();
    void hideTags();
    void startManualZoom();
    void fitToWindow();
    void showPreviousImage();
    void showNextImage();
    void closeViewer();
    void zoomSliderMoved();
    void zoomChanged();
    void pointerMoved(double value);
    void displayPressed();
    void redrawAllGraphics();
    void showSliderValue(int zoomLevel);
    void updateIndicator();
    void applyPreset(int index);
    void applyNamedWindow(const NamedWindow& window);
    void cycleFileWindows();
    void showImageAt(SeriesMove step);
    bool stepFrames(int frames);
    void wheelTurned(int notches);
    void zoomBy(double factor);
    bool browsingKey(QKeyEvent* event);

    // Measurement panel and mouse (ViewerWindowMeasures.cpp)
    void connectPanel();
    void openPanel();
    void widenPanel();
    void toolChosen(int index);
    void presetChosen(int index);
    void closePanel();
    void placePanel();
    bool displayMouse(QEvent* event);
    void displayClicked(int x, int y, int button);
    void updateMeasureImage();

    // Printing (ViewerWindowPrint.cpp)
    void printImage();
    void printScreenCopy();
    bool printPicture(const QImage& picture, PicturePrinter::Renderer renderer);

    RecordSet* images_;
    const ViewerRequest request_;
    ViewerOutcome outcome_;
    LatestImageLoader* loader_ = nullptr;
    QString requestedPath_; // the image asked for last
    QString shownPath_; // the image the display shows, whose measurements are open; "" while decoding
    QString patientName_; // of the image shown, for the banner and the printed caption
    QString examDate_;
    QString requestedSop_; // SOPInstanc of the image asked for; "" when unknown
    QString printedSop_; // the image printed and not yet marked
    int pendingFrame_ = -1; // the frame of the shown file asked for and not yet there
    bool closingSelf_ = false;
    bool loaded_ = false;
    bool unloaded_ = false;
    bool singleImage_ = false; // opened on one file, no series
    bool activated_ = false;
    bool panelOpen_ = false;
    bool handleDrag_ = false;
    QString sliderTag_ = QStringLiteral("Fit");

    QWidget* banner_ = nullptr; // the top band: title and the exam's patient and date
    QLabel* bannerTitle_ = nullptr;
    QLabel* bannerBackground_ = nullptr;
    QLabel* examLine_ = nullptr;
    QWidget* imageArea_ = nullptr;
    DicomView* view_ = nullptr;
    MeasurementOverlay* overlay_ = nullptr;
    QWidget* toolColumn_ = nullptr; // the buttons and values at the right
    QGroupBox* printedFrame_ = nullptr;
    QLabel* printedLabel_ = nullptr;
    QGroupBox* intensityFrame_ = nullptr;
    QLabel* intensityLabel_ = nullptr;
    QWidget* zoomArea_ = nullptr;
    QGroupBox* zoomFrame_ = nullptr;
    QLabel* zoomLabel_ = nullptr;
    QSlider* zoomSlider_ = nullptr;
    MeasurePanel* measurePanel_ = nullptr;
    QWidget* printNotice_ = nullptr; // "please wait" while the image prints
    QImage printedPicture_;
    QLabel* indicator_ = nullptr; // "image 4 / 6" and the window shown, over the image
    std::vector<NamedWindow> presets_; // the windows on the keys 1 to 5
    std::vector<NamedWindow> fileWindows_; // the file's own, cycled through with F
    int fileWindowIndex_ = 0; // the one of fileWindows last applied
    std::optional<NamedWindow> namedWindow_; // the window last applied by name

    std::array<brixel::Button*, 6> modeButtons_{}; // the mouse modes 1..5 of the display
    brixel::Button* tagsButton_ = nullptr; // sunk: the DICOM data replace the graphics
    brixel::Button* manualZoomButton_ = nullptr; // sunk: zoom with the slider; risen: fit
    brixel::Button* closeButton_ = nullptr;
    brixel::Button* invertButton_ = nullptr; // inverts the grey scale
    brixel::Button* restoreButton_ = nullptr; // back to the contrast and zoom of loading
    brixel::Button* printImageButton_ = nullptr;
    brixel::Button* printScreenButton_ = nullptr;
    brixel::Button* previousButton_ = nullptr;
    brixel::Button* nextButton_ = nullptr;
    brixel::Button* measuresButton_ = nullptr; // opens the measurement panel
    std::array<QImage, 6> idleIcons_; // (0) measuresButton's icon, (1..5) the mode buttons' unselected icons

    MeasurementController* measures_ = nullptr;
    PicturePrinter printer_;
};

} // namespace vexa
