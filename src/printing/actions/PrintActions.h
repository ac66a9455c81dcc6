#pragma once
// The main window's printing and preview actions on the opened exam, apart
// from the main window itself: printing the exam (with its question, or
// automatically), the print sheet window, printing new images and the
// interpretation window. The main window keeps what is its own: the pointer
// state of its buttons, pausing and resuming the monitor, its notice.
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
    void printExam(bool rightClickMode);
    // Every image of the exam on a page of its own, each marked printed; an
    // exam partly printed already asks once whether to go on.
    void printExamAutomatically();
    // The print sheet window for the exam, captioned from the selected image.
    void openPrintSheet();
    // With images waiting to be printed (or pictures in the picture folder),
    // the print sheet window; otherwise the user is told there is nothing new.
    // Answers whether the window opened.
    bool printNewImages();
    // The interpretation window on the exam's images.
    void openInterpretation();

    static const QString PrintExamQuestion;
    static const QString AlreadyPrintedQuestion;
    static const QString NothingNewText;
    static const QString PrintingNotice;

    // Replaceable for tests: how a window runs modally, the main window's
    // notice, today's date.
    std::function<int(QDialog&)> runWindow;
    std::function<void(const QString&)> showNotice;
    std::function<QDate()> today = [] { return QDate::currentDate(); };

private:
    bool printImage(const QString& path, const QString& caption);
    QString captionFromSelectedImage();

    MainRecordSets& sets;
    QWidget* parent;
};

} // namespace vexa
