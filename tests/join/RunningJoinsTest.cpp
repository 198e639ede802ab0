#include "join/RunningJoins.h"

#include <gtest/gtest.h>

#include <list>
#include <string>

#include "join/MemoryClaims.h"

namespace folianto {
namespace {

TEST(RunningJoins, IsRunningFromTheFirstJoinsBeginToTheLastOnesEnd) {
  const struct {
    const char* steps;  // + a join begins, - the last begun ends
    const char* told;   // what the record told: + running, - no longer
  } cases[] = {
      {"+", "+"}, {"+-", "+-"}, {"++-", "+"}, {"++--", "+-"}, {"+-+-", "+-+-"}, {"+++--", "+"},
  };
  for (const auto& c : cases) {
    testing::MemoryClaims claims([](auto& a, auto& b) { return a == b; });
    RunningJoins record(claims);
    std::string told;
    record.onRunningChanged = [&](bool running) { told += running ? '+' : '-'; };
    std::list<RunningJoins::Join> joins;
    for (const char* step = c.steps; *step; ++step) {
      if (*step == '+') joins.emplace_back(record);
      if (*step == '-') joins.pop_back();
    }
    EXPECT_EQ(told, c.told) << c.steps;
    EXPECT_EQ(record.Any(), !joins.empty()) << c.steps;
  }
}

}  // namespace
}  // namespace folianto
