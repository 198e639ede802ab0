// Sets the system colours of a dark high-contrast scheme, as High Contrast Black sets them, for
// the programs started after it in the same Wine session (the Wine server must outlive it).
#include <windows.h>

#include <iterator>

int wmain() {
  constexpr COLORREF kBlack = RGB(0, 0, 0);
  constexpr COLORREF kWhite = RGB(255, 255, 255);
  const int elements[] = {COLOR_WINDOW,       COLOR_WINDOWTEXT,    COLOR_BTNFACE,    COLOR_BTNTEXT,
                          COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW,     COLOR_3DDKSHADOW, COLOR_3DLIGHT,
                          COLOR_HIGHLIGHT,    COLOR_HIGHLIGHTTEXT, COLOR_GRAYTEXT};
  const COLORREF colours[] = {kBlack, kWhite,          kBlack,
                              kWhite, kWhite,          RGB(128, 128, 128),
                              kWhite, kWhite,          RGB(26, 235, 255),
                              kBlack, RGB(63, 242, 63)};
  static_assert(std::size(elements) == std::size(colours));
  return ::SetSysColors(static_cast<int>(std::size(elements)), elements, colours) ? 0 : 1;
}
