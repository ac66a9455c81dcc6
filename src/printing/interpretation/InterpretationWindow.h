#pragma once
// The interpretation window: the images of the opened exam side by side for
// reading, up to eight at once, paged with a scroll bar; three pointer tools,
// inversion and reset applied to every image of the page; a right click
// enlarges one image to the whole page area and a second one puts it back.
// A page's images are decoded on the worker threads: paging answers at once,
// and only the page asked for last is shown.
#include "dicom/DicomImageData.h"
#include "pacsdb/Exam.h"
#include "printing/sheet/SlotPage.h"

#include <QDialog>
#include <QStringList>
#include <array>

class QRadioButton;
class QScrollBar;
class QLabel;

namespace brixel {
class Button;
}

namespace vexa {

class LatestImageLoader;

class InterpretationWindow : public QDialog {
    Q_OBJECT
public:
    // The images are those of the exam's series, read from the database at
    // conquestPath, their files under `imageRoot`.
    InterpretationWindow(
        const Exam& exam, const QString& conquestPath, const QString& imageRoot, QWidget* parent = nullptr);

    // Without images the window closes at once.
    int exec() override;

    int imageCount() const { return static_cast<int>(ImagePaths.size()); }
    const QStringList& imagePaths() const { return ImagePaths; }
    int imagesPerPage() const { return ImagesPerPage; }
    bool enlarged() const { return Enlarged; }
    bool built() const { return !FirstActivation; }
    // The page asked for last is still being decoded.
    bool loading() const;
    const Exam& exam() const { return exam_; }
    SlotPage* page() const { return Picture1; }

    // What the user does, also for tests.
    void chooseLandscapeLayout(int index); // Option3
    void choosePortraitLayout(int index); // Option2
    void changePage(int value); // VScroll1
    void chooseTool(int tool); // Button3(1), (3), (5)
    void invertGreys(); // Button5
    void restoreImages(); // Button6

    static constexpr int ToolButtons[3] = {1, 3, 5};
    static const QString WaitingText;
    static const QString CloseQuestion;
    static const QColor ToolColour;
    static const QColor PressedToolColour;

    QScrollBar* VScroll1 = nullptr;
    std::array<QRadioButton*, LayoutCount> Option2{};
    std::array<QRadioButton*, LayoutCount> Option3{};
    std::array<brixel::Button*, 6> Button3{}; // 1, 3 and 5 are used
    brixel::Button* Button5 = nullptr;
    brixel::Button* Button6 = nullptr;
    brixel::Button* Button2 = nullptr;
    QWidget* Picture2 = nullptr; // tool panel
    QWidget* Picture6 = nullptr; // waiting panel
    QLabel* PatientLabel = nullptr; // whose images these are

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    bool mayClose();
    void firstActivation();
    void createSlots(int count); // the page's images from the scroll bar's value
    void pageDecoded(const QStringList& paths, std::vector<DicomLoadResult> results);
    void slotClicked(int slot, int button);
    template <typename Apply> void forEachSlot(Apply apply);

    Exam exam_; // the patient and date completed from the images when not given
    QStringList ImagePaths; // image i + 1 of the series at index i
    LatestImageLoader* loader = nullptr;
    int ImagesPerPage = 0;
    int LastButton = 0;
    bool Enlarged = false;
    int enlargedSlot = 0;
    QRect savedRect; // the enlarged slot's place, pixels of the page
    bool FirstActivation = true;

    SlotPage* Picture1 = nullptr;
    std::array<QImage, 6> Picture2_{}; // the tool buttons' normal pictures
};

} // namespace vexa
