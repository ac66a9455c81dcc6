#pragma once
// The main window's printing and preview actions on an exam, apart from the
// main window itself: printing the exam (with its question, or
// automatically), the print sheet window, printing new images and the
// interpretation window. Each acts on the exam it is given, whatever the main
// window shows meanwhile. The main window keeps what is its own: the pointer
// state of its buttons, pausing and resuming the monitor, its notice.
#include "Exam.h"

#include <QDate>
#include <QString>
#include <functional>

class QDialog;
class QWidget;

namespace vexa {

struct MainRecordSets;

class PrintActions {
public:
    explicit PrintActions(MainRecordSets& sets, QWidget* parent = nullptr);

    // Print the exam. Without `rightClickMode` the user is asked first: No
    // opens the print sheet window, Yes prints automatically. With it (a
    // right click or Ctrl+click) the exam is printed automatically at once.
    void printExam(const Exam& exam, bool rightClickMode);
    // Every image of the exam on a page of its own, each marked printed (by
    // its SOPInstanc, when still there); an exam partly printed already asks
    // once whether to go on. The pages are made and printed on a worker
    // thread behind a waiting window modal to the parent's window, which
    // offers to stop after the current page.
    void printExamAutomatically(const Exam& exam);
    // The print sheet window for the exam, captioned from the exam's image.
    void openPrintSheet(const Exam& exam);
    // With images waiting to be printed (or pictures in the picture folder),
    // the print sheet window (on `opened`'s thumbnails, when an exam is
    // opened); otherwise the user is told there is nothing new. Answers
    // whether the window opened.
    bool printNewImages(const Exam& opened = {});
    // The interpretation window on the exam's images.
    void openInterpretation(const Exam& exam);

    static const QString PrintExamQuestion;
    static const QString AlreadyPrintedQuestion;
    static const QString NothingNewText;
    static const QString PrintingNotice;
    static const QString MarkFailedText;

    // One page of the automatic print; true when it was printed. Runs on the
    // worker thread.
    struct Page {
        QString imagePath;
        QString caption;
        bool inverse = false; // the settings' Inverse
        QString printer; // the settings' ImagePrinter
    };
    using PagePrinter = std::function<bool(const Page&)>;
    static bool PrintImagePage(const Page& page);

    // Replaceable for tests: how a window runs modally, the main window's
    // notice, today's date, how one page is printed.
    std::function<int(QDialog&)> runWindow;
    std::function<void(const QString&)> showNotice;
    std::function<QDate()> today = [] { return QDate::currentDate(); };
    PagePrinter printPage = PrintImagePage;

private:
    bool examStillThere(const Exam& exam);

    MainRecordSets& sets;
    QWidget* parent;
};

} // namespace vexa
