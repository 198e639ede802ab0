// The window's controls, made from the table of the layout, and the layout at the window's dpi:
// its size, the controls' places, fonts and pictures, and what a change of dpi lays out again.
// Layout numbers are twips, turned into pixels here.
#include "app/Form1.h"

#include <commctrl.h>

#include "platform/ControlHook.h"
#include "platform/Dpi.h"

namespace folianto {

namespace {

constexpr wchar_t kFileListTip[] = L"Double-click item to remove it.";

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

void Form1::CreateControls() {
  for (const ControlSpec& control : kForm1Controls) {
    const DWORD tab = control.tabStop ? WS_TABSTOP : 0;
    const auto menu = reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id));
    const RECT place = PlaceOf(control);
    auto make = [&](DWORD exStyle, const wchar_t* className, DWORD style) {
      return ::CreateWindowExW(exStyle, className, control.text,
                               WS_CHILD | WS_VISIBLE | tab | style, place.left, place.top,
                               place.right - place.left, place.bottom - place.top, window_, menu,
                               instance_, nullptr);
    };
    switch (control.kind) {
      case ControlKind::PushButton:
        // Command1 lies left of the client area, out of sight and out of the mouse's reach. It
        // only holds the focus when the window opens, so no visible button shows a focus mark and
        // Enter or the space bar do nothing until the user tabs or clicks to a control.
        Command1 = make(0, WC_BUTTONW, BS_PUSHBUTTON);
        ::SendMessageW(Command1, WM_SETFONT,
                       reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)), FALSE);
        break;
      case ControlKind::PictureButton:
        ButtonById(control.id)->Create(window_, control.id, control.text, control.tabStop, place);
        break;
      case ControlKind::ListView: {
        const HWND list =
            make(WS_EX_CLIENTEDGE, WC_LISTVIEWW, LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS);
        ::SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT,
                       LVS_EX_FULLROWSELECT);
        ListView1.Attach(list);
        break;
      }
      case ControlKind::ProgressBar:
        ProgressBar1 = make(0, PROGRESS_CLASSW, 0);
        ::SendMessageW(ProgressBar1, PBM_SETRANGE32, 0, 100);
        ::SendMessageW(ProgressBar1, PBM_SETPOS, 0, 0);
        break;
      case ControlKind::Label:
        // SS_NOTIFY makes the label a target of the mouse, so moving over it is not taken for
        // moving over the background.
        Label1 = make(0, WC_STATICW, SS_LEFT | SS_NOTIFY);
        break;
    }
  }

  // The header is a window of its own on top of the list; the tip covers it too.
  const HWND header = ListView_GetHeader(ListView1.Handle());
  AddTooltip(window_, {ListView1.Handle(), header}, kFileListTip);
  LetWindowChoosePointerOver(header);
  // The arrow buttons are too narrow for the second word of their captions.
  AddTooltip(window_, {Check3.Handle()}, L"Move Up");
  AddTooltip(window_, {Check5.Handle()}, L"Move Down");
}

}  // namespace folianto
