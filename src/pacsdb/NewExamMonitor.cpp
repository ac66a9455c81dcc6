#include "NewExamMonitor.h"

#include "ExamNaming.h"

namespace vexa {

QString NoticeText(NoticeState state)
{
    switch (state) {
    case NoticeState::NothingNew:
        return QStringLiteral("Il n'y a pas de nouveau dossier à traiter");
    case NoticeState::Receiving:
        return QStringLiteral("Réception des données en cours...");
    case NoticeState::NewJustArrived:
    case NoticeState::NewSettled:
        return QStringLiteral("Il y a des nouveaux dossiers à traiter");
    }
    return {};
}

NewExamMonitor::NewExamMonitor(MainRecordSets& sets, QString conquestPath, QObject* parent)
    : QObject(parent)
    , sets_(sets)
    , path_(std::move(conquestPath))
    , connector_(sets, path_)
{
}

QString NewExamMonitor::SetName()
{
    return vexa::SetName(sets_, path_);
}

void NewExamMonitor::RestoreRow(RecordSet& list, const QVariant& compteur)
{
    if (compteur.isValid() && !compteur.isNull())
        list.findFirst(QStringLiteral("Compteur = ") + compteur.toString());
}

void NewExamMonitor::FollowDateList(const QVariant& remembered)
{
    RecordSet& dates = sets_.seriesByDate;
    dates.moveLast();
    const int count = dates.count();
    if (seriesListCount_ >= count) {
        RestoreRow(dates, remembered);
        return;
    }
    // The date list grew: its newest series becomes current, unless the user
    // picked a row within the last minute; that row stays current (opening
    // it must open what the user chose) and the newest one is highlighted.
    const QVariant newest = dates.field(QStringLiteral("Compteur"));
    if (dates.userChoseWithin(remembered, now(), KeepChoiceSeconds)
        && dates.findFirst(QStringLiteral("Compteur = ") + remembered.toString()))
        dates.setHighlight(newest);
    else
        dates.setHighlight({});
    seriesCountText_ = QString::number(count) + QStringLiteral(" dossiers.");
    seriesListCount_ = count;
}

void NewExamMonitor::tick()
{
    if (surveyInterval_ == 0)
        return;
    const QString compteur = QStringLiteral("Compteur");
    const QVariant notBurnedRow = sets_.notBurnedSeries.field(compteur);
    const QVariant patientRow = sets_.seriesByPatient.field(compteur);
    const QVariant dateRow = sets_.seriesByDate.field(compteur);

    const int twoTicksBefore = notBurnedCount_;
    const bool pending = connector_.RefreshNotBurnedList(notBurnedCount_);
    if (pending)
        SetName();
    imagesToPrintPicture_ = pending ? 0 : 1;

    for (RecordSet* list : {&sets_.notBurnedSeries, &sets_.seriesByPatient, &sets_.seriesByDate}) {
        list->setDatabasePath(path_);
        list->requery();
    }
    RestoreRow(sets_.notBurnedSeries, notBurnedRow);
    RestoreRow(sets_.seriesByPatient, patientRow);
    FollowDateList(dateRow);
    viewButtonVisible_[0] = sets_.seriesByDate.count() > 0;
    viewButtonVisible_[1] = sets_.seriesByPatient.count() > 0;
    UpdateNotice(sets_.notBurnedSeries.count(), notBurnedCount_, twoTicksBefore);
    emit changed();
}

void NewExamMonitor::UpdateNotice(int now, int before, int twoTicksBefore)
{
    if (now == 0 || before == 0) {
        setNotice(before < now ? NoticeState::Receiving : NoticeState::NothingNew, false);
        return;
    }
    if (now > before)
        setNotice(NoticeState::Receiving);
    else
        setNotice(twoTicksBefore < before ? NoticeState::NewJustArrived : NoticeState::NewSettled);
}

void NewExamMonitor::setNotice(NoticeState state, bool showNotBurnedButton)
{
    notice_ = state;
    viewButtonVisible_[2] = state != NoticeState::NothingNew && showNotBurnedButton;
    receivingPictureVisible_ = state != NoticeState::NothingNew;
    switch (state) {
    case NoticeState::NothingNew:
    case NoticeState::NewSettled:
        messageInterval_ = 0;
        break;
    case NoticeState::Receiving:
        messageInterval_ = 100;
        break;
    case NoticeState::NewJustArrived:
        messageInterval_ = 500;
        break;
    }
    emit changed();
}

void NewExamMonitor::blink()
{
    if (messageInterval_ == 0)
        return;
    receivingPictureVisible_ = !receivingPictureVisible_;
    emit changed();
}

} // namespace vexa
