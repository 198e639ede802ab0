#include "app/Layout.h"

#include <gtest/gtest.h>

namespace folianto {
namespace {

const ControlSpec& Spec(ControlId id) {
  for (const ControlSpec& control : kForm1Controls) {
    if (control.id == id) return control;
  }
  throw std::out_of_range("no such control");
}

TEST(Layout, ConvertsTwipsToPixelsByTheRealDpi) {
  const struct {
    int twips;
    int dpi;
    int pixels;
  } cases[] = {
      {120, 96, 8},      {6495, 96, 433},  {-720, 96, 48 * -1}, {7695, 96, 513}, {3630, 96, 242},
      {120, 144, 12},    {7695, 144, 770}, {-720, 144, -72},    {255, 120, 21},  {0, 192, 0},
      {7695, 192, 1026}, {15, 96, 1},      {7, 96, 0},          {8, 96, 1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TwipsToPixels(c.twips, c.dpi), c.pixels) << c.twips << " twips at " << c.dpi;
  }
}

TEST(Layout, FontHeightsFollowThePointSizes) {
  const struct {
    int centipoints;
    int dpi;
    int height;
  } cases[] = {{1125, 96, -15}, {900, 96, -12}, {975, 96, -13}, {1125, 144, -23}, {900, 192, -24}};
  for (const auto& c : cases) {
    EXPECT_EQ(FontHeightForDpi(c.centipoints, c.dpi), c.height) << c.centipoints << " at " << c.dpi;
  }
}

TEST(Layout, KeepsTheGridOfTheDesign) {
  const auto right = [](ControlId id) { return Spec(id).twips.left + Spec(id).twips.width; };
  const auto bottom = [](ControlId id) { return Spec(id).twips.top + Spec(id).twips.height; };
  for (ControlId id : {kCheck3, kCheck5, kCheck2, kProgressBar1})
    EXPECT_EQ(right(id), 7575);
  EXPECT_EQ(bottom(kCheck5), bottom(kListView1));
  EXPECT_EQ(kForm1ClientHeightTwips - bottom(kLabel1), 135);
  EXPECT_EQ(Spec(kProgressBar1).twips.left - right(kLabel1), 180);
  EXPECT_LT(right(kCommand1), 0) << "Command1 must lie wholly outside the client area";
}

TEST(Layout, ListsTheControlsInTabOrderWithOnlyLabelAndBarOutOfIt) {
  // The label just before the bar it names for screen readers.
  const ControlId order[] = {kCommand1, kCheck1,       kCheck2, kListView1, kCheck4,
                             kLabel1,   kProgressBar1, kCheck3, kCheck5};
  ASSERT_EQ(std::size(order), kForm1Controls.size());
  for (size_t i = 0; i < kForm1Controls.size(); ++i) {
    EXPECT_EQ(kForm1Controls[i].id, order[i]) << "tab index " << i;
    const bool outOfTabOrder = order[i] == kProgressBar1 || order[i] == kLabel1;
    EXPECT_EQ(kForm1Controls[i].tabStop, !outOfTabOrder) << "tab index " << i;
  }
}

TEST(Layout, CentresByTheExactHalfOfTheDifference) {
  const struct {
    int screen;
    int outer;
    int offset;
  } cases[] = {
      {1024, 520, 252}, {1280, 519, 381}, {800, 800, 0}, {400, 520, -60}, {1921, 520, 701}};
  for (const auto& c : cases) {
    EXPECT_EQ(CenteredOffset(c.screen, c.outer), c.offset) << c.screen << " / " << c.outer;
  }
}

}  // namespace
}  // namespace folianto
