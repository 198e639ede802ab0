// Dragging an entry to another place in the list, with a line where it will land.
#include "app/Form1.h"

#include <commctrl.h>

#include <algorithm>

#include "filelist/ListEditing.h"
#include "platform/ControlHook.h"

namespace folianto {

namespace {

constexpr UINT kDragScrollMilliseconds = 80;

struct Rows {
  int top;     // the first row shown, 0-based
  int y;       // where it starts, in the list's client coordinates
  int height;  // of every row
  RECT area;   // the client area below the header
};

// The rows of a report view, which all have one height.
bool RowsOf(HWND list, Rows& rows) {
  ::GetClientRect(list, &rows.area);
  RECT header;
  if (::GetWindowRect(ListView_GetHeader(list), &header)) {
    rows.area.top = std::min(rows.area.bottom, rows.area.top + header.bottom - header.top);
  }
  rows.top = ListView_GetTopIndex(list);
  RECT first{};
  if (!ListView_GetItemRect(list, rows.top, &first, LVIR_BOUNDS)) return false;
  rows.y = first.top;
  rows.height = std::max(1, static_cast<int>(first.bottom - first.top));
  return true;
}

// Where a point of the screen lies in the list's client coordinates; false outside the list.
bool PointInList(HWND list, POINT screen, POINT& at) {
  RECT bounds;
  if (!::GetWindowRect(list, &bounds) || !::PtInRect(&bounds, screen)) return false;
  at = screen;
  return ::ScreenToClient(list, &at);
}

}  // namespace

void Form1::SendToListTip(UINT message, WPARAM wParam) const {
  if (const HWND tip = TooltipOver(ListView1.Handle())) ::SendMessageW(tip, message, wParam, 0);
}

void Form1::BeginDrag(int item) {
  if (item < 0 || dragFrom_ != 0) return;
  dragFrom_ = item + 1;
  dragGap_ = -1;
  ListView1.Select(dragFrom_);
  // The list's tip would hide the rows the entry is dragged over.
  SendToListTip(TTM_ACTIVATE, FALSE);
  ::SetCapture(window_);
  ::SetTimer(window_, kDragScrollTimer, kDragScrollMilliseconds, nullptr);
  POINT cursor;
  if (::GetCursorPos(&cursor)) DragTo(cursor);
}

int Form1::DropGap(POINT screen) const {
  const HWND list = ListView1.Handle();
  Rows rows;
  POINT at;
  if (!PointInList(list, screen, at) || !RowsOf(list, rows)) return -1;
  // Over the header counts as the top of the rows shown.
  const int offset = std::max(0, static_cast<int>(at.y - rows.y));
  const int row = rows.top + offset / rows.height;
  const int count = ListView1.Count();
  if (row >= count) return count;
  // Before the entry in its upper half, after it in its lower half.
  return offset % rows.height < rows.height / 2 ? row : row + 1;
}

RECT Form1::InsertionMark(int gap) const {
  Rows rows;
  if (gap < 0 || !RowsOf(ListView1.Handle(), rows)) return {};
  const int y = rows.y + (gap - rows.top) * rows.height;
  const int thickness = std::max(2, static_cast<int>(dpi_) / 48);
  // A mark in the gap above the first row shown, or below the last (the list's end, when it is
  // scrolled there), is drawn whole inside the rows.
  const int lowest = std::max<int>(rows.area.top, rows.area.bottom - thickness);
  const int top = std::clamp<int>(y - thickness / 2, rows.area.top, lowest);
  return {rows.area.left, top, rows.area.right, top + thickness};
}

void Form1::DragTo(POINT screen) {
  const int gap = DropGap(screen);
  if (gap != dragGap_) {
    const HWND list = ListView1.Handle();
    for (const int shown : {dragGap_, gap}) {
      const RECT mark = InsertionMark(shown);
      ::InvalidateRect(list, &mark, TRUE);
    }
    dragGap_ = gap;
  }
  // Letting go outside the list does nothing, and the pointer says so.
  if (pointer_.Setting() != PointerSetting::Busy) {
    ::SetCursor(::LoadCursorW(nullptr, gap < 0 ? IDC_NO : IDC_ARROW));
  }
}

void Form1::ScrollWhileDragging() {
  if (dragFrom_ == 0) return;
  // A tip whose delay began as the drag did shows even when turned off.
  SendToListTip(TTM_POP, 0);
  const HWND list = ListView1.Handle();
  POINT cursor;
  POINT at;
  Rows rows;
  if (!::GetCursorPos(&cursor) || !PointInList(list, cursor, at) || !RowsOf(list, rows)) return;
  int step = 0;
  if (at.y < rows.area.top + rows.height) step = -1;
  if (at.y >= rows.area.bottom - rows.height) step = 1;
  if (step == 0) return;
  ::SendMessageW(list, LVM_SCROLL, 0, step * rows.height);
  // The rows moved under the mark.
  ::InvalidateRect(list, nullptr, TRUE);
  DragTo(cursor);
}

void Form1::EndDrag(bool drop) {
  if (dragFrom_ == 0) return;
  const int from = std::exchange(dragFrom_, 0);
  const int gap = dragGap_;
  const RECT mark = InsertionMark(gap);
  dragGap_ = -1;
  ::KillTimer(window_, kDragScrollTimer);
  if (::GetCapture() == window_) ::ReleaseCapture();
  ::InvalidateRect(ListView1.Handle(), &mark, TRUE);
  SendToListTip(TTM_ACTIVATE, TRUE);
  if (drop && gap >= 0) {
    const int to = PositionAfterDrop(from, gap);
    if (to != from) history_.Move(ListView1, from, to);
    ListView1.Select(to);
  }
  ShowPointer();
}

LRESULT Form1::OnListCustomDraw(const NMLVCUSTOMDRAW& draw) {
  if (dragFrom_ == 0 || dragGap_ < 0) return CDRF_DODEFAULT;
  if (draw.nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYPOSTPAINT;
  if (draw.nmcd.dwDrawStage == CDDS_POSTPAINT) {
    const RECT mark = InsertionMark(dragGap_);
    // The list's own text colour reads on its background in every scheme.
    ::FillRect(draw.nmcd.hdc, &mark, ::GetSysColorBrush(COLOR_WINDOWTEXT));
  }
  return CDRF_DODEFAULT;
}

}  // namespace folianto
