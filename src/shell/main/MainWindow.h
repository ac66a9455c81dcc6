#pragma once
// The main window: a frameless full-screen frame with its own title picture,
// close and minimise buttons and popup menu, its four pages under tabs, the
// new-exam monitor's notice, and the three timers that drive the program.
#include "browser/ExamList.h"
#include "browser/ExamOpening.h"
#include "pacsdb/Exam.h"
#include "pacsdb/MainRecordSets.h"
#include "pacsdb/NewExamMonitor.h"
#include "viewer/window/ViewerRequest.h"

#include <brixel/Button.h>

#include <QDate>
#include <QElapsedTimer>
#include <QImage>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

class QLabel;
class QMenu;
class QScreen;
class QStackedWidget;
class QTabBar;

namespace vexa {

class ExamPage;
class SearchPage;
class StartupWork;
class ToolsPage;

// What the report buttons open (the report editor's own openings).
enum class ReportOpening { ExamReport, Template, Letterhead };

// The actions the buttons, keys and menu reach, apart from the main window's
// own steps around them (monitor paused, page shown, pointer mode cleared).
// An action on an exam gets the opened exam as a value when it starts and
// finishes on it, whatever is opened or closed meanwhile. Each starts as the
// real action; tests replace them.
struct MainWindowActions {
    std::function<void(const Exam&, bool automatic)> printExam; // the question unless automatic
    std::function<void(const Exam&)> openInterpretation;
    std::function<void(const Exam&)> openPrintSheet; // captioned from the selected image
    std::function<void(const Exam& opened)> printNewImages; // `opened` may be no exam
    std::function<void(const Exam&, int count)> printLabels;
    std::function<void()> runDayList;
    std::function<bool(const Exam&)> burnExam; // true when a CD was burned
    std::function<void(const RecordSet& identities)> runWorklist; // the patient to start from
    std::function<bool(const Exam&)> deleteSelectedImage;
    std::function<bool(const Exam&)> deleteExam; // true when the exam is gone
    std::function<void()> openHelp;
    std::function<void()> update;
    std::function<void(ReportOpening, const Exam&)>
        openReport; // the report editor; no exam but for ExamReport
};

class MainWindow : public QWidget {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // The record sets other windows read, with the monitor working on them.
    MainRecordSets sets;
    std::unique_ptr<NewExamMonitor> monitor;

    // --- Start-up, once the database is open --------------------------------
    void applyButtonColours();
    // Names new rows, runs the first monitor tick, sets the pickers and the
    // first page, starts the day timer and shows the version.
    void startWithDatabase(const QString& conquestPath);
    // The same start when the database has much to do first: the upgrade
    // and the naming run on a worker, the lists open at once (after the
    // upgrade when it changes the schema) and fill as names arrive, the
    // notice shows the progress. upgradeFailed hears a failed upgrade.
    void startInBackground(const QString& conquestPath, bool schemaToChange, qint64 imagesToName,
        const std::function<void(const QString&)>& upgradeFailed);
    bool startupWorkRunning() const { return startupWork_ != nullptr; }

    // --- Frame ---------------------------------------------------------------
    void relayout(); // the resize rule
    void showPopupMenu(const QPoint& globalPosition);
    void quitSequence();
    void bringToFront(); // the menu's "Afficher": shows and raises the window
    void openOptions(); // with the monitor paused
    void openAbout();
    // The burn action switches the keyboard shortcuts off while it runs.
    void setShortcutsEnabled(bool on) { shortcutsEnabled_ = on; }

    // --- Pages and lists -----------------------------------------------------
    int page() const; // 1 to 4
    void selectPage(int page);
    void dateSearch();
    // Refused while another opening or action runs; the monitor rests
    // meanwhile and ticks once when it resumes.
    void openExamFromList(ExamList list);
    bool isOpeningExam() const { return opening_; }
    // The exam opened on page 2; invalid when none is.
    const Exam& openedExam() const { return openedExam_; }
    // An opening or an action runs (its waiting or own modal window is up):
    // a second start of any of them is refused until it ends.
    bool actionRunning() const;
    void thumbnailClick(const QString& tag);

    // --- The image viewer ----------------------------------------------------
    // viewExamButton and Enter on page 2: the opened exam's series from its first image.
    void viewExam();
    // A row of the image grid: the current image alone.
    void showOneImage();
    // A thumbnail: its image becomes current, then shown alone.
    void thumbnailDoubleClick(const QString& tag);

