// The cost report: per task its span, working days, resources and cost, and
// the project total.
#pragma once

#include <string>

#include "model/FormatAmount.h"
#include "model/Project.h"

namespace MyApp {

// Text with CR LF line ends and the total (sum of the task costs in task
// order), amounts in the user's regional format.
void BuildCostReport(const Project& project, std::string& text, double& total);
// The same with the given amount format.
void BuildCostReport(const Project& project, const AmountFormat& format, std::string& text, double& total);

}  // namespace MyApp
