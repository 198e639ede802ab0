#pragma once

#include <windows.h>

#include <string>

#include "app/PointerState.h"
#include "platform/UniqueHandle.h"

namespace folianto {

// The pointer over the window: the hand of HAND-M.CUR over the picture buttons, the arrow over the
// list and the background, the hourglass over everything while a join runs, and during a drag
// whether the entry can land.
class PointerFeedback {
 public:
  // applicationFolder is where HAND-M.CUR is looked up.
  explicit PointerFeedback(std::wstring applicationFolder)
      : applicationFolder_(std::move(applicationFolder)) {}
  void Attach(HWND window) { window_ = window; }

  // The hand at the window's dpi, where HAND-M.CUR is a pointer; again at every new dpi.
  void LoadHand(UINT dpi);
  bool HasHand() const { return static_cast<bool>(hand_); }

  PointerSetting Setting() const { return state_.Setting(); }
  // Also shows the new pointer at once when the mouse is over the window.
  void Set(PointerSetting setting);
  // Shows the hourglass again where a dialog or message box left another pointer.
  void ShowBusy();
  // During a drag: the arrow where the entry can land, the "no" sign elsewhere; an hourglass
  // stays.
  void ShowDragging(bool canLand);
  // Shows what the setting says.
  void Show();
  // WM_SETCURSOR; true when it has set the pointer.
  bool OnSetCursor(HWND target, int hitTest, UINT mouseMessage);

 private:
  HoverTarget TargetOf(HWND control) const;
  void ShowIfOver();

  std::wstring applicationFolder_;
  HWND window_ = nullptr;
  PointerState state_;
  UniqueCursor hand_;
};

}  // namespace folianto
