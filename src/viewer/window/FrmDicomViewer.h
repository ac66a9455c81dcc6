#pragma once
// FrmDicomViewer, the full-screen image viewer: one DICOM image at a time,
// either the single file the opener named (single-image mode) or, image after
// image, the records of the exam's image record set (series mode); zoom,
// mouse modes, inversion, DICOM data, printing and the measurement tools.
//
// Opening: the opener sets CurrentExam() (ViewerImagePath, ViewerStep,
// ViewerPatientName, ViewerExamDate) and calls exec():
//   series mode:  ViewerImagePath = "", ViewerStep = 0, images = &ConnExamen
//   single image: ViewerImagePath = path, ViewerStep = 99999, name and date set
// After exec() a single-image opener that finds PrintedInViewer true marks its
// own record printed.
#include "ExamIdentity.h"
#include "PicturePrinter.h"

#include <QDialog>
#include <QImage>
#include <array>

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
class ViewerDisplay;

class FrmDicomViewer : public QDialog {
    Q_OBJECT
public:
    // `images` is the exam's image record set (ConnExamen); it may be null in
    // single-image mode.
    explicit FrmDicomViewer(RecordSet* images, QWidget* parent = nullptr);
    ~FrmDicomViewer() override;

    // Loads the first image and runs the window modally.
    int exec() override;
    // Loads the first image and shows the window without waiting (tests,
    // screenshots). Nothing is shown when the viewer unloaded itself at once.
    void openWindow();
    bool isUnloaded() const { return unloaded; }
    bool closingSelf() const { return ClosingSelf; }

    ViewerDisplay* display() const { return ezDICOMX1; }
    MeasurementController* measurements() const { return measures; }
    MeasurePanel* measurePanel() const { return ToolBox1; }
    bool panelOpen() const { return PanelOpen; }
    // Tests point it at a PDF folder and a printer list of their own.
    PicturePrinter& picturePrinter() { return printer; }
    // Where the screen copy is saved before it is printed.
    static QString ScreenCopyPath();
    // The area Button8 copies, in the window's pixels.
    QRect screenCopyArea() const;

    // The steps of the window, under their own names.
    void LoadImageFromSeries();
    void ChargerImage();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Construction (FrmDicomViewer.cpp)
    void createBanner();
    void createDisplay();
    void createToolColumn();
    void createButtons();
    void createPrintNotice();
    void connectSignals();
    void layoutFond();
    void layoutToolColumn();
    void Form_Load();
    void Form_Unload();
    void unloadViewer();
    void leaveImage();
    void setPointer(Qt::CursorShape shape);
    void focusFond();

    // Display buttons, zoom and keys (FrmDicomViewerDisplay.cpp)
    void Button3_Click(int index);
    void Button5_Click();
    void Button6_Click();
    void Button1_Click();
    void Button1_ClickSunken();
    void Button2_Click();
    void Button2_ClickSunken();
    void Button9_Click();
    void Button10_Click();
    void Button4_Click();
    void Slider1_Change();
    void zoomChanged();
    void pointerMoved(double value);
    void displayPressed();
    void redrawAllGraphics();
    void showSliderValue(int zoomLevel);

    // Measurement panel and mouse (FrmDicomViewerMeasures.cpp)
    void connectPanel();
    void Command3_Click();
    void Command1_Click();
    void Command2_Click(int index);
    void Command4_Click(int index);
    void closePanel();
    void placePanel();
    bool displayMouse(QEvent* event);
    void displayClicked(int x, int y, int button);
    void updateMeasureImage();

    // Printing (FrmDicomViewerPrint.cpp)
    void Button7_Click();
    void Button8_Click();
    void printPicture(const QImage& picture, PicturePrinter::Renderer renderer);

    RecordSet* images;
    ExamIdentity& exam;
    bool ClosingSelf = false;
    bool loaded = false;
    bool unloaded = false;
    bool activated = false;
    bool PanelOpen = false;
    bool handleDrag = false;
    QString sliderTag = QStringLiteral("Fit");

    QWidget* Picture4 = nullptr; // banner
    QLabel* Label1 = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* Label2 = nullptr;
    QWidget* Fond = nullptr;
    ViewerDisplay* ezDICOMX1 = nullptr;
    MeasurementOverlay* overlay = nullptr;
    QWidget* Picture1 = nullptr; // tool column
    QGroupBox* Frame3 = nullptr;
    QLabel* Label4 = nullptr;
    QGroupBox* Frame2 = nullptr;
    QLabel* lbIntesity = nullptr;
    QWidget* Picture3 = nullptr;
    QGroupBox* Frame1 = nullptr;
    QLabel* lbZoom = nullptr;
    QSlider* Slider1 = nullptr;
    MeasurePanel* ToolBox1 = nullptr;
    QWidget* Picture5 = nullptr; // print notice
    QImage PicturePrint;

    std::array<brixel::Button*, 6> Button3{}; // 1..5
    brixel::Button* Button1 = nullptr;
    brixel::Button* Button2 = nullptr;
    brixel::Button* Button4 = nullptr;
    brixel::Button* Button5 = nullptr;
    brixel::Button* Button6 = nullptr;
    brixel::Button* Button7 = nullptr;
    brixel::Button* Button8 = nullptr;
    brixel::Button* Button9 = nullptr;
    brixel::Button* Button10 = nullptr;
    brixel::Button* Command3 = nullptr;
    std::array<QImage, 6> Picture2; // (0) Command3's icon, (1..5) Button3's normal icons

    MeasurementController* measures = nullptr;
    PicturePrinter printer;
};

} // namespace vexa
