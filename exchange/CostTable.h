// The task table as CSV for spreadsheets: a header row, one row per task
// (description, first and last day, working days, resources, daily cost per
// resource and the task's cost, as the cost report counts them) and a row
// with the total. Fields are separated by the regional list separator and
// quoted as RFC 4180 says; numbers have the regional decimal separator and
// no grouping, days are DD/MM/YYYY; lines end in CR LF. The file is UTF-8
// with a byte-order mark, so that a spreadsheet opened by a double click
// reads the accented letters and takes the numbers as numbers.
#pragma once

#include <string>
#include <string_view>

#include "exchange/TextFile.h"
#include "model/Project.h"

namespace MyApp {

struct CsvFormat {
    char separator = ',';
    char decimal = '.';
};

// The user's regional list and decimal separators (on Windows from
// GetLocaleInfoW: ';' and ',' in Italy; elsewhere ',' and '.'). A list
// separator that could not stand between fields (none, several
// characters, the decimal separator itself, a quote or a line end) gives
// ';' beside a decimal comma and ',' otherwise.
CsvFormat UserCsvFormat();
// The format as the files are written in it: a list separator that could not
// stand between fields replaced as above.
CsvFormat SettledCsvFormat(const CsvFormat& requested);

// One field, quoted when it holds the separator, a quote or a line end
// (a quote inside doubled).
std::string CsvField(std::string_view text, char separator);

// The table's content, part after part; `project` must outlive it.
TextParts CostTableParts(const Project& project, const CsvFormat& format);

bool WriteCostTable(const std::string& path, const Project& project, const CsvFormat& format);

}  // namespace MyApp
