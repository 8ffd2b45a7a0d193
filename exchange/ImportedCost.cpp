// A task's resources and daily cost from a Microsoft Project XML file (see
// ImportedCost.h).
#include "exchange/ImportedCost.h"

#include <algorithm>
#include <cmath>

#include "model/Task.h"

namespace MyApp {

namespace {

// Two amounts equal but for the last digits that a double holds (those that
// writing an amount in hundredths and reading it back may change).
bool SameAmount(double a, double b) {
    return std::isfinite(a - b) && std::fabs(a - b) <= 1e-12 * std::max(std::fabs(a), std::fabs(b));
}

// What an assignment costs at the resource's rate: its hours of work (given,
// or its units over the task's duration, or else over its working days), or
// its units of material. A cost resource has no rate.
std::optional<double> RatedCost(const AssignedResource& a, const TaskInFile& task, long long workingDays,
                                double hoursPerDay) {
    if (!a.rate || a.kind == ResourceKind::Cost) return std::nullopt;
    if (a.kind == ResourceKind::Material) return *a.rate * a.units;
    const double taskHours = task.durationHours ? *task.durationHours : hoursPerDay * static_cast<double>(workingDays);
    return *a.rate * (a.workHours ? *a.workHours : a.units * taskHours);
}

}  // namespace

bool WithinDailyCostLimits(double dailyCost) { return dailyCost >= 0.0 && dailyCost < MaxDailyCost; }

std::optional<ImportedFigures> FiguresFromFile(const TaskInFile& task, long long workingDays, double hoursPerDay) {
    ImportedFigures figures;
    double people = 0.0;
    bool work = false, oneRate = true;
    std::optional<double> assignedCost, workRate;
    for (const AssignedResource& a : task.assigned) {
        if (a.kind == ResourceKind::Work) {
            people += a.units;
            work = work || a.units != 0 || (a.workHours && *a.workHours != 0);
            if (a.rate && workRate && *a.rate != *workRate) oneRate = false;
            if (a.rate) workRate = a.rate;
        }
        const std::optional<double> cost = a.cost ? a.cost : RatedCost(a, task, workingDays, hoursPerDay);
        if (cost) assignedCost = assignedCost.value_or(0.0) + *cost;
    }
    if (!(std::fabs(people) <= 2147483647.0)) return std::nullopt;
    // The task's cost holds its assignments' and its own fixed cost.
    const std::optional<double> cost = task.cost ? task.cost : assignedCost;
    figures.resources = static_cast<int>(std::clamp(std::round(people), 0.0, static_cast<double>(MaxTaskResources)));
    if (figures.resources == 0 && (work || (cost && *cost != 0))) figures.resources = 1;
    if (task.durationHours)
        figures.daysAsInFile = std::fabs(*task.durationHours / hoursPerDay - static_cast<double>(workingDays)) < 1e-6;

    const double shares = static_cast<double>(workingDays) * figures.resources;
    // The work resources' one rate, a day of it, gives the cost with every
    // digit of the rate where it gives the file's cost (as in the files the
    // program writes itself).
    const std::optional<double> rated = workRate && oneRate && WithinDailyCostLimits(*workRate * hoursPerDay)
                                            ? std::optional<double>(*workRate * hoursPerDay)
                                            : std::nullopt;
    // The product in the cost report's order.
    const auto reportCost = [&](double daily) { return daily * figures.resources * static_cast<double>(workingDays); };
    if (rated && SameAmount(reportCost(*rated), cost.value_or(0.0))) {
        figures.dailyCost = *rated;
    } else if (cost && *cost != 0) {
        const double daily = shares > 0 ? *cost / shares : 0.0;
        figures.costKept = shares > 0 && WithinDailyCostLimits(daily);
        figures.dailyCost = figures.costKept ? daily : rated.value_or(0.0);
    }
    return figures;
}

}  // namespace MyApp
