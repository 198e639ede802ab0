#include "join/RunningJoins.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "join/MemoryClaims.h"

namespace folianto {
namespace {

// A look at the claims that cannot be had refuses the join and marks nothing; a join's marks are
// shared with every tool it starts, so they outlive the program while a tool still writes.
TEST(RunningJoins, ClaimsOnlyUnderTheLookAndSharesTheMarksWithEachTool) {
  for (const bool lockTaken : {false, true}) {
    SCOPED_TRACE(lockTaken);
    testing::MemoryClaims claims([](auto& a, auto& b) { return a == b; });
    claims.lockTaken = lockTaken;
    RunningJoins record(claims);
    RunningJoins::Join join(record);
    const auto refusal = join.ClaimFiles({{L"D:\\a.pdf", L"D:\\b.pdf"}, L"D:\\all.pdf"});
    EXPECT_EQ(refusal.value_or(L""),
              lockTaken ? L"Another Folianto is starting a join. Try again in a moment. Nothing "
                          L"was joined."
                        : L"");
    EXPECT_EQ(claims.Marks(), lockTaken ? 0u : 3u);
    EXPECT_EQ(join.ForTools().size(), claims.Marks());
  }
}

}  // namespace
}  // namespace folianto
