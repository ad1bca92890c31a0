// The forum addresses a result row's cells stand for.
#include "state/result_row.h"

#include "runtime/text.h"

std::string ThreadAddress(std::string_view forum, int64_t thread_id) {
    return std::string(forum) + "thread-" + DecimalText(thread_id) + "-1-1.html";
}

std::string HomePageAddress(std::string_view forum, std::string_view uid) {
    return std::string(forum) + "?" + std::string(uid);
}
