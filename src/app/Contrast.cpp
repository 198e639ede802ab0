#include "app/Contrast.h"

#include <algorithm>
#include <cmath>

namespace folianto {

namespace {

// WCAG's level for normal text.
constexpr double kReadableRatio = 4.5;

double Linear(uint8_t channel) {
  const double c = channel / 255.0;
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double RelativeLuminance(Rgb colour) {
  return 0.2126 * Linear(colour.red) + 0.7152 * Linear(colour.green) + 0.0722 * Linear(colour.blue);
}

}  // namespace

double ContrastRatio(Rgb a, Rgb b) {
  const double la = RelativeLuminance(a);
  const double lb = RelativeLuminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

bool KeepsDesignedColours(Rgb buttonText, bool highContrast) {
  return !highContrast && ContrastRatio(buttonText, {255, 255, 255}) >= kReadableRatio;
}

}  // namespace folianto
