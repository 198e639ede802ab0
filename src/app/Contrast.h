#pragma once

#include <cstdint>

namespace folianto {

struct Rgb {
  uint8_t red;
  uint8_t green;
  uint8_t blue;
};

// How well one colour reads on the other, by relative luminance as WCAG measures it: from 1 (the
// same) to 21 (black on white), whichever of the two is lighter.
double ContrastRatio(Rgb a, Rgb b);

// The designed white faces stay while the system's button-text colour reads well on white and no
// high-contrast scheme is on; otherwise the window takes the system's colours.
bool KeepsDesignedColours(Rgb buttonText, bool highContrast);

}  // namespace folianto
