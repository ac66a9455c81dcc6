#pragma once
// The print sheet window: the user picks a page orientation and one of five
// layouts, fills the layout's slots from the thumbnails of the series (double
// click, the selection moving on to the next slot), adjusts each image in its
// slot, and prints the page; the printed images are marked printed. The
// window stays open after printing; closing it gives the printer back the
// orientation it had. The window works on the exam it was given: what the
// main window shows meanwhile changes nothing here. Opened on the images
// waiting to be printed, it offers them one patient at a time. Every sheet
// printed is captioned with the patient and exam date of its images.
#include "pacsdb/Exam.h"
#include "printing/sheet/SheetImages.h"
#include "printing/sheet/SheetPrinter.h"
#include "printing/sheet/SlotPage.h"

#include <QDate>
#include <QDialog>
#include <array>
#include <functional>

class QComboBox;
class QLabel;
class QRadioButton;
class QScrollBar;

namespace brixel {
class Button;
}

namespace vexa {

struct MainRecordSets;

class PrintSheetWindow : public QDialog {
    Q_OBJECT
public:
    static constexpr int ThumbnailSlots = 7;

    // The thumbnails come from the exam's series; `caption` is printed over
    // the page, its lines separated by "|".
    PrintSheetWindow(MainRecordSets& sets, const Exam& exam, QString caption, QWidget* parent = nullptr);
    // The images waiting to be printed, one patient at a time (the first
    // shown first); each sheet is captioned from its own images.
    PrintSheetWindow(MainRecordSets& sets, std::vector<SheetPatient> patients, QWidget* parent = nullptr);
    ~PrintSheetWindow() override;

    // Replaceable for tests: today's date and where a PDF sheet goes when no
    // printer is installed.
    std::function<QDate()> today = [] { return QDate::currentDate(); };
    QString pdfFolder;
    QString documentName = QStringLiteral("VexaDICOM");

    SlotPage* page() const { return Picture1; }
    int thumbnailsPerPage() const { return ThumbnailsPerPage_; }
    PageOrientation orientation() const;
    int layoutIndex() const; // the first checked layout of the orientation, -1 when none
    double pageRatio() const { return PageRatio; }
    int savedOrientation() const { return SavedOrientation; }
    QString thumbnailTag(int index) const;
    QLabel* thumbnail(int index) const;
    const QString& caption() const { return PrintCaption; }
    // The caption the next sheet is printed with: the one given, else the
    // header, patient and exam date of the images on the sheet.
    QString sheetCaption() const;
    const QString& seriesUid() const { return exam_.seriesUid; }
    const Exam& exam() const { return exam_; }
    // The images the thumbnails offer: the exam's, or the shown patient's.
    const std::vector<SheetImage>& images() const { return images_; }
    int patientCount() const { return static_cast<int>(patients_.size()); }
    // The outcome of the last print.
    const SheetPrintOutcome& lastPrint() const { return lastOutcome; }

    // What the user does, also for tests.
    void chooseOrientation(PageOrientation orientation); // Option1 clicked
    void chooseLayout(int index); // Option2 / Option3 clicked in the current orientation
    void thumbnailClicked(int index);
    void thumbnailDoubleClicked(int index);
    void printPage(); // Button1
    void storeDefault(); // Button4
    void scrollThumbnails(int value); // VScroll1
    void choosePatient(int index); // PatientBox

    // The controls tests and the window's design look up.
    QScrollBar* VScroll1 = nullptr;
    QRadioButton* Option1[2]{};
    std::array<QRadioButton*, LayoutCount> Option2{};
    std::array<QRadioButton*, LayoutCount> Option3{};
    brixel::Button* Button1 = nullptr;
    brixel::Button* Button4 = nullptr;
    brixel::Button* Button2 = nullptr;
    QWidget* Picture6 = nullptr; // waiting panel
    QLabel* Label5 = nullptr;
    QComboBox* PatientBox = nullptr; // the patients waiting, when opened on them

    static const QString RestingText;
    static const QString PrintingText;
    static const QString UnprintedSheetQuestion;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void done(int result) override;

private:
    class Thumbnails;

    void buildControls();
    void showPatientBanner();
    void loadThumbnails(int firstImage);
    int thumbnailPageCount() const;
    void firstLayout(); // the layout steps run at opening and on every resize
    void fitParts();
    void sizePreviewPage();
    void buildLayout(int index);
    void showWaiting(bool shown);
    std::vector<SheetPicture> filledPictures() const;
    void markPrinted();
    bool mayDropSheet(); // asks about a sheet composed and not printed

    MainRecordSets& sets;
    Exam exam_;
    QString PrintCaption;
    std::vector<SheetPatient> patients_; // empty when opened on one exam
    std::vector<SheetImage> images_;
    SheetPrintOutcome lastOutcome;
    bool unprintedSheet = false; // images placed since the page was built or printed

    int ThumbnailsPerPage_ = 4;
    int SavedOrientation = 1;
    bool orientationSaved = false;
    double PageRatio = 1.0;
    QSize laidOutSize;

    QLabel* Banner = nullptr;
    QWidget* Frame1 = nullptr; // thumbnail column
    QWidget* Frame2 = nullptr; // page frame
    QWidget* ToolPanel = nullptr;
    QWidget* Picture4 = nullptr; // portrait layouts
    QWidget* Picture5 = nullptr; // landscape layouts
    SlotPage* Picture1 = nullptr;
    QFrame* Shape2 = nullptr;
    std::array<QLabel*, ThumbnailSlots> Thumbnail{};
    std::array<QString, ThumbnailSlots> ThumbnailTags{};
    std::array<QString, MaxSlots + 1> SlotTags{}; // ObjectFile of each slot's image
    std::unique_ptr<Thumbnails> thumbnailSink;
};

} // namespace vexa
