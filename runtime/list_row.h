// One row of a report list: the texts of its cells in column order, shared and never changed in place.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

// The cells a row keeps: a list shows as many as it has columns, the rest stay with the row unseen. The list's
// owner says what each holds.
inline constexpr size_t kListColumns = 6;

using ListRow = std::array<std::string, kListColumns>;

// The list, a worker's copy of it and a filter's result hold the same rows, so copying 100,000 of them copies
// pointers, not texts.
using SharedListRow = std::shared_ptr<const ListRow>;

inline std::vector<SharedListRow> ShareRows(std::vector<ListRow> rows) {
    std::vector<SharedListRow> shared;
    shared.reserve(rows.size());
    for (ListRow& row : rows) shared.push_back(std::make_shared<const ListRow>(std::move(row)));
    return shared;
}
