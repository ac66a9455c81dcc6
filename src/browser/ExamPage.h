#pragma once
// Page 2 of the main window: the opened exam's patient, date and practitioner,
// its image grid and the fourteen thumbnails, each tagged with its image's
// ObjectFile, and the buttons of the actions on the exam. The actions
// themselves are the main window's.
#include "base/core/ThumbnailSink.h"
#include "browser/BoundGrid.h"
#include "browser/ExamOpening.h"

#include <brixel/Button.h>
#include <brixel/DesignFile.h>

#include <QLabel>
#include <QWidget>

namespace vexa {

// One thumbnail: a picture and, as its tag, the ObjectFile of its image.
class Thumbnail : public QLabel {
    Q_OBJECT
public:
    explicit Thumbnail(int index, QWidget* parent = nullptr);
    QString tag() const { return tag_; }
    void setTag(const QString& tag) { tag_ = tag; }

signals:
    void clicked(const QString& tag);
    void doubleClicked(const QString& tag);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QString tag_;
};

class ExamPage : public QWidget {
    Q_OBJECT
public:
    ExamPage(MainRecordSets& sets, const brixel::DesignFile& design, QWidget* parent = nullptr);

    // Shows the patient, date and practitioner of the opened exam.
    void showExam();

    // The fourteen thumbnails as the thumbnail walk fills them.
    ThumbnailSink& thumbnails() { return sink_; }

    QLabel* patientNameLabel;
    QLabel* examDateLabel;
    QLabel* practitionerLabel;
    BoundGrid* imageGrid;
    Thumbnail* thumbnailSlots[MainThumbnailCount];
    brixel::Button* viewExamButton; // view the exam (right click: the interpretation preview)
    brixel::Button* printExamButton; // print the exam (right click: automatically)
    brixel::Button* printLabelButton; // print one label
    brixel::Button* burnExamButton; // burn the exam on a CD
    brixel::Button* markBurnedButton; // mark the exam burned
    brixel::Button* examReportButton; // edit the exam's report
    brixel::Button* deleteImageButton; // delete the selected image
    brixel::Button* deleteExamButton; // delete the exam
    brixel::Button* closeExamButton; // close the exam

    static const QString PrintExamToolTip;
    static const QString ViewExamToolTip;

signals:
    void thumbnailClicked(const QString& tag);
    void thumbnailDoubleClicked(const QString& tag);
    void imageActivated(); // double click on a row of the image grid
    void viewExamRequested(); // viewExamButton

private:
    class Sink : public ThumbnailSink {
    public:
        explicit Sink(ExamPage& page)
            : page_(page)
        {
        }
        int thumbnailCount() const override { return MainThumbnailCount; }
        void clearPicture(int index) override;
        void setTag(int index, const QString& tag) override;
        void setVisible(int, bool) override { }
        bool loadPicture(int index, const QString& path) override;

    private:
        ExamPage& page_;
    };

    QWidget* thumbnailStrip();
    QWidget* actions(const brixel::DesignFile& design);

    MainRecordSets& sets_;
    Sink sink_{*this};
};

} // namespace vexa
