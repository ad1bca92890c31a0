// One row of the result list: thread id, title, author UID, author name and thread address, in column order;
// and the forum addresses its cells stand for.
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

// The address of a thread's first page, as the address cell shows it.
std::string ThreadAddress(std::string_view forum, int64_t thread_id);
// The home page of the member a UID cell names; `uid` must already be fit to stand in an address.
std::string HomePageAddress(std::string_view forum, std::string_view uid);
