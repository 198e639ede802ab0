// The window's colours: the designed white faces while the system's button text reads on white,
// the system's own colours otherwise (a high-contrast scheme, or light button text). The pictures
// stay as they are.
#include "app/Form1.h"

#include <commctrl.h>

#include "app/Contrast.h"
#include "platform/SystemLibrary.h"

namespace folianto {

namespace {

Rgb RgbOf(COLORREF colour) {
  return {GetRValue(colour), GetGValue(colour), GetBValue(colour)};
}

bool HighContrastOn() {
  HIGHCONTRASTW highContrast{};
  highContrast.cbSize = sizeof(highContrast);
  return ::SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(highContrast), &highContrast, 0) &&
         (highContrast.dwFlags & HCF_HIGHCONTRASTON);
}

// A themed header paints the theme's light face under the system's button-text colour, which
// cannot be read when that colour is light; unthemed it paints in the system's colours. A class
// list that names no class takes the theme away (Wine reads an empty one as no list at all).
void UseTheme(HWND control, bool themed) {
  using SetThemeFunction = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
  static const auto setTheme = SystemFunction<SetThemeFunction>(L"uxtheme.dll", "SetWindowTheme");
  if (setTheme) setTheme(control, themed ? nullptr : L" ", themed ? nullptr : L" ");
}

}  // namespace

void Form1::ChooseColours() {
  const bool designed = KeepsDesignedColours(RgbOf(::GetSysColor(COLOR_BTNTEXT)), HighContrastOn());
  if (designed != designedColours_) UseTheme(ListView_GetHeader(ListView1.Handle()), designed);
  designedColours_ = designed;
}

void Form1::OnColoursChanged() {
  ChooseColours();
  ::RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

HBRUSH Form1::FaceBrush() const {
  return designedColours_ ? static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH))
                          : ::GetSysColorBrush(COLOR_BTNFACE);
}

HBRUSH Form1::BackgroundBrush() const {
  return designedColours_ ? static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH))
                          : ::GetSysColorBrush(COLOR_WINDOW);
}

HBRUSH Form1::ColourLabel(HDC dc) const {
  // On the window's own colour the label takes the text colour made to be read on it.
  ::SetTextColor(dc, ::GetSysColor(designedColours_ ? COLOR_BTNTEXT : COLOR_WINDOWTEXT));
  ::SetBkColor(dc, designedColours_ ? RGB(255, 255, 255) : ::GetSysColor(COLOR_WINDOW));
  return BackgroundBrush();
}

}  // namespace folianto
