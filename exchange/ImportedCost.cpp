// A task's resources and daily cost from a Microsoft Project XML file (see
// ImportedCost.h).
#include "exchange/ImportedCost.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "model/Task.h"

namespace MyApp {

namespace {

// What an assignment costs at the resource's rate: its hours of work (given,
// or its units over the task's duration, or else over its working days), or
// its units of material. A cost resource has no rate.
std::optional<Money> RatedCost(const AssignedResource& a, const TaskInFile& task, long long workingDays,
                               double hoursPerDay) {
    if (!a.rate || a.kind == ResourceKind::Cost) return std::nullopt;
    const double taskHours = task.durationHours ? *task.durationHours : hoursPerDay * static_cast<double>(workingDays);
    const double amount =
        *a.rate * (a.kind == ResourceKind::Material ? a.units : a.workHours ? *a.workHours : a.units * taskHours);
    // Past the largest double, the largest amount.
    return CostOfDays(std::isfinite(amount) ? amount : std::copysign(DBL_MAX, amount), 1, 1);
}

}  // namespace

bool WithinDailyCostLimits(double dailyCost) { return dailyCost >= 0.0 && dailyCost < MaxDailyCost; }

std::optional<ImportedFigures> FiguresFromFile(const TaskInFile& task, long long workingDays, double hoursPerDay) {
    ImportedFigures figures;
    double people = 0.0;
    bool work = false, oneRate = true;
    std::optional<Money> assignedCost;
    std::optional<double> workRate;
    for (const AssignedResource& a : task.assigned) {
        if (a.kind == ResourceKind::Work) {
            people += a.units;
            work = work || a.units != 0 || (a.workHours && *a.workHours != 0);
            if (a.rate && workRate && *a.rate != *workRate) oneRate = false;
            if (a.rate) workRate = a.rate;
        }
        const std::optional<Money> cost = a.cost ? a.cost : RatedCost(a, task, workingDays, hoursPerDay);
        if (cost) assignedCost = assignedCost.value_or(Money()) + *cost;
    }
    if (!(std::fabs(people) <= 2147483647.0)) return std::nullopt;
    // The task's cost holds its assignments' and its own fixed cost.
    const Money cost = task.cost ? *task.cost : assignedCost.value_or(Money());
    figures.resources = static_cast<int>(std::clamp(std::round(people), 0.0, static_cast<double>(MaxTaskResources)));
    if (figures.resources == 0 && (work || cost != Money())) figures.resources = 1;
    if (task.durationHours)
        figures.daysAsInFile = std::fabs(*task.durationHours / hoursPerDay - static_cast<double>(workingDays)) < 1e-6;

    // The cost report's figure for a daily cost.
    const auto reported = [&](double daily) { return CostOfDays(daily, figures.resources, workingDays); };
    // The work resources' one rate, a day of it, where it gives the file's
    // cost: it has every digit of the rate (as in the files the program
    // writes itself).
    const std::optional<double> rated = workRate && oneRate && WithinDailyCostLimits(*workRate * hoursPerDay)
                                            ? std::optional<double>(*workRate * hoursPerDay)
                                            : std::nullopt;
    if (rated && reported(*rated) == cost) {
        figures.dailyCost = *rated;
    } else if (cost != Money()) {
        const double shares = static_cast<double>(workingDays) * figures.resources;
        const double daily = shares > 0 ? cost.ToDouble() / shares : -1.0;
        const bool within = WithinDailyCostLimits(daily);
        figures.costKept = within && reported(daily) == cost;
        figures.dailyCost = within ? daily : rated.value_or(0.0);
    }
    return figures;
}

}  // namespace MyApp
