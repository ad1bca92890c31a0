// One row of the result list: thread id, title, author UID, author name and thread address, in column order;
// and the thread address its cells stand for.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/list_row.h"

enum ResultColumn { kColumnId = 0, kColumnTitle = 1, kColumnUid = 2, kColumnName = 3, kColumnAddress = 4 };
inline constexpr size_t kResultColumns = 5;
static_assert(kResultColumns == kListColumns, "a result row fills one row of the list");

using ResultRow = ListRow;
using SharedRow = SharedListRow;

// The address of a thread's first page, as the address cell shows it: `address_template` with its {id} put in
// (the site rule of the forum gives the template).
std::string ThreadAddress(std::string_view address_template, int64_t thread_id);
