// One row of the result list: thread id, title, author UID, author name and thread address, in column order.
#pragma once

#include <array>
#include <string>

enum ResultColumn { kColumnId = 0, kColumnTitle = 1, kColumnUid = 2, kColumnName = 3, kColumnAddress = 4 };
inline constexpr size_t kResultColumns = 5;

using ResultRow = std::array<std::string, kResultColumns>;
