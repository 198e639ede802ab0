#include "app/PointerFeedback.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

#include "app/Layout.h"
#include "platform/Dpi.h"
#include "platform/FileSystem.h"

namespace folianto {

namespace {

bool IsPictureButton(int id) {
  return std::any_of(kForm1Controls.begin(), kForm1Controls.end(), [id](const ControlSpec& c) {
    return c.id == id && c.kind == ControlKind::PictureButton;
  });
}

}  // namespace

void PointerFeedback::LoadHand(UINT dpi) {
  const std::wstring path = applicationFolder_ + L"\\HAND-M.CUR";
  if (!FileExists(path)) return;
  const int size = PointerSizeForDpi(dpi);
  // A file that is not a cursor (or a folder of that name) leaves the window without the hand.
  UniqueCursor scaled(static_cast<HCURSOR>(
      ::LoadImageW(nullptr, path.c_str(), IMAGE_CURSOR, size, size, LR_LOADFROMFILE)));
  if (!scaled) return;
  const UniqueCursor previous = std::exchange(hand_, std::move(scaled));
  // At a new dpi the old image may be the one shown: the new one takes its place first.
  if (previous) Set(state_.Setting());
}

void PointerFeedback::Set(PointerSetting setting) {
  state_.Set(setting);
  ShowIfOver();
}

void PointerFeedback::ShowBusy() {
  // Asking where the mouse is costs more than asking what is shown, and mostly it is shown.
  if (::GetCursor() != ::LoadCursorW(nullptr, IDC_WAIT)) ShowIfOver();
}

void PointerFeedback::ShowDragging(bool canLand) {
  if (state_.Setting() != PointerSetting::Busy) {
    ::SetCursor(::LoadCursorW(nullptr, canLand ? IDC_ARROW : IDC_NO));
  }
}

void PointerFeedback::ShowIfOver() {
  POINT cursor;
  if (!::GetCursorPos(&cursor)) return;
  const HWND under = ::WindowFromPoint(cursor);
  if (under == window_ || ::IsChild(window_, under)) Show();
}

void PointerFeedback::Show() {
  switch (PointerToShow(state_.Setting(), HasHand())) {
    case ShownPointer::Arrow:
      ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
      break;
    case ShownPointer::Hourglass:
      ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
      break;
    case ShownPointer::CustomImage:
      ::SetCursor(hand_.Get());
      break;
    case ShownPointer::PlatformDefault:
      break;
  }
}

HoverTarget PointerFeedback::TargetOf(HWND control) const {
  if (control == window_) return HoverTarget::Background;
  const HWND list = ::GetDlgItem(window_, kListView1);
  if (control == list || ::IsChild(list, control)) return HoverTarget::FileList;
  if (::GetAncestor(control, GA_PARENT) == window_ && IsPictureButton(::GetDlgCtrlID(control))) {
    return HoverTarget::PictureButton;
  }
  return HoverTarget::Other;
}

bool PointerFeedback::OnSetCursor(HWND target, int hitTest, UINT mouseMessage) {
  if (state_.Setting() == PointerSetting::Busy) {
    // The hourglass covers every part of the window while a join runs: the frame, the list's
    // header and scroll bars, and the whole window while a dialog or message box disables it
    // (HTERROR), where the system's own handling still beeps at a click.
    if (hitTest == HTERROR) {
      ::DefWindowProcW(window_, WM_SETCURSOR, reinterpret_cast<WPARAM>(target),
                       MAKELPARAM(hitTest, mouseMessage));
    }
    Show();
    return true;
  }
  if (hitTest != HTCLIENT) return false;
  if (mouseMessage == WM_MOUSEMOVE) state_.OnHover(TargetOf(target));
  // The header keeps its own pointers, the divider's among them.
  if (target == ListView_GetHeader(::GetDlgItem(window_, kListView1))) return false;
  if (PointerToShow(state_.Setting(), HasHand()) == ShownPointer::PlatformDefault) return false;
  Show();
  return true;
}

}  // namespace folianto
