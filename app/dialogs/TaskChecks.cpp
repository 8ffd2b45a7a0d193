#include "app/dialogs/TaskChecks.h"

#include <cmath>

#include "app/dialogs/DialogFrame.h"
#include "model/Task.h"
#include "toolkit/platform/TextConversion.h"
#include "toolkit/widgets/CurrencyBox.h"

namespace MyApp {

std::wstring TaskDaysProblem(const Date& start, const Date& end, const Date& projectStart, const Date& projectEnd,
                             TaskField& culprit) {
    culprit = TaskField::Start;
    if (!WithinProject(start, projectStart, projectEnd))
        return OutsideProjectProblem(L"La data di inizio", projectStart, projectEnd);
    culprit = TaskField::End;
    if (!WithinProject(end, projectStart, projectEnd))
        return OutsideProjectProblem(L"La data di fine", projectStart, projectEnd);
    if (CompareDates(start, end) == 1) return L"La data finale deve essere successiva alla data di inizio.";
    culprit = TaskField::None;
    return std::wstring();
}

std::wstring TypedDescriptionProblem(const std::wstring& typed, std::string& description) {
    description = TrimSpaces(QVUtility::Narrow(typed));
    if (description.empty()) return L"E' necessario indicare la descrizione.";
    return DescriptionProblem(description, typed);
}

std::wstring ResourcesProblem(const std::optional<int>& typed) {
    if (typed) return std::wstring();
    return L"Il numero di risorse deve essere compreso tra 0 e 100.000.";
}

std::wstring DailyCostProblem(QVUtility::CurrencyBox& box, double& amount) {
    if (box.Misgrouped()) {
        const wchar_t decimal = static_cast<wchar_t>(static_cast<unsigned char>(box.decimalSeparator));
        if (decimal == L',') return L"Importo non valido: usare la virgola per i decimali (es. 12,5).";
        return std::wstring(L"Importo non valido: usare \u00AB") + decimal + L"\u00BB per i decimali (es. 12" +
               decimal + L"5).";
    }
    amount = box.GetAmount();
    if (!box.HasAmount() || std::fabs(amount) > MaxDailyCost)
        return L"Il costo giornaliero indicato non è un importo valido.";
    return std::wstring();
}

}  // namespace MyApp
