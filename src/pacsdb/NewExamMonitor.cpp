#include "pacsdb/NewExamMonitor.h"

#include "pacsdb/ConquestColumns.h"
#include "pacsdb/ExamNaming.h"
#include "pacsdb/PacsConnection.h"

#include <QDataStream>
#include <QIODevice>
#include <QSqlQuery>

namespace vexa {

QString noticeText(NoticeState state)
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

int noticeBlinkInterval(NoticeState state)
{
    switch (state) {
    case NoticeState::Receiving:
        return 100;
    case NoticeState::NewJustArrived:
        return 500;
    case NoticeState::NothingNew:
    case NoticeState::NewSettled:
        break;
    }
    return 0;
}

NewExamMonitor::NewExamMonitor(MainRecordSets& sets, QString conquestPath, QObject* parent)
    : QObject(parent)
    , sets_(sets)
    , path_(std::move(conquestPath))
    , queries_(sets, path_)
{
}

QString NewExamMonitor::nameNewRows()
{
    return vexa::nameNewRows(sets_, path_);
}

void NewExamMonitor::restoreRow(RecordSet& list, const QVariant& compteur)
{
    if (compteur.isValid() && !compteur.isNull())
        list.findFirst(QStringLiteral("Compteur = ") + compteur.toString());
}

void NewExamMonitor::followDateList(const QVariant& remembered)
{
    RecordSet& dates = sets_.seriesByDate;
    dates.moveLast();
    const int count = dates.count();
    if (seriesListCount_ >= count) {
        restoreRow(dates, remembered);
        return;
    }
    // The date list grew: its newest series becomes current, unless the user
    // picked a row within the last minute; that row stays current (opening
    // it must open what the user chose) and the newest one is highlighted.
    const QVariant newest = dates.field(col::Compteur);
    if (dates.userChoseWithin(remembered, now(), KeepChoiceSeconds)
        && dates.findFirst(QStringLiteral("Compteur = ") + remembered.toString()))
        dates.setHighlight(newest);
    else
        dates.setHighlight({});
    seriesCountText_ = vexa::seriesCountText(count);
    seriesListCount_ = count;
}

QByteArray NewExamMonitor::notBurnedRows() const
{
    QByteArray bytes;
    QDataStream rows(&bytes, QIODevice::WriteOnly);
    const RecordSet& notBurned = sets_.notBurnedSeries;
    const QStringList columns = notBurned.columnNames();
    for (int row = 0; row < notBurned.count(); ++row)
        for (const QString& column : columns)
            rows << notBurned.valueAt(row, column);
    return bytes;
}

NewExamMonitor::ListsStamp NewExamMonitor::readStamp() const
{
    ListsStamp stamp;
    QSqlDatabase db = pacsConnection(path_);
    if (!db.isOpen())
        return stamp;
    QSqlQuery query(db);
    query.setForwardOnly(true);
    stamp.read = query.exec(QStringLiteral("SELECT (SELECT MAX(Compteur) FROM DICOMSeries), "
                                           "(SELECT COUNT(*) FROM DICOMSeries WHERE ScanDate IS NULL), "
                                           "(SELECT COUNT(*) FROM DICOMSeries)"))
        && query.next();
    if (stamp.read) {
        stamp.newestSeries = query.value(0);
        stamp.undatedSeries = query.value(1).toLongLong();
        stamp.seriesCount = query.value(2).toLongLong();
    }
    return stamp;
}

void NewExamMonitor::requeryChangedLists(bool changed)
{
    RecordSet* lists[] = {&sets_.seriesByPatient, &sets_.seriesByDate};
    for (int i = 0; i < 2; ++i) {
        RecordSet& list = *lists[i];
        const QString asked = path_ + QChar(0) + list.recordSource();
        if (!changed && asked == requeried_[i] && list.databasePath() == path_)
            continue;
        list.setDatabasePath(path_);
        list.requery();
        requeried_[i] = asked;
    }
}

void NewExamMonitor::tick()
{
    if (surveyInterval_ == 0)
        return;
    const QString compteur = col::Compteur;
    const QVariant notBurnedRow = sets_.notBurnedSeries.field(compteur);
    const QVariant patientRow = sets_.seriesByPatient.field(compteur);
    const QVariant dateRow = sets_.seriesByDate.field(compteur);

    const int twoTicksBefore = notBurnedCount_;
    const bool pending = queries_.refreshNotBurnedList(notBurnedCount_);
    if (pending && naming)
        nameNewRows();
    notBurnedPending_ = pending;

    // Read before the lists: what arrives meanwhile changes the next stamp.
    ListsStamp stamp = readStamp();
    // The not-burned list is asked every tick: it holds the recent series
    // only, and it is how a series burned or deleted elsewhere is seen.
    sets_.notBurnedSeries.setDatabasePath(path_);
    sets_.notBurnedSeries.requery();
    stamp.notBurnedRows = notBurnedRows();
    // A quiet tick (nothing new, nothing named, nothing burned or deleted)
    // asks the other two lists nothing: a patient search shown in the
    // patient list would otherwise read the whole archive every tick.
    requeryChangedLists(!stamp.read || stamp != stamp_);
    stamp_ = stamp;

    restoreRow(sets_.notBurnedSeries, notBurnedRow);
    restoreRow(sets_.seriesByPatient, patientRow);
    followDateList(dateRow);
    updateNotice(sets_.notBurnedSeries.count(), notBurnedCount_, twoTicksBefore);
}

void NewExamMonitor::updateNotice(int now, int before, int twoTicksBefore)
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
    notBurnedNoticed_ = state != NoticeState::NothingNew && showNotBurnedButton;
}

} // namespace vexa
