#pragma once
// The main window: a frameless full-screen frame with its own title picture,
// close and minimise buttons and popup menu, its four pages under tabs, the
// new-exam monitor's notice, and the three timers that drive the program.
#include "ExamOpening.h"
#include "MainRecordSets.h"
#include "NewExamMonitor.h"

#include <brixel/Button.h>

#include <QDate>
#include <QImage>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

class QLabel;
class QMenu;
class QStackedWidget;
class QTabBar;

namespace vexa {

class ExamPage;
class SearchPage;

class MainWindow : public QWidget {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // The record sets other windows read, with the monitor working on them.
    MainRecordSets sets;
    std::unique_ptr<NewExamMonitor> monitor;

    // --- Start-up, once the database is open --------------------------------
    void ApplyButtonColours();
    // Names new rows, runs the first monitor tick, sets the pickers and the
    // first page, starts the day timer and shows the version.
    void StartWithDatabase(const QString& conquestPath);

    // --- Frame ---------------------------------------------------------------
    void Relayout(); // the resize rule
    void ShowPopupMenu(const QPoint& globalPosition);
    void QuitSequence();
    void bringToFront(); // the menu's "Afficher": shows and raises the window
    void OpenOptions(); // with the monitor paused
    void OpenAbout();
    // The burn action switches the keyboard shortcuts off while it runs.
    void setShortcutsEnabled(bool on) { shortcutsEnabled_ = on; }

    // --- Pages and lists -----------------------------------------------------
    int page() const; // 1 to 4
    void SelectPage(int page);
    void DateSearch();
    // Refused while another opening runs; the monitor rests meanwhile and
    // ticks once when it resumes.
    void OpenExamFromList(int list);
    bool isOpeningExam() const { return opening_; }
    void ThumbnailClick(const QString& tag);

    // --- The image viewer ----------------------------------------------------
    // viewExamButton and Enter on page 2: the opened exam's series from its first image.
    void ViewExam();
    // A row of the image grid: the current image alone.
    void ShowOneImage();
    // A thumbnail: its image becomes current, then shown alone.
    void ThumbnailDoubleClick(const QString& tag);

    // --- Monitor and day -----------------------------------------------------
    void SetSurveyInterval(int ms); // 0 pauses the monitor
    int surveyInterval() const;
    void MonitorTick();
    void DayTick(const QDate& today);

    // Replaceable for tests: the options dialog, the JPEG export of a series
    // and today's date.
    std::function<void()> showOptionsDialog;
    SeriesExporter exportSeries;
    std::function<QDate()> today = [] { return QDate::currentDate(); };

    // --- Controls ------------------------------------------------------------
    QLabel* titlePicture; // drags the window
    QLabel* menuPicture; // opens the popup menu
    QLabel* receivingPicture; // blinks while new exams arrive
    QLabel* noticeLabel; // the monitor's notice
    QLabel* versionLabel;
    brixel::Button* closeButton;
    brixel::Button* minimiseButton;
    brixel::Button* imagesToPrintButton; // its picture says whether images wait to be printed
    QImage imagesToPrintPictures[2]; // [0] images wait, [1] none
    QTabBar* pageTabs;
    QStackedWidget* pageStack;
    SearchPage* searchPage;
    ExamPage* examPage;
    QMenu* popupMenu;
    QTimer monitorTimer;
    QTimer blinkTimer;
    QTimer dayTimer;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* TitleBar();
    QWidget* NoticeBar();
    void BuildPages();
    void BuildMenu();
    void ConnectPages();
    // `target` is the widget the key was typed in.
    bool HandleKey(QKeyEvent* event, const QWidget* target);
    void PageChanged(int index);
    void ShowMonitorState();
    void ShowNotice();
    void SetMessageInterval(int ms);
    void RunViewer(RecordSet* images);
    void PauseMonitor();
    void ResumeMonitor();

    QString conquestPath_;
    int surveyInterval_ = 0;
    bool shortcutsEnabled_ = true;
    bool opening_ = false; // an exam is being opened
};

} // namespace vexa
