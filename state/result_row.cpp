// The thread address a result row's cells stand for.
#include "state/result_row.h"

#include "runtime/text.h"

std::string ThreadAddress(std::string_view address_template, int64_t thread_id) {
    return ReplaceText(address_template, "{id}", DecimalText(thread_id));
}
