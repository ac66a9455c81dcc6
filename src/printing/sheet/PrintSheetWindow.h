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
#include <map>

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

    SlotPage* page() const { return page_; }
    int thumbnailsPerPage() const { return thumbnailsPerPage_; }
    PageOrientation orientation() const;
    int layoutIndex() const; // the first checked layout of the orientation, -1 when none
    double pageRatio() const { return pageRatio_; }
    int savedOrientation() const { return savedOrientation_; }
    QString thumbnailTag(int index) const;
    QLabel* thumbnail(int index) const;
    const QString& caption() const { return caption_; }
    // The caption the next sheet is printed with: the one given, else the
    // header, patient and exam date of the images on the sheet.
    QString sheetCaption() const;
    const QString& seriesUid() const { return exam_.seriesUid; }
    const Exam& exam() const { return exam_; }
    // The images the thumbnails offer: the exam's, or the shown patient's.
    const std::vector<SheetImage>& images() const { return images_; }
    int patientCount() const { return static_cast<int>(patients_.size()); }
    // The outcome of the last print.
    const SheetPrintOutcome& lastPrint() const { return lastPrint_; }

    // What the user does, also for tests.
    void chooseOrientation(PageOrientation orientation);
    void chooseLayout(int index); // in the current orientation
    void thumbnailClicked(int index);
    void thumbnailDoubleClicked(int index);
    void printPage();
    void storeDefault(); // the layout shown becomes the one the window opens with
    void scrollThumbnails(int value);
    void choosePatient(int index);

    // The controls, for tests.
    QScrollBar* thumbnailScrollBar() const { return thumbnailScrollBar_; }
    QRadioButton* orientationOption(PageOrientation orientation) const;
    QRadioButton* layoutOption(PageOrientation orientation, int index) const;
    brixel::Button* printButton() const { return printButton_; }
    brixel::Button* storeDefaultButton() const { return storeDefaultButton_; }
    brixel::Button* quitButton() const { return quitButton_; }
    QLabel* waitingText() const { return waitingText_; }
    // The patients waiting, when opened on them.
    QComboBox* patientChoice() const { return patientChoice_; }

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
    void buildThumbnailPanel();
    void buildToolPanel();
    QWidget* buildOrientationChoice();
    QWidget* buildLayoutChoice(PageOrientation orientation);
    void buildWaitingPanel();
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

    MainRecordSets& sets_;
    Exam exam_;
    QString caption_;
    std::vector<SheetPatient> patients_; // empty when opened on one exam
    std::vector<SheetImage> images_;
    SheetPrintOutcome lastPrint_;
    bool unprintedSheet_ = false; // images placed since the page was built or printed

    int thumbnailsPerPage_ = 4;
    int savedOrientation_ = 1;
    bool orientationSaved_ = false;
    double pageRatio_ = 1.0;
    QSize laidOutSize_;

    QLabel* banner_ = nullptr; // whose images the thumbnails offer
    QWidget* thumbnailPanel_ = nullptr;
    QFrame* thumbnailSelection_ = nullptr; // the frame around the thumbnail clicked
    QScrollBar* thumbnailScrollBar_ = nullptr; // pages of thumbnails
    QWidget* pageFrame_ = nullptr; // around the page
    SlotPage* page_ = nullptr;
    QWidget* toolPanel_ = nullptr;
    QComboBox* patientChoice_ = nullptr;
    std::array<QRadioButton*, 2> orientationOptions_{}; // portrait, landscape
    QWidget* portraitLayouts_ = nullptr;
    QWidget* landscapeLayouts_ = nullptr;
    std::array<QRadioButton*, LayoutCount> portraitLayoutOptions_{};
    std::array<QRadioButton*, LayoutCount> landscapeLayoutOptions_{};
    std::map<const QObject*, QRadioButton*> optionOfIcon_; // a click on an icon picks its option
    brixel::Button* printButton_ = nullptr;
    brixel::Button* storeDefaultButton_ = nullptr;
    brixel::Button* quitButton_ = nullptr;
    QWidget* waitingPanel_ = nullptr;
    QLabel* waitingText_ = nullptr;
    std::array<QLabel*, ThumbnailSlots> thumbnails_{};
    std::array<QString, ThumbnailSlots> thumbnailTags_{};
    std::array<QString, MaxSlots + 1> slotTags_{}; // ObjectFile of each slot's image
    std::unique_ptr<Thumbnails> thumbnailSink_;
};

} // namespace vexa
