// Starts GDI+ once for the whole test program and shuts it down at the end, as the program's start-up does.
#include <gtest/gtest.h>

#include "gfx/startup.h"

namespace {

class GdiplusEnvironment : public testing::Environment {
  public:
    void SetUp() override { ASSERT_NE(StartGdiplus(), 0u); }
    void TearDown() override { StopGdiplus(); }
};

testing::Environment* const environment = testing::AddGlobalTestEnvironment(new GdiplusEnvironment);

}  // namespace
