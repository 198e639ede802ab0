#include "app/WindowLook.h"

#include <commctrl.h>

#include "app/Contrast.h"
#include "platform/Dpi.h"
#include "platform/SystemLibrary.h"

namespace folianto {

namespace {

UniqueFont MakeArialBold(int centipoints, UINT dpi) {
  LOGFONTW font{};
  font.lfHeight = FontHeightForDpi(centipoints, static_cast<int>(dpi));
  font.lfWeight = FW_BOLD;
  font.lfCharSet = ANSI_CHARSET;
  wcscpy_s(font.lfFaceName, L"Arial");
  return UniqueFont(::CreateFontIndirectW(&font));
}

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

SIZE WindowLook::OuterSizeOnScreen() {
  dpi_ = ScreenDpi();
  return DesignedOuterSize();
}

void WindowLook::Attach(HWND window) {
  window_ = window;
  const UINT dpi = DpiForWindow(window_);
  if (dpi != dpi_) {
    dpi_ = dpi;
    SizeWindow();
  } else {
    KeepDesignedClientSize();
  }
}

void WindowLook::Dress() {
  ChooseColours();
  ApplyFonts();
  LoadPictures();
}

RECT WindowLook::PlaceOf(const ControlSpec& control) const {
  const int dpi = static_cast<int>(dpi_);
  const TwipsRect& twips = control.twips;
  const int left = TwipsToPixels(twips.left, dpi);
  const int top = TwipsToPixels(twips.top, dpi);
  return {left, top, left + TwipsToPixels(twips.width, dpi),
          top + TwipsToPixels(twips.height, dpi)};
}

SIZE WindowLook::DesignedOuterSize() const {
  return OuterSizeForClient(DesignedClientSize(), kWindowStyle, kWindowExStyle, dpi_);
}

SIZE WindowLook::DesignedClientSize() const {
  return {TwipsToPixels(kForm1ClientWidthTwips, static_cast<int>(dpi_)),
          TwipsToPixels(kForm1ClientHeightTwips, static_cast<int>(dpi_))};
}

void WindowLook::SizeWindow() {
  const SIZE outer = DesignedOuterSize();
  ::SetWindowPos(window_, nullptr, 0, 0, outer.cx, outer.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  KeepDesignedClientSize();
}

void WindowLook::KeepDesignedClientSize() {
  // Where the frame the system really draws differs from the computed one (a system that does
  // not scale its frame by dpi), the client area still gets its designed size.
  const SIZE client = DesignedClientSize();
  RECT actual;
  ::GetClientRect(window_, &actual);
  if (actual.right == client.cx && actual.bottom == client.cy) return;
  RECT outer;
  ::GetWindowRect(window_, &outer);
  ::SetWindowPos(window_, nullptr, 0, 0, outer.right - outer.left + client.cx - actual.right,
                 outer.bottom - outer.top + client.cy - actual.bottom,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void WindowLook::ApplyFonts() {
  // One font for each size the table names; a control without a size keeps its own. The new
  // fonts are in place before the old ones go, since a control may repaint in between.
  std::map<int, UniqueFont> fonts;
  for (const ControlSpec& control : kForm1Controls) {
    if (control.fontCentipoints == 0) continue;
    auto font = fonts.find(control.fontCentipoints);
    if (font == fonts.end()) {
      font = fonts.emplace(control.fontCentipoints, MakeArialBold(control.fontCentipoints, dpi_))
                 .first;
    }
    ::SendMessageW(::GetDlgItem(window_, control.id), WM_SETFONT,
                   reinterpret_cast<WPARAM>(font->second.Get()), TRUE);
  }
  fonts_ = std::move(fonts);
}

void WindowLook::LoadPictures() {
  const int size = TwipsToPixels(kPictureTwips, static_cast<int>(dpi_));
  const auto instance = reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(window_, GWLP_HINSTANCE));
  for (const ControlSpec& control : kForm1Controls) {
    if (control.kind != ControlKind::PictureButton) continue;
    buttonById_(control.id)
        ->SetPicture(UniqueIcon(static_cast<HICON>(::LoadImageW(
                         instance, MAKEINTRESOURCEW(control.iconId), IMAGE_ICON, size, size, 0))),
                     size);
  }
}

int WindowLook::FileListColumnWidth(int column) const {
  // Only the first column can be seen; the second has no width.
  return column == 0 ? TwipsToPixels(kFileListColumnTwips, static_cast<int>(dpi_)) : 0;
}

void WindowLook::OnDpiChanged(UINT dpi, const RECT& suggested) {
  dpi_ = dpi;
  ::SetWindowPos(window_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  SizeWindow();
  for (const ControlSpec& control : kForm1Controls) {
    const RECT r = PlaceOf(control);
    ::SetWindowPos(::GetDlgItem(window_, control.id), nullptr, r.left, r.top, r.right - r.left,
                   r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  ApplyFonts();
  LoadPictures();
  for (int column = 0; column < 2; ++column) {
    ::SendDlgItemMessageW(window_, kListView1, LVM_SETCOLUMNWIDTH, column,
                          FileListColumnWidth(column));
  }
}

void WindowLook::ChooseColours() {
  const bool designed = KeepsDesignedColours(RgbOf(::GetSysColor(COLOR_BTNTEXT)), HighContrastOn());
  if (designed != designedColours_) {
    UseTheme(ListView_GetHeader(::GetDlgItem(window_, kListView1)), designed);
  }
  designedColours_ = designed;
}

void WindowLook::OnColoursChanged() {
  ChooseColours();
  ::RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

HBRUSH WindowLook::FaceBrush() const {
  return designedColours_ ? static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH))
                          : ::GetSysColorBrush(COLOR_BTNFACE);
}

HBRUSH WindowLook::BackgroundBrush() const {
  return designedColours_ ? static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH))
                          : ::GetSysColorBrush(COLOR_WINDOW);
}

HBRUSH WindowLook::ColourLabel(HDC dc) const {
  // On the window's own colour the label takes the text colour made to be read on it.
  ::SetTextColor(dc, ::GetSysColor(designedColours_ ? COLOR_BTNTEXT : COLOR_WINDOWTEXT));
  ::SetBkColor(dc, designedColours_ ? RGB(255, 255, 255) : ::GetSysColor(COLOR_WINDOW));
  return BackgroundBrush();
}

}  // namespace folianto
