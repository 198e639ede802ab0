// The window's controls, made from the table of the layout at the window's dpi.
#include "app/Form1.h"

#include <commctrl.h>

#include "platform/ControlHook.h"

namespace folianto {

namespace {

constexpr wchar_t kFileListTip[] = L"Double-click item to remove it.";

}  // namespace

void Form1::CreateControls(HINSTANCE instance) {
  for (const ControlSpec& control : kForm1Controls) {
    const DWORD tab = control.tabStop ? WS_TABSTOP : 0;
    const auto menu = reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id));
    const RECT place = look_.PlaceOf(control);
    auto make = [&](DWORD exStyle, const wchar_t* className, DWORD style) {
      return ::CreateWindowExW(exStyle, className, control.text,
                               WS_CHILD | WS_VISIBLE | tab | style, place.left, place.top,
                               place.right - place.left, place.bottom - place.top, window_, menu,
                               instance, nullptr);
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
