// The start-up floor: Folianto's window with its nine controls, in their places, created, themed
// and painted, and nothing else: no fonts, pictures, pointer file, tooltip, colours or
// screen-reader names. What any program with these controls pays to open, against which Folianto's
// own start-up work is measured.
#include <windows.h>
#include <commctrl.h>

#include "ReferenceWindow.h"
#include "app/Layout.h"

namespace {

using folianto::ControlKind;
using folianto::kForm1Controls;
using folianto::TwipsToPixels;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DRAWITEM) {
    // The picture buttons' face, edge and caption.
    const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    RECT face = item.rcItem;
    ::FillRect(item.hDC, &face, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    ::DrawEdge(item.hDC, &face, EDGE_RAISED, BF_RECT);
    wchar_t caption[64] = {};
    ::GetWindowTextW(item.hwndItem, caption, 64);
    ::SetBkMode(item.hDC, TRANSPARENT);
    ::DrawTextW(item.hDC, caption, -1, &face, DT_CENTER | DT_BOTTOM | DT_SINGLELINE);
    return TRUE;
  }
  return folianto::bench::ReferenceWindowProc(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS |
                                                    ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&classes);
  constexpr wchar_t kClass[] = L"BenchFloorWindow";
  if (!folianto::bench::RegisterReferenceClass(instance, kClass, WindowProc)) return 1;

  const HDC screen = ::GetDC(nullptr);
  const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
  ::ReleaseDC(nullptr, screen);
  constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  RECT outer{0, 0, TwipsToPixels(folianto::kForm1ClientWidthTwips, dpi),
             TwipsToPixels(folianto::kForm1ClientHeightTwips, dpi)};
  ::AdjustWindowRectEx(&outer, kStyle, FALSE, 0);
  const int width = outer.right - outer.left;
  const int height = outer.bottom - outer.top;
  const HWND window = ::CreateWindowExW(0, kClass, L"Floor window", kStyle,
                                        (::GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                                        (::GetSystemMetrics(SM_CYSCREEN) - height) / 2, width,
                                        height, nullptr, nullptr, instance, nullptr);
  if (!window) return 1;

  for (const auto& control : kForm1Controls) {
    const wchar_t* className = WC_BUTTONW;
    DWORD style = BS_PUSHBUTTON;
    DWORD exStyle = 0;
    switch (control.kind) {
      case ControlKind::PushButton:
        break;
      case ControlKind::PictureButton:
        style = BS_OWNERDRAW;
        break;
      case ControlKind::ListView:
        className = WC_LISTVIEWW;
        style = LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS;
        exStyle = WS_EX_CLIENTEDGE;
        break;
      case ControlKind::ProgressBar:
        className = PROGRESS_CLASSW;
        style = 0;
        break;
      case ControlKind::Label:
        className = WC_STATICW;
        style = SS_LEFT | SS_NOTIFY;
        break;
    }
    const HWND child = ::CreateWindowExW(
        exStyle, className, control.text,
        WS_CHILD | WS_VISIBLE | (control.tabStop ? WS_TABSTOP : 0) | style,
        TwipsToPixels(control.twips.left, dpi), TwipsToPixels(control.twips.top, dpi),
        TwipsToPixels(control.twips.width, dpi), TwipsToPixels(control.twips.height, dpi), window,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)), instance, nullptr);
    if (control.kind != ControlKind::ListView) continue;
    for (int column = 0; column < 2; ++column) {
      LVCOLUMNW header{};
      header.mask = LVCF_TEXT | LVCF_WIDTH;
      header.pszText = const_cast<wchar_t*>(L"PDF File(s)");
      header.cx = column == 0 ? TwipsToPixels(folianto::kFileListColumnTwips, dpi) : 0;
      ::SendMessageW(child, LVM_INSERTCOLUMNW, column, reinterpret_cast<LPARAM>(&header));
    }
  }
  return folianto::bench::ShowAndRun(window, showCommand, true);
}
