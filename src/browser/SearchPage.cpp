#include "SearchPage.h"

#include "DesignButtons.h"

#include <QDateEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace vexa {
namespace {

QList<GridColumn> ListColumns()
{
    return {{QStringLiteral("PatientName"), QStringLiteral("Nom")},
        {QStringLiteral("ScanDate"), QStringLiteral("Date")},
        {QStringLiteral("Burned"), QStringLiteral("Gravé"), true}};
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

QDateEdit* DatePicker(const QString& name, QWidget* parent)
{
    auto* picker = new QDateEdit(QDate::currentDate(), parent);
    picker->setObjectName(name);
    picker->setCalendarPopup(true);
    picker->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    return picker;
}

} // namespace

SearchPage::SearchPage(MainRecordSets& sets, const brixel::DesignFile& design, QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("Fond(1)"));
    AddList(0, sets.ConnSeriesData, design);
    AddList(1, sets.ConnPatientSeries, design);
    AddList(2, sets.ConnPatientNotBurned, design);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(DateColumn());
    layout->addWidget(PatientColumn());
    layout->addWidget(NotBurnedColumn());
}

void SearchPage::AddList(int list, RecordSet& source, const brixel::DesignFile& design)
{
    TDBGrid1[list] = new BoundGrid(source, ListColumns(), this);
    TDBGrid1[list]->setObjectName(QStringLiteral("TDBGrid1(%1)").arg(list));
    Button8[list] = MakeDesignButton(design, QStringLiteral("Button8(%1)").arg(list), this);
    Button8[list]->hide();
    connect(Button8[list], &brixel::Button::Click, this, [this, list] { emit openRequested(list); });
    connect(TDBGrid1[list], &BoundGrid::rowActivated, this, [this, list] { emit openRequested(list); });
}

QWidget* SearchPage::DateColumn()
{
    auto* column = new QWidget(this);
    auto* layout = new QVBoxLayout(column);
    layout->addWidget(Heading(QStringLiteral("Recherche par date..."), column));
    auto* pickers = new QHBoxLayout;
    for (int i = 0; i < 2; ++i) {
        pickers->addWidget(new QLabel(i == 0 ? QStringLiteral("Du") : QStringLiteral("Au"), column));
        CalendarVB1[i] = DatePicker(QStringLiteral("CalendarVB1(%1)").arg(i), column);
        pickers->addWidget(CalendarVB1[i]);
        connect(CalendarVB1[i], &QDateEdit::dateChanged, this, &SearchPage::datesChanged);
    }
    layout->addLayout(pickers);
    Label7 = new QLabel(column);
    Label7->setObjectName(QStringLiteral("Label7"));
    layout->addWidget(Label7);
    layout->addWidget(TDBGrid1[0]);
    layout->addWidget(Button8[0], 0, Qt::AlignRight);
    return column;
}

QWidget* SearchPage::PatientColumn()
{
    auto* column = new QWidget(this);
    auto* layout = new QVBoxLayout(column);
    layout->addWidget(Heading(QStringLiteral("Recherche par patient..."), column));
    layout->addWidget(new QLabel(QStringLiteral("Nom du Patient :"), column));
    Text1 = new QLineEdit(column);
    Text1->setObjectName(QStringLiteral("Text1"));
    connect(Text1, &QLineEdit::textChanged, this, &SearchPage::patientTextChanged);
    layout->addWidget(Text1);
    layout->addWidget(TDBGrid1[1]);
    layout->addWidget(Button8[1], 0, Qt::AlignRight);
    return column;
}

QWidget* SearchPage::NotBurnedColumn()
{
    auto* column = new QWidget(this);
    auto* layout = new QVBoxLayout(column);
    layout->addWidget(Heading(QStringLiteral("Dossiers récents non gravés"), column));
    layout->addWidget(TDBGrid1[2]);
    layout->addWidget(Button8[2], 0, Qt::AlignRight);
    return column;
}

} // namespace vexa
