#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>

#include "filelist/ListViewFileList.h"

namespace folianto {

// Dragging an entry of the File list to another place: an insertion mark shows where it will land,
// and the list scrolls while the pointer rests at its top or bottom edge. Escape, letting go
// outside the list, or any change to the list meanwhile ends the drag where it began.
class DragToReorder {
 public:
  // One of the window's timers; the wait after a close has the other.
  static constexpr UINT_PTR kScrollTimer = 1;

  explicit DragToReorder(ListViewFileList& list) : list_(list) {}
  // The window that takes the mouse during the drag and holds the timer.
  void Attach(HWND window) { window_ = window; }

  // Moves the dropped entry from one position to another.
  std::function<void(int from, int to)> onDrop;
  // The window's dpi, which the insertion mark's thickness follows.
  std::function<UINT()> dpi;
  // Shows the pointer during the drag, where the entry can land or cannot.
  std::function<void(bool canLand)> showDragPointer;
  // Shows the window's own pointer again after the drag.
  std::function<void()> showPointer;

  bool Dragging() const { return from_ != 0; }
  // item is 0-based.
  void Begin(int item);
  void To(POINT screen);
  // drop: the entry lands at the insertion mark; otherwise the drag ends where it began.
  void End(bool drop);
  // On the scroll timer.
  void Scroll();
  // The list's custom drawing draws the insertion mark.
  LRESULT OnCustomDraw(const NMLVCUSTOMDRAW& draw) const;

 private:
  // The gap a point of the screen lies in; -1 outside the list.
  int Gap(POINT screen) const;
  RECT InsertionMark(int gap) const;
  void SendToTip(UINT message, WPARAM wParam) const;

  ListViewFileList& list_;
  HWND window_ = nullptr;
  // The entry being dragged (0: none), and the gap it would drop into (-1: none, outside the
  // list).
  int from_ = 0;
  int gap_ = -1;
};

}  // namespace folianto
