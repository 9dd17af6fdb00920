#pragma once

#include "common/hxcpcontrols_global.h"

#include <QDate>
#include <QWidget>

#include <memory>

namespace Ui {
class CPIndexDetailQueryView;
class CPIndexDetailSeasonQueryView;
}

namespace HXCPControls {

// The date range of the detail chart: quick ranges (a month, a quarter, half
// a year, the year to date, a year back) and two dates with calendars.
class HXCPCONTROLS_EXPORT CPIndexDetailQueryView : public QWidget
{
    Q_OBJECT
public:
    explicit CPIndexDetailQueryView(QWidget *parent = nullptr, const QDate &today = QDate::currentDate());
    ~CPIndexDetailQueryView() override;

    QDate startDate() const;
    QDate endDate() const;
    void setRange(const QDate &start, const QDate &end);

signals:
    void query();

private:
    void applyQuickRange(const QDate &start);
    void limitEdits();

    std::unique_ptr<Ui::CPIndexDetailQueryView> ui;
    QDate m_today;
};

// The year range of the season form: from 1940 to this year.
class HXCPCONTROLS_EXPORT CPIndexDetailSeasonQueryView : public QWidget
{
    Q_OBJECT
public:
    explicit CPIndexDetailSeasonQueryView(QWidget *parent = nullptr, const QDate &today = QDate::currentDate());
    ~CPIndexDetailSeasonQueryView() override;

    int startYear() const;
    int endYear() const;
    void setYears(int startYear, int endYear);
    // The start year's first of January to the end year's last of December.
    QDate startDate() const;
    QDate endDate() const;

signals:
    void query();

private:
    std::unique_ptr<Ui::CPIndexDetailSeasonQueryView> ui;
};

} // namespace HXCPControls
