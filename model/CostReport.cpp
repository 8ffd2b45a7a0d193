#include "model/CostReport.h"

#include "model/WorkingDays.h"

namespace MyApp {

void BuildCostReport(const Project& project, std::string& text, double& total) {
    BuildCostReport(project, UserAmountFormat(), text, total);
}

void BuildCostReport(const Project& project, const AmountFormat& format, std::string& text, double& total) {
    text.clear();
    total = 0.0;
    if (project.tasks.empty()) {
        text = "Nessun Task presente: impossibile determinare il conto economico.";
        return;
    }
    const WorkingDayCalendar calendar(project);
    for (const Task& task : project.tasks) {
        const int days = calendar.CountWorkingDays(task.start, task.end);
        const double cost = (task.dailyCost * static_cast<double>(task.resources)) * static_cast<double>(days);
        text += "\r\nTASK: ";
        text += task.description;
        text += "\r\nDal: ";
        text += FormatDate(task.start);
        text += " al ";
        text += FormatDate(task.end);
        text += "\r\nTotale giorni lavorativi: ";
        text += std::to_string(static_cast<long long>(days));
        text += "\r\nNumero Risorse giornaliere: ";
        text += std::to_string(static_cast<long long>(task.resources));
        text += "\r\nCosto giornaliero per Risorsa: ";
        text += FormatAmount(task.dailyCost, format);
        text += "\r\nCosto Task: ";
        text += FormatAmount(cost, format);
        text += "\r\n";
        total += cost;
    }
}

}  // namespace MyApp
