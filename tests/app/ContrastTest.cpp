#include "app/Contrast.h"

#include <gtest/gtest.h>

namespace folianto {
namespace {

TEST(Contrast, TheWhiteDesignStaysOnlyWhileButtonTextReadsOnWhite) {
  const struct {
    Rgb text;
    bool highContrast;
    double ratio;  // against white
    bool keeps;
  } cases[] = {
      {{0, 0, 0}, false, 21.0, true},         // the default scheme
      {{0, 0, 0}, true, 21.0, false},         // High Contrast White
      {{255, 255, 255}, false, 1.0, false},   // High Contrast Black
      {{118, 118, 118}, false, 4.54, true},   // the lightest grey that still reads
      {{119, 119, 119}, false, 4.48, false},  // one step lighter does not
      {{255, 0, 0}, false, 4.0, false},       // pure red
      {{0, 0, 255}, false, 8.59, true},       // pure blue
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << +c.text.red << "," << +c.text.green << "," << +c.text.blue
                                      << " high contrast " << c.highContrast);
    EXPECT_NEAR(ContrastRatio({255, 255, 255}, c.text), c.ratio, 0.01);
    EXPECT_DOUBLE_EQ(ContrastRatio({255, 255, 255}, c.text),
                     ContrastRatio(c.text, {255, 255, 255}));
    EXPECT_EQ(KeepsDesignedColours(c.text, c.highContrast), c.keeps);
  }
}

}  // namespace
}  // namespace folianto
