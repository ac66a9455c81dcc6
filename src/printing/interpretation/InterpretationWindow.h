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
#include <map>

class QRadioButton;
class QScrollBar;
class QLabel;
class QLayout;
class QVBoxLayout;

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

    int imageCount() const { return static_cast<int>(imagePaths_.size()); }
    const QStringList& imagePaths() const { return imagePaths_; }
    int imagesPerPage() const { return imagesPerPage_; }
    bool enlarged() const { return enlarged_; }
    bool built() const { return built_; }
    // The page asked for last is still being decoded.
    bool loading() const;
    const Exam& exam() const { return exam_; }
    SlotPage* page() const { return page_; }

    // What the user does, also for tests.
    void chooseLandscapeLayout(int index);
    void choosePortraitLayout(int index);
    void changePage(int value);
    void chooseTool(int tool); // one of ToolButtons
    void invertGreys();
    void restoreImages();

    static constexpr int ToolButtons[3] = {1, 3, 5};
    static const QString WaitingText;
    static const QString CloseQuestion;
    static const QColor ToolColour;
    static const QColor PressedToolColour;

    // The controls, for tests.
    QScrollBar* pageScrollBar() const { return pageScrollBar_; }
    QRadioButton* layoutOption(PageOrientation orientation, int index) const;
    brixel::Button* toolButton(int tool) const; // null but for ToolButtons
    brixel::Button* invertButton() const { return invertButton_; }
    brixel::Button* restoreButton() const { return restoreButton_; }
    QWidget* waitingPanel() const { return waitingPanel_; }
    QLabel* patientLabel() const { return patientLabel_; } // whose images these are

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    QLayout* buildLayoutChoice(PageOrientation orientation);
    void buildToolButtons(QVBoxLayout* tools);
    void buildWaitingPanel();
    bool mayClose();
    void firstActivation();
    void createSlots(int count); // the page's images from the scroll bar's value
    void pageDecoded(const QStringList& paths, std::vector<DicomLoadResult> results);
    void slotClicked(int slot, int button);
    template <typename Apply> void forEachSlot(Apply apply);

    Exam exam_; // the patient and date completed from the images when not given
    QStringList imagePaths_; // image i + 1 of the series at index i
    LatestImageLoader* loader_ = nullptr;
    int imagesPerPage_ = 0;
    bool enlarged_ = false;
    int enlargedSlot_ = 0;
    QRect placeBeforeEnlarging_; // the enlarged slot's place, pixels of the page
    bool built_ = false; // the first page was asked for

    SlotPage* page_ = nullptr;
    QWidget* toolPanel_ = nullptr;
    QLabel* patientLabel_ = nullptr;
    std::array<QRadioButton*, LayoutCount> portraitLayoutOptions_{};
    std::array<QRadioButton*, LayoutCount> landscapeLayoutOptions_{};
    std::map<const QObject*, QRadioButton*> optionOfIcon_; // a click on an icon picks its option
    std::array<brixel::Button*, 6> toolButtons_{}; // by tool: 1, 3 and 5 are used
    std::array<QImage, 6> toolPictures_{}; // the tool buttons' normal pictures
    brixel::Button* invertButton_ = nullptr;
    brixel::Button* restoreButton_ = nullptr;
    QScrollBar* pageScrollBar_ = nullptr; // pages of images
    brixel::Button* quitButton_ = nullptr;
    QWidget* waitingPanel_ = nullptr;
};

} // namespace vexa
