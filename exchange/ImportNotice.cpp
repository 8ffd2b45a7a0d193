// The message after an import (see ImportNotice.h).
#include "exchange/ImportNotice.h"

namespace MyApp {

namespace {

// Each count on a line of its own: "2 collegamenti tra task", "1 collegamento tra task".
class Lines {
public:
    explicit Lines(std::wstring& text) : text_(text) {}
    void Add(long long count, const wchar_t* one, const wchar_t* many) {
        if (count > 0) text_ += L"\n" + std::to_wstring(count) + L" " + (count == 1 ? one : many);
    }

private:
    std::wstring& text_;
};

}  // namespace

std::wstring ImportNotice(const DroppedItems& dropped) {
    std::wstring text;
    Lines lines(text);
    if (dropped.AnyDropped()) {
        text = L"Alcuni elementi del file non possono essere rappresentati nel progetto e non sono stati importati:";
        lines.Add(dropped.links, L"collegamento tra task", L"collegamenti tra task");
        lines.Add(dropped.summaryTasks, L"task di riepilogo", L"task di riepilogo");
        lines.Add(dropped.milestones, L"milestone di durata zero", L"milestone di durata zero");
        lines.Add(dropped.hourCalendars, L"calendario orario", L"calendari orari");
        lines.Add(dropped.recurringExceptions, L"eccezione ricorrente del calendario",
                  L"eccezioni ricorrenti del calendario");
    }
    if (dropped.AnyChanged()) {
        if (!text.empty()) text += L"\n\n";
        text += L"Alcuni task sono stati importati diversamente dal file:";
        lines.Add(dropped.daysDiffer, L"task con giorni lavorativi diversi dal file",
                  L"task con giorni lavorativi diversi dal file");
        lines.Add(dropped.costsNotKept, L"task con costo diverso dal file", L"task con costo diverso dal file");
    }
    return text;
}

}  // namespace MyApp
