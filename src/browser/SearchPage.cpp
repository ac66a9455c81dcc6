#include "SearchPage.h"

#include "ConquestColumns.h"
#include "DesignButtons.h"
#include "ExamLists.h"
#include "SearchWords.h"
#include "WorkPool.h"

#include <QDateEdit>
#include <QEvent>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

namespace vexa {
namespace {

// Typing waits this long for the next key before the list is searched.
constexpr int kTypingPauseMs = 250;

// "Nom", "Date" and "Gravé" first, then what tells one patient's exams of
// a day apart, read from Conquest's own series, study and patient columns.
QList<GridColumn> ListColumns()
{
    using Kind = GridColumn::Kind;
    return {{Col::PatientName, QStringLiteral("Nom")},
        {Col::ScanDate, QStringLiteral("Date"), false, Kind::Text, {}, Col::SeriesTime},
        {Col::Burned, QStringLiteral("Gravé"), true},
        {Col::SeriesTime, QStringLiteral("Heure"), false, Kind::Time, Col::StudyTime},
        {Col::Modality, QStringLiteral("Modalité")},
        {Col::SeriesDesc, QStringLiteral("Description"), false, Kind::Text, Col::StudyDescr},
        {Col::SeriesPat, QStringLiteral("ID patient")},
        {Col::PatientBir, QStringLiteral("Né(e) le"), false, Kind::DicomDate}};
}

// Short columns as wide as their longest value, the name and description
// wider; one line per exam. What does not fit scrolls sideways.
void FitListColumns(BoundGrid& grid)
{
    const QFontMetrics metrics(grid.font());
    const int padding = metrics.horizontalAdvance(u'0') * 2;
    const auto width = [&](const QString& sample) { return metrics.horizontalAdvance(sample) + padding; };
    QHeaderView* header = grid.horizontalHeader();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(QHeaderView::Interactive);
    const int widths[] = {width(QStringLiteral("DUPONTEL FRANÇOISE")), width(QStringLiteral("00/00/0000")),
        width(QStringLiteral("Gravé")), width(QStringLiteral("00:00")), width(QStringLiteral("Modalité")),
        width(QStringLiteral("MMMMMMMMMMMM")), width(QStringLiteral("000000000")),
        width(QStringLiteral("00/00/0000"))};
    for (int column = 0; column < int(std::size(widths)); ++column)
        header->resizeSection(column, widths[column]);
    grid.setWordWrap(false);
    grid.setTextElideMode(Qt::ElideRight);
    grid.verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid.verticalHeader()->setDefaultSectionSize(metrics.height() + metrics.height() / 2);
}

QLabel* Heading(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setBold(true);
    font.setPointSize(font.pointSize() + 2);
    label->setFont(font);
    return label;
}

// A click in a date box puts the text cursor inside a full section, where a
// typed digit makes no valid date and is dropped. The clicked section is
// selected instead, so typing replaces it and goes on to the next ones.
class SelectSectionOnClick : public QObject {
public:
    explicit SelectSectionOnClick(QDateEdit* picker)
        : QObject(picker)
        , picker_(picker)
    {
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::MouseButtonRelease) {
            QLineEdit* text = picker_->findChild<QLineEdit*>();
            if (text && !text->hasSelectedText())
                picker_->setSelectedSection(picker_->currentSection());
        }
        return false;
    }

private:
    QDateEdit* picker_;
};

QDateEdit* DatePicker(const QString& name, QWidget* parent)
{
    auto* picker = new QDateEdit(QDate::currentDate(), parent);
    picker->setObjectName(name);
    picker->setCalendarPopup(true);
    picker->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    if (QLineEdit* text = picker->findChild<QLineEdit*>())
        text->installEventFilter(new SelectSectionOnClick(picker));
    return picker;
}

} // namespace

SearchPage::SearchPage(MainRecordSets& sets, const brixel::DesignFile& design, QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("Fond(1)"));
    AddList(0, sets.seriesByDate, design);
    AddList(1, sets.seriesByPatient, design);
    AddList(2, sets.notBurnedSeries, design);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(DateColumn());
    layout->addWidget(PatientColumn());
    layout->addWidget(NotBurnedColumn());
}

void SearchPage::AddList(int list, RecordSet& source, const brixel::DesignFile& design)
{
    listGrids[list] = new BoundGrid(source, ListColumns(), this);
    listGrids[list]->setObjectName(QStringLiteral("TDBGrid1(%1)").arg(list));
    FitListColumns(*listGrids[list]);
    // The date list shows the newest exam first (the last received, which a
    // new exam makes current); the others keep their query's order until a
    // header is clicked.
    listGrids[list]->enableSorting(
        list == 0 ? BoundGrid::ArrivalOrder : -1, list == 0 ? Qt::DescendingOrder : Qt::AscendingOrder);
    viewButtons[list] = MakeDesignButton(design, QStringLiteral("Button8(%1)").arg(list), this);
    viewButtons[list]->hide();
    connect(viewButtons[list], &brixel::Button::Click, this, [this, list] { emit openRequested(list); });
    connect(listGrids[list], &BoundGrid::rowActivated, this, [this, list] { emit openRequested(list); });
}

