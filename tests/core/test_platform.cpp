// What differs between Linux and Windows (platform.h), checked alike on both:
// scripts/test-windows.sh runs this under Wine.

#include <gtest/gtest.h>

#include <cfenv>

#include "fpcheck.h"
#include "output_files.h"
#include "platform.h"

using namespace vp;
using namespace vp::test;

TEST(Platform, RenameOverSwapsInOneStepAndReportsAMissingSource) {
  const std::string dir = FreshDir("Замена файла");
  WriteFile(dir + "/новый.txt", "новое");
  WriteFile(dir + "/цель.txt", "старое");
  EXPECT_FALSE(platform::RenameOver(dir + "/новый.txt", dir + "/цель.txt"));
  EXPECT_EQ(ReadFile(dir + "/цель.txt"), "новое");
  EXPECT_EQ(platform::RenameOver(dir + "/нет такого.txt", dir + "/цель.txt"), std::errc::no_such_file_or_directory);
  EXPECT_EQ(ReadFile(dir + "/цель.txt"), "новое");
  EXPECT_EQ(DirEntries(dir), std::vector<std::string>{"цель.txt"});
}

// The arithmetic inside leaves the flags as it found them, and what follows
// still runs with every trap masked (an underflow is no fault).
TEST(Platform, FloatingPointFlagsComeBackAsTheyWere) {
  volatile double tiny = 1e-300, zero = 0;
  std::feclearexcept(FE_ALL_EXCEPT);
  volatile double infinite = 1 / zero;
  {
    const KeepExceptionFlags keep;
    volatile double under = tiny * tiny;
    EXPECT_EQ(under, 0.0);
    EXPECT_TRUE(std::fetestexcept(FE_UNDERFLOW));
    std::feclearexcept(FE_DIVBYZERO);
  }
  EXPECT_EQ(std::fetestexcept(FE_DIVBYZERO | FE_UNDERFLOW | FE_INVALID), FE_DIVBYZERO);
  volatile double under = tiny * tiny, invalid = infinite - infinite;
  EXPECT_EQ(under, 0.0);
  EXPECT_NE(invalid, invalid);
}
