// What a run visits, from the texts typed into the window.
#include "crawler/run_plan.h"

#include <algorithm>

#include "runtime/text.h"

RunPlan PlanRun(std::string_view typed_first_id, std::string_view typed_count) {
    const int32_t first_id = TruncateToInt32(LeadingNumber(typed_first_id));
    const int64_t wanted = static_cast<int64_t>(TruncateToInt32(LeadingNumber(typed_count))) + 1;
    const int64_t room = static_cast<int64_t>(INT32_MAX) - first_id + 1;  // ids never wrap
    return {first_id, std::clamp<int64_t>(wanted, 0, room), LeadingInteger(typed_count)};
}