QWidget* SearchPage::DateColumn()
{
    auto* column = new QWidget(this);
    auto* layout = new QVBoxLayout(column);
    layout->addWidget(Heading(QStringLiteral("Recherche par date..."), column));
    auto* pickers = new QHBoxLayout;
    for (int i = 0; i < 2; ++i) {
        pickers->addWidget(new QLabel(i == 0 ? QStringLiteral("Du") : QStringLiteral("Au"), column));
        datePickers[i] = DatePicker(QStringLiteral("CalendarVB1(%1)").arg(i), column);
        pickers->addWidget(datePickers[i]);
        connect(datePickers[i], &QDateEdit::dateChanged, this, &SearchPage::datesChanged);
    }
    layout->addLayout(pickers);
    seriesCountLabel = new QLabel(column);
    seriesCountLabel->setObjectName(QStringLiteral("Label7"));
    layout->addWidget(seriesCountLabel);
    layout->addWidget(listGrids[0]);
    layout->addWidget(viewButtons[0], 0, Qt::AlignRight);
    return column;
}

QWidget* SearchPage::PatientColumn()
{
    auto* column = new QWidget(this);
    auto* layout = new QVBoxLayout(column);
    layout->addWidget(Heading(QStringLiteral("Recherche par patient..."), column));
    layout->addWidget(new QLabel(QStringLiteral("Nom du Patient :"), column));
    patientNameEdit = new QLineEdit(column);
    patientNameEdit->setObjectName(QStringLiteral("Text1"));
    // A person name is at most 64 characters: longer text finds nobody and
    // only costs the server.
    patientNameEdit->setMaxLength(kSearchTextMax);
    patientSearchPause_ = new QTimer(this);
    patientSearchPause_->setSingleShot(true);
    patientSearchPause_->setInterval(kTypingPauseMs);
    connect(patientSearchPause_, &QTimer::timeout, this, &SearchPage::StartTypedSearch);
    connect(&typedSearch_, &QFutureWatcherBase::finished, this, &SearchPage::TypedSearchRead);
    connect(patientNameEdit, &QLineEdit::textChanged, this, &SearchPage::PatientTextChanged);
    layout->addWidget(patientNameEdit);
    patientSearchStatus = new QLabel(column);
    patientSearchStatus->setObjectName(QStringLiteral("patientSearchStatus"));
    patientSearchStatus->setWordWrap(true);
    patientSearchStatus->hide();
    layout->addWidget(patientSearchStatus);
    layout->addWidget(listGrids[1]);
    layout->addWidget(viewButtons[1], 0, Qt::AlignRight);
    return column;
}

QWidget* SearchPage::NotBurnedColumn()
{
    auto* column = new QWidget(this);
    auto* layout = new QVBoxLayout(column);
    layout->addWidget(Heading(QStringLiteral("Dossiers récents non gravés"), column));
    layout->addWidget(listGrids[2]);
    layout->addWidget(viewButtons[2], 0, Qt::AlignRight);
    return column;
}

int SearchPage::SearchByDate()
{
    const DateSearchResult result
        = RunDateSearch(listRecordSet(0), conquestPath_, datePickers[0]->date(), datePickers[1]->date());
    viewButtons[0]->setVisible(result.viewButtonVisible);
    seriesCountLabel->setText(result.seriesCountText);
    return result.count;
}

void SearchPage::PatientTextChanged(const QString& text)
{
    // Text set by the program, or emptied, is searched at once; typed text
    // once the typing pauses, so a search never runs on every key.
    if (!patientNameEdit->isModified() || text.isEmpty()) {
        patientSearchPause_->stop();
        SearchByPatient(text);
        return;
    }
    patientSearchPause_->start();
}

void SearchPage::settlePatientSearch()
{
    if (!patientSearchPause_->isActive() && !typedSearch_.isRunning())
        return;
    patientSearchPause_->stop();
    SearchByPatient(patientNameEdit->text());
}

void SearchPage::SearchByPatient(const QString& text)
{
    ++searchGeneration_;
    ShowPatientResult(RunPatientSearch(listRecordSet(1), conquestPath_, text));
}

// Typing has paused: the rows are read on the work pool (on a large archive a
// search takes tens of milliseconds) and shown when they arrive.
void SearchPage::StartTypedSearch()
{
    typedGeneration_ = ++searchGeneration_;
    typedText_ = patientNameEdit->text();
    typedSearch_.setFuture(QtConcurrent::run(
        &WorkPool(), [path = conquestPath_, text = typedText_] { return ReadPatientSearch(path, text); }));
}

void SearchPage::TypedSearchRead()
{
    if (typedGeneration_ != searchGeneration_)
        return; // a newer search has been shown or started
    ShowPatientResult(ShowPatientSearch(listRecordSet(1), conquestPath_, typedText_, typedSearch_.result()));
}

void SearchPage::ShowPatientResult(const PatientSearchResult& result)
{
    viewButtons[1]->setVisible(result.viewButtonVisible);
    patientSearchStatus->setText(result.statusText);
    patientSearchStatus->setVisible(!result.statusText.isEmpty());
}

} // namespace vexa
