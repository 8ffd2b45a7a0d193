// The project's spending over time. A task's cost falls on its working days,
// each costing its resources x its daily cost as the cost report counts them;
// a period's cost is what the tasks' working days in it cost. The periods'
// amounts add up to the report's total to the cent.
//
// Worked out by arithmetic on the calendar, never day by day: a span of
// centuries costs what a week costs.
#pragma once

#include <vector>

#include "model/Date.h"
#include "model/Money.h"
#include "model/Project.h"

namespace MyApp {

enum class CostPeriod {
    Week,     // Monday to Sunday
    Month,
    Quarter,  // January to March, April to June, ...
};

struct PeriodCost {
    Date first;       // the period's first day, at midnight
    Date last;        // its last day, at midnight
    int workingDays;  // the period's working days in the project's calendar
    Money amount;     // what the tasks' working days in the period cost
};

// One entry per period, in order and without gaps, from the period holding
// the first day of the project to the one holding its last. A task that
// reaches outside the project's dates widens the span to its own days, so
// that every cost the report counts falls in a period. Nothing when neither
// the project nor any task has a usable span.
//
// A task's cost is spread over its periods as the days accumulate: the
// amount up to the end of a period is the cost of the task's working days
// until then, rounded to the cent. A daily cost of whole cents therefore
// gives each period exactly its days' cost, and the task's periods always add
// up to the task's cost in the report.
std::vector<PeriodCost> PeriodCosts(const Project& project, CostPeriod period);

// The months of PeriodCosts, as other programs read them: the amount is the
// double nearest to the month's exact amount in the currency.
struct MonthCost {
    int year;
    int month;  // 1 = January
    int workingDays;
    double amount;
};
std::vector<MonthCost> MonthlyCosts(const Project& project);

}  // namespace MyApp
