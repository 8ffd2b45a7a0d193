// The checks the task dialog makes of a task's values, with its messages.
// Every place that changes a task uses them: the dialog, the task table's
// cells edited in place and a bar dragged on the chart, so that a value one
// of them refuses is refused by all, in the same words.
#pragma once

#include <optional>
#include <string>

#include "model/Date.h"

namespace QVUtility {
class CurrencyBox;
}

namespace MyApp {

// The field a problem is about.
enum class TaskField { None, Description, Start, End, Resources, DailyCost };

// The first problem with a task's days: each of them inside the project's
// span, the end not before the start. Empty (and `culprit` None) when sound.
std::wstring TaskDaysProblem(const Date& start, const Date& end, const Date& projectStart, const Date& projectEnd,
                             TaskField& culprit);
// A description as the field shows it, trimmed into `description`: the
// problem when it is empty or one the project file could not hold.
std::wstring TypedDescriptionProblem(const std::wstring& typed, std::string& description);
// Resources per day as read from the field: the problem when there is no
// number from 0 to 100.000.
std::wstring ResourcesProblem(const std::optional<int>& typed);
// The daily cost typed in the box, read into `amount`: the problem when the
// text is no amount, or one beyond the largest a task may have.
std::wstring DailyCostProblem(QVUtility::CurrencyBox& box, double& amount);

}  // namespace MyApp
