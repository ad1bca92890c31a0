// What a run visits for whatever the user typed: counts of ids, truncation, and no wrap past the largest id.
#include "crawler/run_plan.h"

#include <gtest/gtest.h>

namespace {

TEST(RunPlan, VisitsCountPlusOneIdsFromTheTypedNumber) {
    RunPlan plan = PlanRun("100", "2");
    EXPECT_EQ(plan.first_id, 100);
    EXPECT_EQ(plan.steps, 3);
    EXPECT_EQ(plan.progress_maximum, 2);

    plan = PlanRun("0100", "12.7");  // 13 ids; the progress bar's maximum is the leading integer
    EXPECT_EQ(plan.first_id, 100);
    EXPECT_EQ(plan.steps, 13);
    EXPECT_EQ(plan.progress_maximum, 12);

    EXPECT_EQ(PlanRun("", "").steps, 1);  // nothing typed: id 0 alone
    EXPECT_EQ(PlanRun("", "").first_id, 0);
    EXPECT_EQ(PlanRun("-7.9", "0").first_id, -7);
    EXPECT_EQ(PlanRun("1e3", "2e1").first_id, 1000);
    EXPECT_EQ(PlanRun("1e3", "2e1").steps, 21);
    EXPECT_EQ(PlanRun("1e3", "2e1").progress_maximum, 2);
}

TEST(RunPlan, OddTextsNeitherOverflowNorWrap) {
    EXPECT_EQ(PlanRun("5", "-5").steps, 0);
    EXPECT_EQ(PlanRun("5", "-1").steps, 0);
    EXPECT_EQ(PlanRun("5", "-0.9").steps, 1);
    EXPECT_EQ(PlanRun("abc", "xyz").steps, 1);

    RunPlan huge = PlanRun("99999999999999999999", "99999999999999999999");
    EXPECT_EQ(huge.first_id, INT32_MAX);
    EXPECT_EQ(huge.steps, 1);  // only the largest id itself
    EXPECT_EQ(huge.progress_maximum, INT32_MAX);

    RunPlan near_top = PlanRun("2147483640", "100");
    EXPECT_EQ(near_top.steps, 8);
    EXPECT_EQ(PlanRun("-99999999999", "5").first_id, INT32_MIN);
    EXPECT_EQ(PlanRun("0", "2147483647").steps, int64_t{INT32_MAX} + 1);
    EXPECT_EQ(PlanRun("1e999", "nan").first_id, INT32_MAX);
    EXPECT_EQ(PlanRun("1", "-1e999").steps, 0);
}

}  // namespace
