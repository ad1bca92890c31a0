// CSV export of the result rows. GBK trail bytes are 0x40 or above, so no comma, quote or line break is ever
// part of a two-byte character and the fields can be scanned byte by byte.
#include "state/csv_file.h"

#include "state/file_replace.h"

namespace {

constexpr std::string_view kHeader = "序列号,标题名称,发布者UID,发布者名称,网址";
constexpr std::string_view kFormulaStarts = "=+-@\t\r";

void AppendLine(std::string& text, const ResultRow& row) {
    for (size_t column = 0; column < kResultColumns; ++column) {
        if (column > 0) text += ',';
        text += CsvField(row[column]);
    }
    text += "\r\n";
}

}  // namespace

std::string CsvField(std::string_view cell) {
    std::string field;
    if (!cell.empty() && kFormulaStarts.find(cell.front()) != std::string_view::npos) field = "'";
    field += cell;
    if (field.find_first_of(",\"\r\n") == std::string::npos) return field;
    std::string quoted = "\"";
    for (char c : field) {
        quoted += c;
        if (c == '"') quoted += '"';
    }
    return quoted + '"';
}

std::string CsvText(const std::vector<SharedRow>& rows) {
    std::string text(kHeader);
    text += "\r\n";
    for (const SharedRow& row : rows) AppendLine(text, *row);
    return text;
}

bool SaveCsvFile(const std::string& path, const std::vector<SharedRow>& rows) {
    return ReplaceFileContent(path, CsvText(rows));
}
