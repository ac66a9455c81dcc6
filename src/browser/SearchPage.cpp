#include "browser/SearchPage.h"

#include "base/core/WorkPool.h"
#include "base/ui/DesignButtons.h"
#include "browser/ExamLists.h"
#include "pacsdb/ConquestColumns.h"
#include "pacsdb/SearchWords.h"

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

// The lists' object names, in the order of ExamList.
const QString ListNames[]
    = {QStringLiteral("dateList"), QStringLiteral("patientList"), QStringLiteral("notBurnedList")};

// Typing waits this long for the next key before the list is searched.
constexpr int kTypingPauseMs = 250;

// "Nom", "Date" and "Gravé" first, then what tells one patient's exams of
// a day apart, read from Conquest's own series, study and patient columns.
QList<GridColumn> listColumns()
{
    using Kind = GridColumn::Kind;
    return {{col::PatientName, QStringLiteral("Nom")},
        {col::ScanDate, QStringLiteral("Date"), false, Kind::Text, {}, col::SeriesTime},
        {col::Burned, QStringLiteral("Gravé"), true},
        {col::SeriesTime, QStringLiteral("Heure"), false, Kind::Time, col::StudyTime},
        {col::Modality, QStringLiteral("Modalité")},
        {col::SeriesDesc, QStringLiteral("Description"), false, Kind::Text, col::StudyDescr},
        {col::SeriesPat, QStringLiteral("ID patient")},
        {col::PatientBir, QStringLiteral("Né(e) le"), false, Kind::DicomDate}};
}

// Short columns as wide as their longest value, the name and description
// wider; one line per exam. What does not fit scrolls sideways.
void fitListColumns(BoundGrid& grid)
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

QLabel* heading(const QString& text, QWidget* parent)
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

QDateEdit* datePicker(const QString& name, QWidget* parent)
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
    addList(ExamList::ByDate, sets.seriesByDate, design);
    addList(ExamList::ByPatient, sets.seriesByPatient, design);
    addList(ExamList::NotBurned, sets.notBurnedSeries, design);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(dateColumn());
    layout->addWidget(patientColumn());
    layout->addWidget(notBurnedColumn());
}

void SearchPage::addList(ExamList list, RecordSet& source, const brixel::DesignFile& design)
{
    const int index = static_cast<int>(list);
    auto* grid = new BoundGrid(source, listColumns(), this);
    listGrids_[index] = grid;
    grid->setObjectName(ListNames[index]);
    fitListColumns(*grid);
    // The date list shows the newest exam first (the last received, which a
    // new exam makes current); the others keep their query's order until a
    // header is clicked.
    const bool byDate = list == ExamList::ByDate;
    grid->enableSorting(
        byDate ? BoundGrid::ArrivalOrder : -1, byDate ? Qt::DescendingOrder : Qt::AscendingOrder);
    // The view buttons keep the design's section names, which their pictures
    // are read from.
    auto* button = makeDesignButton(design, QStringLiteral("Button8(%1)").arg(index), this);
    viewButtons_[index] = button;
    button->hide();
    connect(button, &brixel::Button::Click, this, [this, list] { emit openRequested(list); });
    connect(grid, &BoundGrid::rowActivated, this, [this, list] { emit openRequested(list); });
}

QWidget* SearchPage::dateColumn()
{
    auto* column = new QWidget(this);
    auto* layout = new QVBoxLayout(column);
    layout->addWidget(heading(QStringLiteral("Recherche par date..."), column));
    auto* pickers = new QHBoxLayout;
    for (int i = 0; i < 2; ++i) {
        pickers->addWidget(new QLabel(i == 0 ? QStringLiteral("Du") : QStringLiteral("Au"), column));
        datePickers_[i]
            = datePicker(i == 0 ? QStringLiteral("fromDayPicker") : QStringLiteral("toDayPicker"), column);
        pickers->addWidget(datePickers_[i]);
        connect(datePickers_[i], &QDateEdit::dateChanged, this, &SearchPage::datesChanged);
    }
    layout->addLayout(pickers);
    seriesCountLabel_ = new QLabel(column);
    seriesCountLabel_->setObjectName(QStringLiteral("seriesCountLabel"));
    layout->addWidget(seriesCountLabel_);
    layout->addWidget(grid(ExamList::ByDate));
    layout->addWidget(viewButton(ExamList::ByDate), 0, Qt::AlignRight);
    return column;
}

QWidget* SearchPage::patientColumn()
{
    auto* column = new QWidget(this);
    auto* layout = new QVBoxLayout(column);
    layout->addWidget(heading(QStringLiteral("Recherche par patient..."), column));
    layout->addWidget(new QLabel(QStringLiteral("Nom du Patient :"), column));
    patientNameEdit_ = new QLineEdit(column);
    patientNameEdit_->setObjectName(QStringLiteral("patientNameEdit"));
    // A person name is at most 64 characters: longer text finds nobody and
    // only costs the server.
    patientNameEdit_->setMaxLength(kSearchTextMax);
    patientSearchPause_ = new QTimer(this);
    patientSearchPause_->setSingleShot(true);
    patientSearchPause_->setInterval(kTypingPauseMs);
    connect(patientSearchPause_, &QTimer::timeout, this, &SearchPage::startTypedSearch);
    connect(&typedSearch_, &QFutureWatcherBase::finished, this, &SearchPage::typedSearchRead);
    connect(patientNameEdit_, &QLineEdit::textChanged, this, &SearchPage::patientTextChanged);
    layout->addWidget(patientNameEdit_);
    patientSearchStatus_ = new QLabel(column);
    patientSearchStatus_->setObjectName(QStringLiteral("patientSearchStatus_"));
    patientSearchStatus_->setWordWrap(true);
    patientSearchStatus_->hide();
    layout->addWidget(patientSearchStatus_);
    layout->addWidget(grid(ExamList::ByPatient));
    layout->addWidget(viewButton(ExamList::ByPatient), 0, Qt::AlignRight);
    return column;
}

