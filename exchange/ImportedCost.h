// A task's resources and daily cost made from what a Microsoft Project XML
// file says of it. The file's cost of the task is kept: the daily cost per
// resource is that cost over the task's working days times its resources,
// so that the cost report gives it again to the cent (or else says so). The resources' rates
// give the cost only where the file gives none. Resources are whole people:
// the units of the work assignments, summed and rounded, and at least one
// wherever the task has work or a cost. Material and cost resources add
// cost, not people. What comes out always lies within the task dialog's
// limits; a cost that cannot be kept within them is told.
#pragma once

#include <optional>
#include <vector>

#include "model/Money.h"

namespace MyApp {

// The format's resource types: 1 work (the default), 0 material, 2 cost.
enum class ResourceKind { Work, Material, Cost };

// One assignment of a resource to the task.
struct AssignedResource {
    ResourceKind kind = ResourceKind::Work;
    double units = 1.0;               // people for work (1 = full time), the quantity of material
    std::optional<double> rate;       // the standard rate: per hour of work, per unit of material
    std::optional<Money> cost;
    std::optional<double> workHours;  // the assignment's work
};

struct TaskInFile {
    std::optional<Money> cost;
    std::optional<double> durationHours;  // the file's duration of the task
    std::vector<AssignedResource> assigned;
};

struct ImportedFigures {
    int resources = 0;
    double dailyCost = 0.0;
    bool costKept = true;      // the cost report gives the file's cost to the cent (or the file gives none)
    bool daysAsInFile = true;  // the working days are the file's duration (or the file gives none)
};

// The figures of a task of `workingDays` working days in the program's
// calendar, in a file whose working day has `hoursPerDay` hours. Nothing
// for units past what any task can hold: a file that says so is unsound.
std::optional<ImportedFigures> FiguresFromFile(const TaskInFile& task, long long workingDays, double hoursPerDay);

// Whether the task dialog takes a daily cost as it is: no negative amount,
// and below MaxDailyCost, up to which the cost box shows every digit.
bool WithinDailyCostLimits(double dailyCost);

}  // namespace MyApp
