// One row of the result list: thread id, title, author UID, author name and thread address, in column order,
// and, unseen, what became of the id; and the thread address its cells stand for.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/list_row.h"

enum ResultColumn {
    kColumnId = 0,
    kColumnTitle = 1,
    kColumnUid = 2,
    kColumnName = 3,
    kColumnAddress = 4,
    kColumnState = 5,  // not shown: empty for a page of the thread, else one of the states below
};
inline constexpr size_t kResultColumns = 5;  // the columns the list shows
static_assert(kColumnState < kListColumns, "a result row fits one row of the list");

// Why a row holds the id only: no page could be had, the thread does not exist, or it is behind a login.
inline constexpr std::string_view kStateFailed = "失败";
inline constexpr std::string_view kStateMissing = "不存在";
inline constexpr std::string_view kStateLogin = "需登录";

using ResultRow = ListRow;
using SharedRow = SharedListRow;

// The address of a thread's first page, as the address cell shows it: `address_template` with its {id} put in
// (the site rule of the forum gives the template).
std::string ThreadAddress(std::string_view address_template, int64_t thread_id);