QWidget* SearchPage::notBurnedColumn()
{
    auto* column = new QWidget(this);
    auto* layout = new QVBoxLayout(column);
    layout->addWidget(heading(QStringLiteral("Dossiers récents non gravés"), column));
    layout->addWidget(grid(ExamList::NotBurned));
    layout->addWidget(viewButton(ExamList::NotBurned), 0, Qt::AlignRight);
    return column;
}

int SearchPage::searchByDate()
{
    const DateSearchResult result = runDateSearch(
        listRecordSet(ExamList::ByDate), conquestPath_, datePickers_[0]->date(), datePickers_[1]->date());
    setListAvailable(ExamList::ByDate, result.viewButtonVisible);
    seriesCountLabel_->setText(result.seriesCountText);
    return result.count;
}

void SearchPage::patientTextChanged(const QString& text)
{
    // Text set by the program, or emptied, is searched at once; typed text
    // once the typing pauses, so a search never runs on every key.
    if (!patientNameEdit_->isModified() || text.isEmpty()) {
        patientSearchPause_->stop();
        searchByPatient(text);
        return;
    }
    patientSearchPause_->start();
}

void SearchPage::settlePatientSearch()
{
    if (!patientSearchPause_->isActive() && !typedSearch_.isRunning())
        return;
    patientSearchPause_->stop();
    searchByPatient(patientNameEdit_->text());
}

void SearchPage::searchByPatient(const QString& text)
{
    ++searchGeneration_;
    showPatientResult(runPatientSearch(listRecordSet(ExamList::ByPatient), conquestPath_, text));
}

// Typing has paused: the rows are read on the work pool (on a large archive a
// search takes tens of milliseconds) and shown when they arrive.
void SearchPage::startTypedSearch()
{
    typedGeneration_ = ++searchGeneration_;
    typedText_ = patientNameEdit_->text();
    typedSearch_.setFuture(QtConcurrent::run(
        &workPool(), [path = conquestPath_, text = typedText_] { return readPatientSearch(path, text); }));
}

void SearchPage::typedSearchRead()
{
    if (typedGeneration_ != searchGeneration_)
        return; // a newer search has been shown or started
    showPatientResult(showPatientSearch(
        listRecordSet(ExamList::ByPatient), conquestPath_, typedText_, typedSearch_.result()));
}

void SearchPage::showPatientResult(const PatientSearchResult& result)
{
    setListAvailable(ExamList::ByPatient, result.viewButtonVisible);
    patientSearchStatus_->setText(result.statusText);
    patientSearchStatus_->setVisible(!result.statusText.isEmpty());
}

void SearchPage::setListAvailable(ExamList list, bool available)
{
    viewButton(list)->setVisible(available);
}

bool SearchPage::isListAvailable(ExamList list) const
{
    return !viewButton(list)->isHidden();
}

ExamList SearchPage::listWithFocus(const QWidget* focus) const
{
    const auto within = [focus](const QWidget* widget) {
        return focus && (focus == widget || widget->isAncestorOf(focus));
    };
    if (focus && (focus == patientNameEdit_ || focus == grid(ExamList::ByPatient)))
        return ExamList::ByPatient;
    if (within(datePickers_[0]) || within(datePickers_[1]) || (focus && focus == grid(ExamList::ByDate)))
        return ExamList::ByDate;
    return ExamList::NotBurned;
}

void SearchPage::setDays(const QDate& from, const QDate& to)
{
    datePickers_[0]->setDate(from);
    datePickers_[1]->setDate(to);
}

QDate SearchPage::fromDay() const
{
    return datePickers_[0]->date();
}

QDate SearchPage::toDay() const
{
    return datePickers_[1]->date();
}

void SearchPage::setSeriesCountText(const QString& text)
{
    seriesCountLabel_->setText(text);
}

QString SearchPage::seriesCountText() const
{
    return seriesCountLabel_->text();
}

QString SearchPage::patientText() const
{
    return patientNameEdit_->text();
}

void SearchPage::setPatientText(const QString& text)
{
    patientNameEdit_->setText(text);
}

void SearchPage::focusPatientName()
{
    patientNameEdit_->setFocus();
}

QString SearchPage::patientSearchStatus() const
{
    return patientSearchStatus_->isHidden() ? QString() : patientSearchStatus_->text();
}

void SearchPage::setViewButtonColour(const QColor& colour)
{
    for (brixel::Button* button : viewButtons_) {
        button->setBackColor(colour);
        button->setBackColorOver(colour);
        button->setBackColorDown(colour);
    }
}

} // namespace vexa
