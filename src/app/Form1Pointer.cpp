// The pointer feedback: the hand over the picture buttons, the arrow over the list and the
// background, the hourglass over everything while a join runs.
#include "app/Form1.h"

#include <commctrl.h>

#include <utility>

#include "platform/Dpi.h"
#include "platform/FileSystem.h"

namespace folianto {

void Form1::LoadHandPointer() {
  const std::wstring path = applicationFolder_ + L"\\HAND-M.CUR";
  if (!FileExists(path)) return;
  const int size = PointerSizeForDpi(dpi_);
  // A file that is not a cursor (or a folder of that name) leaves the window without the hand.
  UniqueCursor scaled(static_cast<HCURSOR>(
      ::LoadImageW(nullptr, path.c_str(), IMAGE_CURSOR, size, size, LR_LOADFROMFILE)));
  if (!scaled) return;
  const UniqueCursor previous = std::exchange(handPointer_, std::move(scaled));
  // At a new dpi the old image may be the one shown: the new one takes its place first.
  if (previous) SetMousePointer(pointer_.Setting());
}

void Form1::SetMousePointer(PointerSetting setting) {
  pointer_.Set(setting);
  ShowPointerIfOver();
}

void Form1::ShowBusy() {
  // Asking where the mouse is costs more than asking what is shown, and mostly it is shown.
  if (::GetCursor() != ::LoadCursorW(nullptr, IDC_WAIT)) ShowPointerIfOver();
}

void Form1::ShowPointerIfOver() {
  POINT cursor;
  if (!::GetCursorPos(&cursor)) return;
  const HWND under = ::WindowFromPoint(cursor);
  if (under == window_ || ::IsChild(window_, under)) ShowPointer();
}

void Form1::ShowPointer() {
  switch (PointerToShow(pointer_.Setting(), HasCustomPointer())) {
    case ShownPointer::Arrow:
      ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
      break;
    case ShownPointer::Hourglass:
      ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
      break;
    case ShownPointer::CustomImage:
      ::SetCursor(handPointer_.Get());
      break;
    case ShownPointer::PlatformDefault:
      break;
  }
}

HoverTarget Form1::TargetOf(HWND control) const {
  if (control == window_) return HoverTarget::Background;
  const HWND list = ListView1.Handle();
  if (control == list || ::IsChild(list, control)) return HoverTarget::FileList;
  for (const auto& [id, button] : buttons_) {
    if (control == button->Handle()) return HoverTarget::PictureButton;
  }
  return HoverTarget::Other;
}

bool Form1::OnSetCursor(HWND target, int hitTest, UINT mouseMessage) {
  if (pointer_.Setting() == PointerSetting::Busy) {
    // The hourglass covers every part of the window while a join runs: the frame, the list's
    // header and scroll bars, and the whole window while a dialog or message box disables it
    // (HTERROR), where the system's own handling still beeps at a click.
    if (hitTest == HTERROR) {
      ::DefWindowProcW(window_, WM_SETCURSOR, reinterpret_cast<WPARAM>(target),
                       MAKELPARAM(hitTest, mouseMessage));
    }
    ShowPointer();
    return true;
  }
  if (hitTest != HTCLIENT) return false;
  if (mouseMessage == WM_MOUSEMOVE) pointer_.OnHover(TargetOf(target));
  // The header keeps its own pointers, the divider's among them.
  if (target == ListView_GetHeader(ListView1.Handle())) return false;
  if (PointerToShow(pointer_.Setting(), HasCustomPointer()) == ShownPointer::PlatformDefault) {
    return false;
  }
  ShowPointer();
  return true;
}

}  // namespace folianto
