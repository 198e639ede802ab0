#include "join/RunResult.h"

#include <gtest/gtest.h>

#include <climits>

namespace folianto {
namespace {

TEST(WindowStyle, OutOfRangeBecomesMinimisedWithoutFocus) {
  const struct {
    int given;
    int corrected;
  } cases[] = {{0, 0}, {1, 1}, {5, 5}, {6, 6}, {7, 6}, {-1, 6}, {INT_MIN, 6}, {INT_MAX, 6}};
  for (const auto& c : cases) {
    int style = c.given;
    CorrectWindowStyle(style);
    EXPECT_EQ(style, c.corrected) << c.given;
  }
}

TEST(RunResult, AFailedStartGivesItsRunTimeErrorNumberPlus0x80040000) {
  const struct {
    const char* name;
    uint32_t systemError;
    int number;
  } cases[] = {
      {"file not found", 2, 53},      {"path not found", 3, 76},
      {"invalid name", 123, 76},      {"access denied", 5, 70},
      {"bad format", 193, 5},         {"module not found", 126, 5},
      {"no current folder", 267, 76}, {"anything else", 0xFFFFFFFF, 5},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const RunResult result = StartFailedWith(c.systemError);
    EXPECT_FALSE(result.started);
    EXPECT_EQ(static_cast<uint32_t>(result.code), 0x80040000u + static_cast<uint32_t>(c.number));
    EXPECT_EQ(result.StartErrorNumber(), c.number);
    EXPECT_EQ(result.systemError, c.systemError);
  }
  EXPECT_EQ(static_cast<uint32_t>(StartFailedWith(2).code), 0x80040035u);
}

TEST(RunResult, AnyExitCodeStaysAnExitCode) {
  for (const uint32_t exitCode : {0u, 3u, 259u, 0x80040035u, 0xC0000005u}) {
    const RunResult result = ExitedWith(exitCode);
    EXPECT_TRUE(result.started);
    EXPECT_TRUE(result.ended);
    EXPECT_EQ(static_cast<uint32_t>(result.code), exitCode);
  }
}

TEST(RunResult, AnEndThatIsNotKnownIsNoSuccess) {
  const RunResult result = EndUnknown(6);
  EXPECT_TRUE(result.started);
  EXPECT_FALSE(result.ended);
  EXPECT_FALSE(result.Succeeded());
  EXPECT_NE(result.code, 0) << "a look at the code alone";
  EXPECT_EQ(result.systemError, 6u);
}

}  // namespace
}  // namespace folianto
