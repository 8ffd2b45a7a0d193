// The task table as CSV for spreadsheets: a header row, one row per task
// (description, first and last day, working days, resources, daily cost per
// resource and the task's cost, as the cost report counts them) and a row
// with the total. Fields are separated by the regional list separator and
// quoted as RFC 4180 says; numbers have the regional decimal separator and
// no grouping, days the regional short-date format; lines end in CR LF. The
// file is UTF-8 with a byte-order mark, so that a spreadsheet opened by a
// double click reads the accented letters and takes the numbers and the
// days as numbers and days.
#pragma once

#include <string>
#include <string_view>

#include "exchange/TextFile.h"
#include "model/Project.h"

namespace MyApp {

struct CsvFormat {
    char separator = ',';
    char decimal = '.';
    std::string datePicture = "dd/MM/yyyy";  // Windows form, UTF-8
};

// The user's regional list and decimal separators and short-date picture
// (on Windows from GetLocaleInfoW: ';', ',' and "dd/MM/yyyy" in Italy;
// elsewhere ',', '.' and "dd/MM/yyyy"). A list separator that could not
// stand between fields (none, several characters, the decimal separator
// itself, a quote or a line end) gives ';' beside a decimal comma and ','
// otherwise; a picture that WriteShortDate refuses gives "dd/MM/yyyy".
CsvFormat UserCsvFormat();
// The format as the files are written in it: a list separator that could not
// stand between fields replaced as above.
CsvFormat SettledCsvFormat(const CsvFormat& requested);

// Appends `day` written after a short-date picture of the Windows form
// ("dd/MM/yyyy", "M/d/yyyy", "yyyy-MM-dd"; text in single quotes as it
// stands), the year always in full: two figures would make another
// century's years this one's. False for a picture without a day, a month
// and a year in figures, each once (names of days or months, an era),
// whose text a spreadsheet might not read back as the same day.
bool WriteShortDate(const Date& day, std::string_view picture, std::string& out);

// One field, quoted when it holds the separator, a quote or a line end
// (a quote inside doubled).
std::string CsvField(std::string_view text, char separator);

// The table's content, part after part; `project` must outlive it.
TextParts CostTableParts(const Project& project, const CsvFormat& format);

bool WriteCostTable(const std::string& path, const Project& project, const CsvFormat& format);

}  // namespace MyApp
