#pragma once
// The main window's deleting actions on an exam, apart from the main window
// itself: deleting the selected image and deleting the whole exam. Each acts
// on the exam it is given, checked first: an exam another workstation
// deleted is refused. The main window keeps what is its own: the page shown
// afterwards.
#include "pacsdb/Exam.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>

class QDialog;
class QWidget;

namespace vexa {

struct MainRecordSets;
class ThumbnailSink;

class ExamActions {
public:
    explicit ExamActions(MainRecordSets& sets, QWidget* parent = nullptr);

    // Asks with the selected image of `exam` (the current row of the exam's
    // images); on "Oui" deletes its row by its SOPInstanc, then its file,
    // measurements and pictures, requeries the exam's images and fills
    // `thumbnails` again from the first image. True when it was deleted.
    bool deleteSelectedImage(const Exam& exam, ThumbnailSink& thumbnails);
    // Asks the warning question; on Yes deletes the exam's rows (images and
    // series, in one transaction), then its report and every image's files.
    // Refused while Conquest is still receiving the series. True when the
    // exam is gone: no exam is open any more and page 1 is to be shown.
    bool deleteExam(const Exam& exam);

    static const QString DeleteExamQuestion;
    // The patient and the exam date, named in both deleting questions.
    static QString examNamed(const Exam& exam);
    static QString deleteExamQuestionFor(const Exam& exam);
    static const QString StillReceivingText;
    // The message listing files that could not be removed.
    static QString undeletedFilesText(const QStringList& paths);

    // Replaceable for tests: how a window runs modally, the current time.
    std::function<int(QDialog&)> runWindow;
    std::function<QDateTime()> now = [] { return QDateTime::currentDateTime(); };

private:
    MainRecordSets& sets_;
    QWidget* parent_;
};

} // namespace vexa
