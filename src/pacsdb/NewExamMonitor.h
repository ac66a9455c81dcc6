#pragma once
// The watch for new exams, without widgets: every tick it names new rows,
// requeries the main window's three lists keeping their current rows when
// something they show changed, and computes the notice the main window shows.
// The window drives tick(), setNotice() and blink() (from its blinkTimer) and
// reads the state back after each call to copy it to its widgets.
#include "ConquestQueries.h"
#include "MainRecordSets.h"

#include <QDateTime>
#include <QObject>

#include <functional>

namespace vexa {

enum class NoticeState { NothingNew, Receiving, NewJustArrived, NewSettled };

// noticeLabel's text for a state.
QString NoticeText(NoticeState state);

class NewExamMonitor : public QObject {
    Q_OBJECT
public:
    static constexpr int MonitorInterval = 6000;
    // A row the user picked in the date list this recently keeps its
    // selection when a new exam arrives; the new row is highlighted instead.
    static constexpr qint64 KeepChoiceSeconds = 60;

    NewExamMonitor(MainRecordSets& sets, QString conquestPath, QObject* parent = nullptr);

    // monitorTimer's interval: 0 pauses the monitor, MonitorInterval resumes it.
    int surveyInterval() const { return surveyInterval_; }
    void setSurveyInterval(int ms) { surveyInterval_ = ms; }

    void tick();
    // Names new images and series; "" or the failure's description.
    QString nameNewRows();
    // One tick of blinkTimer: toggles receivingPicture while blinking.
    void blink();
    // Opening an exam also settles the notice.
    void setNotice(NoticeState state, bool showNotBurnedButton = true);

    NoticeState notice() const { return notice_; }
    QString noticeText() const { return NoticeText(notice_); }
    bool receivingPictureVisible() const { return receivingPictureVisible_; }
    int messageInterval() const { return messageInterval_; } // blinkTimer
    bool viewButtonVisible(int index) const { return viewButtonVisible_[index]; }
    int imagesToPrintPicture() const { return imagesToPrintPicture_; } // index into imagesToPrintPictures
    QString seriesCountText() const { return seriesCountText_; }

    int NotBurnedCount() const { return notBurnedCount_; }
    int SeriesListCount() const { return seriesListCount_; }
    // The date search sets it after its own requery.
    void setSeriesListCount(int count) { seriesListCount_ = count; }

    // The clock the kept choice is measured with (tests set it).
    std::function<QDateTime()> now = [] { return QDateTime::currentDateTime(); };

private:
    // What the date and patient lists depend on, read by indexed questions:
    // the newest series, how many series wait for their date, how many there
    // are (a deletion elsewhere), and the rows of the not-burned list (a
    // series burned elsewhere leaves it).
    struct ListsStamp {
        bool read = false;
        QVariant newestSeries;
        qint64 undatedSeries = 0;
        qint64 seriesCount = 0;
        QByteArray notBurnedRows;
        bool operator==(const ListsStamp&) const = default;
    };
    ListsStamp ReadStamp() const;
    QByteArray NotBurnedRows() const;
    // The date and patient lists asked again: both when the stamp changed,
    // else only one whose text or database changed since it was last asked.
    void RequeryChangedLists(bool changed);
    void RestoreRow(RecordSet& list, const QVariant& compteur);
    void FollowDateList(const QVariant& remembered);
    void UpdateNotice(int countNow, int countBefore, int countTwoTicksBefore);

    MainRecordSets& sets_;
    QString path_;
    ConquestQueries queries_;
    int surveyInterval_ = MonitorInterval;
    int notBurnedCount_ = 0;
    int seriesListCount_ = 0;
    NoticeState notice_ = NoticeState::NothingNew;
    bool receivingPictureVisible_ = false;
    int messageInterval_ = 0;
    bool viewButtonVisible_[3] = {false, false, false};
    int imagesToPrintPicture_ = 1;
    QString seriesCountText_;
    ListsStamp stamp_;
    // Each list's text and database as of its last requery by the tick.
    QString requeried_[2];
};

} // namespace vexa