    // --- Exam actions (page 2) and tools (page 3) -----------------------------
    // Each runs its action with the main window's steps around it.
    void viewExamAction(); // viewExamButton: the viewer, or the interpretation window in right-click mode
    void printExamAction(); // printExamButton
    void printLabelAction(); // one label for the opened exam
    void burnExamAction(); // burnExamButton and F12
    void markExamBurnedAction();
    void deleteSelectedImageAction();
    void deleteExamAction(); // back to page 1 once the exam is gone
    void closeExamAction();
    void interpretationAction(); // F10
    void printSheetAction(); // F11
    void dayListAction(); // dayListButton and the menu's "Outils..."
    void printNewImagesAction(); // imagesToPrintButton
    void markAllBurnedAction();
    void worklistAction();
    void helpAction(); // helpButton, F1, the menu's help
    void updateAction();
    // The report buttons: the exam's report, a template, the letterhead.
    void openReportEditor(ReportOpening opening);
    // Set by the pointer events of printExamButton and viewExamButton before
    // their click runs; each action clears it when it ends.
    bool rightClickMode() const { return rightClickMode_; }
    // Records a pointer press (Ctrl alone held) or a secondary-button release
    // on printExamButton or viewExamButton, as their pointer events do.
    void actionButtonMouseDown(brixel::Button* button, short shift);
    void actionButtonMouseUp(brixel::Button* button, short mouseButton);

    // The patient the worklist entry starts from: the opened exam's, else
    // the patient list's current one, else none. Requeried here.
    void pointAtWorklistPatient(RecordSet& identities);

    // A new database path from the options: every record set reopened on it,
    // the exam closed, the lists and the monitor started again.
    void reopenDatabase(const QString& conquestPath);
    QString databasePath() const { return conquestPath_; }

    MainWindowActions actions;

    // --- Monitor and day -----------------------------------------------------
    void setSurveyInterval(int ms); // 0 pauses the monitor
    int surveyInterval() const;
    void monitorTick();
    void dayTick(const QDate& today);

    // Replaceable for tests: the options dialog, the JPEG export of a series,
    // the viewer (run modally; `images` null for a single file) and today's date.
    std::function<void()> showOptionsDialog;
    std::function<ViewerOutcome(const ViewerRequest&, RecordSet* images)> runViewer;
    SeriesExporter exportSeries;
    std::function<QDate()> today = [] { return QDate::currentDate(); };
    // The part of a screen the window may cover; unset: its available geometry.
    std::function<QRect(const QScreen*)> screenArea;

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
    ToolsPage* toolsPage;
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
    QWidget* titleBar();
    QWidget* noticeBar();
    void buildPages();
    void buildMenu();
    void connectPages();
    // `target` is the widget the key was typed in.
    bool handleKey(QKeyEvent* event, const QWidget* target);
    void pageChanged(int index);
    void showMonitorState();
    void showNotice();
    void setMessageInterval(int ms);
    ViewerOutcome showViewer(
        const ViewerRequest& request, RecordSet* images, QWidget* loadingNotice = nullptr);
    void closeExam();
    // Page 2's images read again after an action marked some printed or
    // deleted one, when page 2 still shows `exam`.
    void rereadExamImages(const Exam& exam);
    void pauseMonitor();
    void resumeMonitor();
    void openLists(const QString& conquestPath);
    void showStartupProgress(qint64 imagesDone);
    void endStartupWork();
    void connectActions();
    void setRealActions();
    void showNoticeText(const QString& text);

    // Counts the actions running, for actionRunning().
    class ActionScope {
    public:
        explicit ActionScope(MainWindow& window)
            : window_(window)
        {
            ++window_.actionDepth_;
        }
        ~ActionScope() { --window_.actionDepth_; }
        ActionScope(const ActionScope&) = delete;
        ActionScope& operator=(const ActionScope&) = delete;

    private:
        MainWindow& window_;
    };

    QString conquestPath_;
    Exam openedExam_;
    int actionDepth_ = 0;
    int surveyInterval_ = 0;
    bool shortcutsEnabled_ = true;
    bool opening_ = false; // an exam is being opened
    bool rightClickMode_ = false;
    // The first start's work on a worker, while it runs.
    StartupWork* startupWork_ = nullptr;
    qint64 startupTotal_ = 0;
    QString startupNotice_;
    QElapsedTimer startupTick_;
};

} // namespace vexa
