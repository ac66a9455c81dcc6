#pragma once
// The watch for new exams, without widgets: every tick it names new rows,
// requeries the main window's three lists keeping their current rows when
// something they show changed, and works out what is new. It holds plain
// state (counts, the notice); the main window drives tick() and setNotice()
// and maps the state onto its widgets after each call.
#include "pacsdb/ConquestQueries.h"
#include "pacsdb/MainRecordSets.h"

#include <QDateTime>
#include <QObject>

#include <functional>

namespace vexa {

enum class NoticeState { NothingNew, Receiving, NewJustArrived, NewSettled };

// noticeLabel's text for a state.
QString noticeText(NoticeState state);
// How fast the notice picture blinks in a state, in ms; 0 when it stays.
int noticeBlinkInterval(NoticeState state);

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
    // False while the first start names the database on a worker: the
    // tick then only reads, so no second naming runs beside it.
    bool naming = true;
    // Names new images and series; "" or the failure's description.
    QString nameNewRows();
    // Opening an exam also settles the notice.
    void setNotice(NoticeState state, bool showNotBurnedButton = true);

    NoticeState notice() const { return notice_; }
    QString noticeText() const { return vexa::noticeText(notice_); }
    // The notice points at the not-burned list: something is new there.
    bool notBurnedNoticed() const { return notBurnedNoticed_; }
    // At the last tick the not-burned list held series.
    bool notBurnedPending() const { return notBurnedPending_; }
    QString seriesCountText() const { return seriesCountText_; }

    int notBurnedCount() const { return notBurnedCount_; }
    int seriesListCount() const { return seriesListCount_; }
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
    ListsStamp readStamp() const;
    QByteArray notBurnedRows() const;
    // The date and patient lists asked again: both when the stamp changed,
    // else only one whose text or database changed since it was last asked.
    void requeryChangedLists(bool changed);
    void restoreRow(RecordSet& list, const QVariant& compteur);
    void followDateList(const QVariant& remembered);
    void updateNotice(int countNow, int countBefore, int countTwoTicksBefore);

    MainRecordSets& sets_;
    QString path_;
    ConquestQueries queries_;
    int surveyInterval_ = MonitorInterval;
    int notBurnedCount_ = 0;
    int seriesListCount_ = 0;
    NoticeState notice_ = NoticeState::NothingNew;
    bool notBurnedNoticed_ = false;
    bool notBurnedPending_ = false;
    QString seriesCountText_;
    ListsStamp stamp_;
    // Each list's text and database as of its last requery by the tick.
    QString requeried_[2];
};

} // namespace vexa
