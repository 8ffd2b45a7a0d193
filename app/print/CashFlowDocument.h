// The costs over time on paper: upright sheets, the chart across the top of
// the first page and the table under it, continued on the next pages with
// its column titles repeated, the total on its last line. The period is the
// one the window shows (kept in the settings).
#pragma once

#include <memory>
#include <string>

#include "app/print/PrintDocument.h"

namespace MyApp {

std::unique_ptr<PrintDocument> MakeCashFlowDocument(const Project& project, const std::wstring& printingDate);

}  // namespace MyApp
