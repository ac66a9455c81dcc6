#pragma once
// The watch for new exams, without widgets: every tick it names new rows,
// requeries the main window's three lists keeping their current rows, and
// computes the notice the main window shows. The window copies the state to
// its widgets on changed() and drives blink() from its TimerMessage.
#include "ConquestDatabaseConnector.h"
#include "MainRecordSets.h"

#include <QObject>

namespace vexa {

enum class NoticeState { NothingNew, Receiving, NewJustArrived, NewSettled };

// Label1's text for a state.
QString NoticeText(NoticeState state);

class NewExamMonitor : public QObject {
    Q_OBJECT
public:
    static constexpr int MonitorInterval = 6000;

    NewExamMonitor(MainRecordSets& sets, QString conquestPath, QObject* parent = nullptr);

    // TimerSurvey's interval: 0 pauses the monitor, MonitorInterval resumes it.
    int surveyInterval() const { return surveyInterval_; }
    void setSurveyInterval(int ms) { surveyInterval_ = ms; }

    void tick();
    // Names new images and series; "" or the failure's description.
    QString SetName();
    // One tick of TimerMessage: toggles Image5 while blinking.
    void blink();
    // Opening an exam also settles the notice.
    void setNotice(NoticeState state, bool showNotBurnedButton = true);

    NoticeState notice() const { return notice_; }
    QString label1() const { return NoticeText(notice_); }
    bool image5Visible() const { return image5Visible_; }
    int messageInterval() const { return messageInterval_; } // TimerMessage
    bool button8Visible(int index) const { return button8Visible_[index]; }
    int button7Picture() const { return button7Picture_; } // index into Picture1
    QString label7() const { return label7_; }

    int NotBurnedCount() const { return notBurnedCount_; }
    int SeriesListCount() const { return seriesListCount_; }
    // The date search sets it after its own requery.
    void setSeriesListCount(int count) { seriesListCount_ = count; }

signals:
    void changed();

private:
    void RestoreRow(RecordSet& list, const QVariant& compteur);
    void FollowDateList(const QVariant& remembered);
    void UpdateNotice(int countNow, int countBefore, int countTwoTicksBefore);

    MainRecordSets& sets_;
    QString path_;
    ConquestDatabaseConnector connector_;
    int surveyInterval_ = MonitorInterval;
    int notBurnedCount_ = 0;
    int seriesListCount_ = 0;
    NoticeState notice_ = NoticeState::NothingNew;
    bool image5Visible_ = false;
    int messageInterval_ = 0;
    bool button8Visible_[3] = {false, false, false};
    int button7Picture_ = 1;
    QString label7_;
};

} // namespace vexa
