#include "app/Layout.h"

#include <cmath>

namespace folianto {

namespace {

int RoundedDivide(long long numerator, long long denominator) {
  const long long half = denominator / 2;
  return static_cast<int>((numerator >= 0 ? numerator + half : numerator - half) / denominator);
}

}  // namespace

int TwipsToPixels(int twips, int dpi) {
  return RoundedDivide(static_cast<long long>(twips) * dpi, 1440);
}

int FontHeightForDpi(int centipoints, int dpi) {
  return -RoundedDivide(static_cast<long long>(centipoints) * dpi, 7200);
}

int CenteredOffset(int screenSize, int outerSize) {
  return static_cast<int>(std::lround((screenSize - outerSize) / 2.0));
}

}  // namespace folianto
