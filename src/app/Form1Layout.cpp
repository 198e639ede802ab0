// The window's layout at its dpi: its size, the controls' places, fonts and pictures, and what a
// change of dpi lays out again. Layout numbers are twips, turned into pixels here.
#include "app/Form1.h"

#include <commctrl.h>

#include "platform/Dpi.h"

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

}  // namespace

RECT Form1::PlaceOf(const ControlSpec& control) const {
  const int dpi = static_cast<int>(dpi_);
  const TwipsRect& twips = control.twips;
  const int left = TwipsToPixels(twips.left, dpi);
  const int top = TwipsToPixels(twips.top, dpi);
  return {left, top, left + TwipsToPixels(twips.width, dpi),
          top + TwipsToPixels(twips.height, dpi)};
}

SIZE Form1::DesignedOuterSize() const {
  return OuterSizeForClient(DesignedClientSize(), kWindowStyle, kWindowExStyle, dpi_);
}

SIZE Form1::DesignedClientSize() const {
  return {TwipsToPixels(kForm1ClientWidthTwips, static_cast<int>(dpi_)),
          TwipsToPixels(kForm1ClientHeightTwips, static_cast<int>(dpi_))};
}

void Form1::SizeWindow() {
  const SIZE outer = DesignedOuterSize();
  ::SetWindowPos(window_, nullptr, 0, 0, outer.cx, outer.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  KeepDesignedClientSize();
}

void Form1::KeepDesignedClientSize() {
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

void Form1::LayOut() {
  SizeWindow();
  for (const ControlSpec& control : kForm1Controls) {
    const RECT r = PlaceOf(control);
    ::SetWindowPos(::GetDlgItem(window_, control.id), nullptr, r.left, r.top, r.right - r.left,
                   r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  ApplyFonts();
  LoadPictures();
}

void Form1::ApplyFonts() {
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

void Form1::LoadPictures() {
  const int size = TwipsToPixels(kPictureTwips, static_cast<int>(dpi_));
  for (const ControlSpec& control : kForm1Controls) {
    if (control.kind != ControlKind::PictureButton) continue;
    ButtonById(control.id)
        ->SetPicture(UniqueIcon(static_cast<HICON>(::LoadImageW(
                         instance_, MAKEINTRESOURCEW(control.iconId), IMAGE_ICON, size, size, 0))),
                     size);
  }
}

int Form1::FileListColumnWidth(int column) const {
  // Only the first column can be seen; the second has no width.
  return column == 0 ? TwipsToPixels(kFileListColumnTwips, static_cast<int>(dpi_)) : 0;
}

void Form1::OnDpiChanged(UINT dpi, const RECT& suggested) {
  dpi_ = dpi;
  ::SetWindowPos(window_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  LayOut();
  for (int column = 0; column < 2; ++column) {
    ::SendMessageW(ListView1.Handle(), LVM_SETCOLUMNWIDTH, column, FileListColumnWidth(column));
  }
  LoadHandPointer();
}

}  // namespace folianto
