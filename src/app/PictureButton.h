#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "platform/UniqueHandle.h"

namespace folianto {

// A two-state picture button drawn by the program: a face of the window's choosing, raised when
// off and sunken when on, its picture centred above its caption in the system's button-text
// colour. Changing its value raises its click event, as a check box does; the click handlers
// reset it to 0 at once, so users meet it as a push button.
class PictureButton {
 public:
  using ClickHandler = std::function<void()>;

  // Created in place, the parent's client coordinates.
  HWND Create(HWND parent, int id, const std::wstring& caption, bool tabStop, const RECT& place);
  HWND Handle() const { return window_; }

  void SetPicture(UniqueIcon picture, int pictureSize);
  void OnClick(ClickHandler handler) { onClick_ = std::move(handler); }

  int Value() const { return value_; }
  // Raises the click event when the value changes.
  void SetValue(int value);
  // A press by mouse, space or Enter toggles the value, like a check box.
  void Press() { SetValue(value_ == 1 ? 0 : 1); }

  void Draw(const DRAWITEMSTRUCT& item, HBRUSH faceBrush) const;

 private:
  HWND window_ = nullptr;
  UniqueIcon picture_;
  int pictureSize_ = 32;
  int value_ = 0;
  mutable int drawnValue_ = 0;
  ClickHandler onClick_;
};

}  // namespace folianto
