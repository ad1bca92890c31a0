// One row of the result list: thread id, title, author UID, author name and thread address, in column order.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

enum ResultColumn { kColumnId = 0, kColumnTitle = 1, kColumnUid = 2, kColumnName = 3, kColumnAddress = 4 };
inline constexpr size_t kResultColumns = 5;

using ResultRow = std::array<std::string, kResultColumns>;

// Rows are shared and never changed in place: the list, the crawler's copy of the temporary list file and a
// filter's result hold the same rows, so copying 100,000 of them copies pointers, not texts.
using SharedRow = std::shared_ptr<const ResultRow>;

inline std::vector<SharedRow> ShareRows(std::vector<ResultRow> rows) {
    std::vector<SharedRow> shared;
    shared.reserve(rows.size());
    for (ResultRow& row : rows) shared.push_back(std::make_shared<const ResultRow>(std::move(row)));
    return shared;
}
