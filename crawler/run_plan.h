// What a run visits, worked out from the first id and the count as the user typed them.
#pragma once

#include <cstdint>
#include <string_view>

struct RunPlan {
    int32_t first_id;          // the typed number truncated toward zero into 32 bits
    int64_t steps;             // count + 1 ids, none when that is below 1, never past the largest id
    int32_t progress_maximum;  // the leading integer of the typed count
};

RunPlan PlanRun(std::string_view typed_first_id, std::string_view typed_count);
