#include "cpindexdetailqueryview.h"

#include "ui_cpindexdetailqueryview.h"
#include "ui_cpindexdetailseasonqueryview.h"

#include "hxdataapi/hxvariantutil.h"

#include <QSignalBlocker>

namespace HXCPControls {

CPIndexDetailQueryView::CPIndexDetailQueryView(QWidget *parent, const QDate &today)
    : QWidget(parent)
    , ui(new Ui::CPIndexDetailQueryView)
    , m_today(today)
{
    ui->setupUi(this);
    setRange(today.addYears(-1), today);
    connect(ui->d_month_btn, &QPushButton::clicked, this, [this] { applyQuickRange(m_today.addMonths(-1)); });
    connect(ui->d_quarter_btn, &QPushButton::clicked, this, [this] { applyQuickRange(m_today.addMonths(-3)); });
    connect(ui->d_half_year_btn, &QPushButton::clicked, this, [this] { applyQuickRange(m_today.addMonths(-6)); });
    connect(ui->d_ytd_btn, &QPushButton::clicked, this, [this] { applyQuickRange(QDate(m_today.year(), 1, 1)); });
    connect(ui->d_year_btn, &QPushButton::clicked, this, [this] { applyQuickRange(m_today.addYears(-1)); });
    // A date chosen by hand queries as well; the edits keep start <= end.
    for (QDateEdit *edit : {ui->start_date_edit, ui->end_date_edit}) {
        connect(edit, &QDateEdit::dateChanged, this, [this] {
            limitEdits();
            emit query();
        });
    }
}

CPIndexDetailQueryView::~CPIndexDetailQueryView() = default;

QDate CPIndexDetailQueryView::startDate() const
{
    return ui->start_date_edit->date();
}

QDate CPIndexDetailQueryView::endDate() const
{
    return ui->end_date_edit->date();
}

void CPIndexDetailQueryView::setRange(const QDate &start, const QDate &end)
{
    const QSignalBlocker blockStart(ui->start_date_edit);
    const QSignalBlocker blockEnd(ui->end_date_edit);
    ui->start_date_edit->setMaximumDate(QDate(9999, 12, 31));
    ui->end_date_edit->setMinimumDate(QDate(1752, 9, 14));
    ui->start_date_edit->setDate(start);
    ui->end_date_edit->setDate(end);
    limitEdits();
}

void CPIndexDetailQueryView::applyQuickRange(const QDate &start)
{
    setRange(start, m_today);
    emit query();
}

void CPIndexDetailQueryView::limitEdits()
{
    const QSignalBlocker blockStart(ui->start_date_edit);
    const QSignalBlocker blockEnd(ui->end_date_edit);
    ui->start_date_edit->setMaximumDate(ui->end_date_edit->date());
    ui->end_date_edit->setMinimumDate(ui->start_date_edit->date());
}

CPIndexDetailSeasonQueryView::CPIndexDetailSeasonQueryView(QWidget *parent, const QDate &today)
    : QWidget(parent)
    , ui(new Ui::CPIndexDetailSeasonQueryView)
{
    ui->setupUi(this);
    for (int year = 1940; year <= today.year(); ++year) {
        ui->startComboBox->addItem(QString::number(year), year);
        ui->endComboBox->addItem(QString::number(year), year);
    }
    setYears(today.year() - 1, today.year());
    for (QComboBox *box : {ui->startComboBox, ui->endComboBox})
        connect(box, QOverload<int>::of(&QComboBox::activated), this, &CPIndexDetailSeasonQueryView::query);
}

CPIndexDetailSeasonQueryView::~CPIndexDetailSeasonQueryView() = default;

int CPIndexDetailSeasonQueryView::startYear() const
{
    return ui->startComboBox->currentData().toInt();
}

int CPIndexDetailSeasonQueryView::endYear() const
{
    return ui->endComboBox->currentData().toInt();
}

void CPIndexDetailSeasonQueryView::setYears(int startYear, int endYear)
{
    const int first = ui->startComboBox->findData(startYear);
    const int last = ui->endComboBox->findData(endYear);
    if (first >= 0)
        ui->startComboBox->setCurrentIndex(first);
    if (last >= 0)
        ui->endComboBox->setCurrentIndex(last);
}

QDate CPIndexDetailSeasonQueryView::startDate() const
{
    return HXUtils::HXVariantUtil::toDate(QStringLiteral("%1-01-01").arg(startYear()), QDate());
}

QDate CPIndexDetailSeasonQueryView::endDate() const
{
    return HXUtils::HXVariantUtil::toDate(QStringLiteral("%1-12-31").arg(endYear()), QDate());
}

} // namespace HXCPControls
