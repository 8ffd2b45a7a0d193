// The cost report: per task its span, working days, resources and cost, and
// the project total.
#pragma once

#include <string>

#include "model/FormatAmount.h"
#include "model/Project.h"

namespace MyApp {

class WorkingDayCalendar;

// What a task costs: its working days and their cost (days x resources x
// daily cost, rounded to the cent), as the report counts them.
struct TaskCost {
    long long workingDays = 0;
    Money cost;
};
TaskCost CostOf(const WorkingDayCalendar& calendar, const Task& task);

// A task's days and how many of them are working days, in the program's
// words: "dal 08/03/2027 al 19/03/2027, 10 giorni lavorativi".
std::string TaskSpanText(const Task& task, long long workingDays);
// One line about a task in the program's words: "dal 04/01/2027 al
// 08/01/2027, 5 giorni lavorativi, 2 risorse, costo 1.505", the amount in
// `format`.
std::string TaskSummary(const Task& task, const TaskCost& figures, const AmountFormat& format);

// Text with CR LF line ends and the total (the exact sum of the task costs),
// amounts in the user's regional format.
void BuildCostReport(const Project& project, std::string& text, Money& total);
// The same with the given amount format.
void BuildCostReport(const Project& project, const AmountFormat& format, std::string& text, Money& total);

}  // namespace MyApp
