#include "model/CostReport.h"

#include "model/WorkingDays.h"

namespace MyApp {

TaskCost CostOf(const WorkingDayCalendar& calendar, const Task& task) {
    TaskCost figures;
    figures.workingDays = calendar.CountWorkingDays(task.start, task.end);
    figures.cost = CostOfDays(task.dailyCost, task.resources, figures.workingDays);
    return figures;
}

namespace {

std::string Counted(long long count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

}  // namespace

std::string TaskSpanText(const Task& task, long long workingDays) {
    return "dal " + FormatDate(task.start) + " al " + FormatDate(task.end) + ", " +
           Counted(workingDays, "giorno lavorativo", "giorni lavorativi");
}

std::string TaskSummary(const Task& task, const TaskCost& figures, const AmountFormat& format) {
    return TaskSpanText(task, figures.workingDays) + ", " + Counted(task.resources, "risorsa", "risorse") +
           ", costo " + FormatAmount(figures.cost, format);
}

void BuildCostReport(const Project& project, std::string& text, Money& total) {
    BuildCostReport(project, UserAmountFormat(), text, total);
}

void BuildCostReport(const Project& project, const AmountFormat& format, std::string& text, Money& total) {
    text.clear();
    total = Money();
    if (project.tasks.empty()) {
        text = "Nessun Task presente: impossibile determinare il conto economico.";
        return;
    }
    const WorkingDayCalendar calendar(project);
    text.reserve(project.tasks.size() * 192);
    for (const Task& task : project.tasks) {
        const TaskCost figures = CostOf(calendar, task);
        const long long days = figures.workingDays;
        const Money cost = figures.cost;
        text += "\r\nTASK: ";
        text += task.description;
        text += "\r\nDal: ";
        text += FormatDate(task.start);
        text += " al ";
        text += FormatDate(task.end);
        text += "\r\nTotale giorni lavorativi: ";
        text += std::to_string(days);
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
