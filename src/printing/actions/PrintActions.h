#pragma once
// The main window's printing and preview actions on an exam, apart from the
// main window itself: printing the exam (with its question, or
// automatically), the print sheet window, printing new images and the
// interpretation window. Each acts on the exam it is given, whatever the main
// window shows meanwhile. The main window keeps what is its own: the pointer
// state of its buttons, pausing and resuming the monitor, its notice.
#include "pacsdb/Exam.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QDialog;
class QWidget;

namespace vexa {

class PictureBook;

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
    // offers to stop after the current page. With no printer to print on,
    // the pages make one PDF file, named to the user once.
    void printExamAutomatically(const Exam& exam);
    // The print sheet window for the exam, captioned from the exam's image.
    void openPrintSheet(const Exam& exam);
    // With images of the day waiting to be printed, the print sheet window on
    // them, one patient at a time (`opened`'s patient first, when an exam is
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
    static const QString ExamPdfText; // %1: the number of pages; the file's path follows
    static const QString ExamPdfFailedText;

    // One page of the automatic print; true when it was printed. Runs on the
    // worker thread.
    struct Page {
        QString imagePath;
        QString caption;
        bool inverse = false; // the settings' Inverse
        QString printer; // the settings' ImagePrinter
        PictureBook* book = nullptr; // the one document every page goes into, if any
    };
    using PagePrinter = std::function<bool(const Page&)>;
    static bool printImagePage(const Page& page);

    // Replaceable for tests: how a window runs modally, the main window's
    // notice, today's date, how one page is printed.
    std::function<int(QDialog&)> runWindow;
    std::function<void(const QString&)> showNotice;
    std::function<QDate()> today = [] { return QDate::currentDate(); };
    PagePrinter printPage = printImagePage;
    // The installed printers are asked from the system unless given here;
    // PDF files go to the user's print folder unless another is given.
    std::optional<QStringList> installedPrinters;
    QString pdfFolder;

private:
    bool examStillThere(const Exam& exam);

    MainRecordSets& sets_;
    QWidget* parent_;
};

} // namespace vexa
