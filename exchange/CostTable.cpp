#include "exchange/CostTable.h"

#include <memory>

#include "exchange/DecimalText.h"
#include "exchange/Utf8Text.h"
#include "model/CostReport.h"
#include "model/WorkingDays.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace MyApp {

namespace {

const char* const Headings[] = {"Descrizione", "Inizio", "Fine", "Giorni lavorativi", "Risorse",
                                "Costo giornaliero per risorsa", "Costo task"};

bool Usable(char separator, char decimal) {
    return separator != '\0' && separator != decimal && separator != '"' && separator != '\r' &&
           separator != '\n' && static_cast<unsigned char>(separator) < 0x80 &&
           !(separator >= '0' && separator <= '9');
}

CsvFormat Settled(char separator, char decimal, const std::string& datePicture) {
    CsvFormat format;
    format.decimal = decimal != '\0' && static_cast<unsigned char>(decimal) < 0x80 ? decimal : '.';
    format.separator = Usable(separator, format.decimal) ? separator : format.decimal == ',' ? ';' : ',';
    std::string sample;
    if (WriteShortDate(Date(), datePicture, sample)) format.datePicture = datePicture;
    return format;
}

}  // namespace

#ifdef _WIN32
CsvFormat UserCsvFormat() {
    // One character each, or none.
    const auto single = [](LCTYPE type) {
        wchar_t text[8] = {};
        const int length = GetLocaleInfoW(LOCALE_USER_DEFAULT, type, text, 8);
        return length == 2 && text[0] < 0x80 ? static_cast<char>(text[0]) : '\0';
    };
    wchar_t picture[80] = {};
    char utf8[320] = {};
    if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, picture, 80) == 0 ||
        WideCharToMultiByte(CP_UTF8, 0, picture, -1, utf8, sizeof utf8, nullptr, nullptr) == 0)
        utf8[0] = '\0';
    return Settled(single(LOCALE_SLIST), single(LOCALE_SDECIMAL), utf8);
}
#else
CsvFormat UserCsvFormat() { return Settled(',', '.', CsvFormat().datePicture); }
#endif

CsvFormat SettledCsvFormat(const CsvFormat& requested) {
    return Settled(requested.separator, requested.decimal, requested.datePicture);
}

bool WriteShortDate(const Date& day, std::string_view picture, std::string& out) {
    int fields[3] = {};  // days, months, years
    for (std::size_t i = 0; i < picture.size();) {
        const char c = picture[i];
        if (c == '\'') {  // quoted text as it stands; two quotes alone stand for one
            const std::size_t end = picture.find('\'', i + 1);
            if (end == std::string_view::npos) return false;
            out += end == i + 1 ? std::string_view("'") : picture.substr(i + 1, end - i - 1);
            i = end + 1;
            continue;
        }
        std::size_t run = 1;
        while (i + run < picture.size() && picture[i + run] == c) ++run;
        i += run;
        if (c == 'd' || c == 'M') {
            const int value = c == 'd' ? day.value.wDay : day.value.wMonth;
            if (run > 2) return false;
            if (run == 2 && value < 10) out += '0';
            out += std::to_string(value);
            ++fields[c == 'd' ? 0 : 1];
        } else if (c == 'y') {
            out += std::to_string(day.value.wYear);
            ++fields[2];
        } else if (c == 'g') {
            return false;
        } else {
            out.append(run, c);
        }
    }
    return fields[0] == 1 && fields[1] == 1 && fields[2] == 1;
}

std::string CsvField(std::string_view text, char separator) {
    if (text.find_first_of(std::string{separator, '"', '\r', '\n'}) == std::string_view::npos)
        return std::string(text);
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

TextParts CostTableParts(const Project& project, const CsvFormat& requested) {
    struct State {
        const Project* project;
        CsvFormat format;
        WorkingDayCalendar calendar;
        std::size_t next = 0;
        bool started = false;
        Money total = Money();
    };
    auto state = std::make_shared<State>(State{
        &project, Settled(requested.separator, requested.decimal, requested.datePicture), WorkingDayCalendar(project)});
    return [state](std::string& out) {
        State& s = *state;
        const char separator = s.format.separator;
        const auto row = [&](std::initializer_list<std::string> fields) {
            bool first = true;
            for (const std::string& field : fields) {
                if (!first) out += separator;
                out += CsvField(field, separator);
                first = false;
            }
            out += "\r\n";
        };
        if (!s.started) {
            s.started = true;
            out += "\xEF\xBB\xBF";
            row({Headings[0], Headings[1], Headings[2], Headings[3], Headings[4], Headings[5], Headings[6]});
            return true;
        }
        const std::vector<Task>& tasks = s.project->tasks;
        if (s.next < tasks.size()) {
            const Task& task = tasks[s.next++];
            const TaskCost figures = CostOf(s.calendar, task);
            s.total += figures.cost;
            std::string start, end;
            WriteShortDate(task.start, s.format.datePicture, start);
            WriteShortDate(task.end, s.format.datePicture, end);
            row({SystemToUtf8(task.description), start, end,
                 std::to_string(figures.workingDays), std::to_string(task.resources),
                 DecimalText(task.dailyCost, s.format.decimal), PlainText(figures.cost, s.format.decimal)});
            return true;
        }
        row({"Totale", "", "", "", "", "", PlainText(s.total, s.format.decimal)});
        return false;
    };
}

bool WriteCostTable(const std::string& path, const Project& project, const CsvFormat& format) {
    return WriteTextFile(path, CostTableParts(project, format));
}

}  // namespace MyApp
