#pragma once
// ViewerWindow, the full-screen image viewer: one DICOM image at a time,
// either the single file the opener named (single-image mode) or, image after
// image, the records of the exam's image record set (series mode); zoom,
// mouse modes, inversion, DICOM data, printing and the measurement tools.
//
// Opening: the opener sets CurrentExam() (ViewerImagePath, ViewerStep,
// ViewerPatientName, ViewerExamDate) and calls exec():
//   series mode:  ViewerImagePath = "", ViewerStep = 0, images = &examImages
//   single image: ViewerImagePath = path, ViewerStep = 99999, name and date set
// After exec() a single-image opener that finds PrintedInViewer true marks its
// own record printed.
#include "ExamIdentity.h"
#include "PicturePrinter.h"
#include "ViewerRequest.h"
#include "WindowPresets.h"

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

class ViewerWindow : public QDialog {
    Q_OBJECT
public:
    // `images` is the exam's image record set (examImages); it may be null in
    // single-image mode.
    explicit ViewerWindow(RecordSet* images, QWidget* parent = nullptr);
    // The opening by request, handing back an outcome when it closes.
    ViewerWindow(const ViewerRequest& request, RecordSet* images, QWidget* parent = nullptr);
    ViewerOutcome outcome() const;
    ~ViewerWindow() override;

    // Loads the first image and runs the window modally.
    int exec() override;
    // Loads the first image and shows the window without waiting (tests,
    // screenshots). Nothing is shown when the viewer unloaded itself at once.
    void openWindow();
    bool isUnloaded() const { return unloaded; }
    bool closingSelf() const { return closingSelf_; }

    DicomView* display() const { return view_; }
    MeasurementController* measurements() const { return measures; }
    MeasurePanel* measurePanel() const { return measurePanel_; }
    bool panelOpen() const { return panelOpen_; }
    // Tests point it at a PDF folder and a printer list of their own.
    PicturePrinter& picturePrinter() { return printer; }
    // Where the screen copy is saved before it is printed.
    static QString ScreenCopyPath();
    // The area printScreenButton copies, in the window's pixels.
    QRect screenCopyArea() const;

    // The steps of the window, under their own names.
    void LoadImageFromSeries();
    void LoadImage();

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
    bool returnToPrintedRecord();
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
    void showImageAt(int step);
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

    RecordSet* images;
    ExamIdentity& exam;
    bool closingSelf_ = false;
    bool loaded = false;
    bool unloaded = false;
    bool singleImage = false; // opened on one file (ViewerStep 99999), no series
    bool activated = false;
    bool panelOpen_ = false;
    bool handleDrag = false;
    QString sliderTag = QStringLiteral("Fit");

    QWidget* banner = nullptr; // the top band: title and the exam's patient and date
    QLabel* bannerTitle = nullptr;
    QLabel* bannerBackground = nullptr;
    QLabel* examLine = nullptr;
    QWidget* imageArea = nullptr;
    DicomView* view_ = nullptr;
    MeasurementOverlay* overlay = nullptr;
    QWidget* toolColumn = nullptr; // the buttons and values at the right
    QGroupBox* printedFrame = nullptr;
    QLabel* printedLabel = nullptr;
    QGroupBox* intensityFrame = nullptr;
    QLabel* intensityLabel = nullptr;
    QWidget* zoomArea = nullptr;
    QGroupBox* zoomFrame = nullptr;
    QLabel* zoomLabel = nullptr;
    QSlider* zoomSlider = nullptr;
    MeasurePanel* measurePanel_ = nullptr;
    QWidget* printNotice = nullptr; // "please wait" while the image prints
    QImage printedPicture;
    QLabel* indicator = nullptr; // "image 4 / 6" and the window shown, over the image
    std::vector<NamedWindow> presets; // the windows on the keys 1 to 5
    std::vector<NamedWindow> fileWindows; // the file's own, cycled through with F
    int fileWindowIndex = 0; // the one of fileWindows last applied
    std::optional<NamedWindow> namedWindow; // the window last applied by name
    QString printedImageKey; // ObjectFile of the image shown, whose print is recorded

    std::array<brixel::Button*, 6> modeButtons{}; // the mouse modes 1..5 of the display
    brixel::Button* tagsButton = nullptr; // sunk: the DICOM data replace the graphics
    brixel::Button* manualZoomButton = nullptr; // sunk: zoom with the slider; risen: fit
    brixel::Button* closeButton = nullptr;
    brixel::Button* invertButton = nullptr; // inverts the grey scale
    brixel::Button* restoreButton = nullptr; // back to the contrast and zoom of loading
    brixel::Button* printImageButton = nullptr;
    brixel::Button* printScreenButton = nullptr;
    brixel::Button* previousButton = nullptr;
    brixel::Button* nextButton = nullptr;
    brixel::Button* measuresButton = nullptr; // opens the measurement panel
    std::array<QImage, 6> idleIcons; // (0) measuresButton's icon, (1..5) the mode buttons' unselected icons

    MeasurementController* measures = nullptr;
    PicturePrinter printer;
};

} // namespace vexa
