// The result rows as a CSV file for a spreadsheet: GBK text, RFC 4180 quoting, formulas made harmless.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "state/result_row.h"

// One cell as a CSV field. A cell that a spreadsheet would take for a formula (its first character one of
// = + - @, a tab or a carriage return) gets a leading apostrophe, since titles and names come from
// strangers; a cell holding a comma, a quote or a line break is quoted, its quotes doubled.
std::string CsvField(std::string_view cell);

// The header row and then every row in order, each line ended by CR LF; only the header for no rows.
std::string CsvText(const std::vector<SharedRow>& rows);

// Writes CsvText(rows) over `path` in one step (see ReplaceFileContent); false when that fails.
bool SaveCsvFile(const std::string& path, const std::vector<SharedRow>& rows);
