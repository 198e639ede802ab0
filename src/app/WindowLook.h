#pragma once

#include <windows.h>

#include <functional>
#include <map>

#include "app/Layout.h"
#include "app/PictureButton.h"
#include "platform/UniqueHandle.h"

namespace folianto {

// How the window looks at its dpi: its size, the controls' places, fonts and pictures, the File
// list's column widths, and its colours: the designed white faces while the system's button text
// reads on white, the system's own colours otherwise (a high-contrast scheme, or light button
// text); the pictures stay as they are. Layout numbers are twips, turned into pixels here.
class WindowLook {
 public:
  // A fixed frame that can be minimised, never maximised or resized.
  static constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  static constexpr DWORD kWindowExStyle = 0;

  // buttonById gives the picture button of a control id.
  explicit WindowLook(std::function<PictureButton*(int id)> buttonById)
      : buttonById_(std::move(buttonById)) {}

  // The outer size to make the window in: its designed size at the dpi of the screen it opens on.
  SIZE OuterSizeOnScreen();
  // The window made: at its own dpi its client area takes the designed size.
  void Attach(HWND window);
  // Once the controls are made: their colours, fonts and pictures.
  void Dress();

  UINT Dpi() const { return dpi_; }
  RECT PlaceOf(const ControlSpec& control) const;
  int FileListColumnWidth(int column) const;
  // Lays the window out again at the new dpi, in the rectangle the system suggests.
  void OnDpiChanged(UINT dpi, const RECT& suggested);

  // The system's colours changed, or high contrast went on or off.
  void OnColoursChanged();
  HBRUSH FaceBrush() const;
  HBRUSH BackgroundBrush() const;
  // Sets the label's colours on dc; the brush of its background.
  HBRUSH ColourLabel(HDC dc) const;

 private:
  SIZE DesignedOuterSize() const;
  SIZE DesignedClientSize() const;
  void SizeWindow();
  void KeepDesignedClientSize();
  void ApplyFonts();
  void LoadPictures();
  void ChooseColours();

  std::function<PictureButton*(int id)> buttonById_;
  HWND window_ = nullptr;
  UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
  bool designedColours_ = true;
  std::map<int, UniqueFont> fonts_;  // by size in centipoints
};

}  // namespace folianto
