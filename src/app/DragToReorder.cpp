#include "app/DragToReorder.h"

#include <algorithm>
#include <utility>

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

void DragToReorder::SendToTip(UINT message, WPARAM wParam) const {
  if (const HWND tip = TooltipOver(list_.Handle())) ::SendMessageW(tip, message, wParam, 0);
}

void DragToReorder::Begin(int item) {
  if (item < 0 || from_ != 0) return;
  from_ = item + 1;
  gap_ = -1;
  list_.Select(from_);
  // The list's tip would hide the rows the entry is dragged over.
  SendToTip(TTM_ACTIVATE, FALSE);
  ::SetCapture(window_);
  ::SetTimer(window_, kScrollTimer, kDragScrollMilliseconds, nullptr);
  POINT cursor;
  if (::GetCursorPos(&cursor)) To(cursor);
}

int DragToReorder::Gap(POINT screen) const {
  const HWND list = list_.Handle();
  Rows rows;
  POINT at;
  if (!PointInList(list, screen, at) || !RowsOf(list, rows)) return -1;
  // Over the header counts as the top of the rows shown.
  const int offset = std::max(0, static_cast<int>(at.y - rows.y));
  const int row = rows.top + offset / rows.height;
  const int count = list_.Count();
  if (row >= count) return count;
  // Before the entry in its upper half, after it in its lower half.
  return offset % rows.height < rows.height / 2 ? row : row + 1;
}

RECT DragToReorder::InsertionMark(int gap) const {
  Rows rows;
  if (gap < 0 || !RowsOf(list_.Handle(), rows)) return {};
  const int y = rows.y + (gap - rows.top) * rows.height;
  const int thickness = std::max(2, static_cast<int>(dpi()) / 48);
  // An insertion mark in the gap above the first row shown, or below the last (the list's end, when
  // it is scrolled there), is drawn whole inside the rows.
  const int lowest = std::max<int>(rows.area.top, rows.area.bottom - thickness);
  const int top = std::clamp<int>(y - thickness / 2, rows.area.top, lowest);
  return {rows.area.left, top, rows.area.right, top + thickness};
}

void DragToReorder::To(POINT screen) {
  const int gap = Gap(screen);
  if (gap != gap_) {
    const HWND list = list_.Handle();
    for (const int shown : {gap_, gap}) {
      const RECT mark = InsertionMark(shown);
      ::InvalidateRect(list, &mark, TRUE);
    }
    gap_ = gap;
  }
  // Letting go outside the list does nothing, and the pointer says so.
  showDragPointer(gap >= 0);
}

void DragToReorder::Scroll() {
  if (from_ == 0) return;
  // A tip whose delay began as the drag did shows even when turned off.
  SendToTip(TTM_POP, 0);
  const HWND list = list_.Handle();
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
  To(cursor);
}

void DragToReorder::End(bool drop) {
  if (from_ == 0) return;
  const int from = std::exchange(from_, 0);
  const int gap = gap_;
  const RECT mark = InsertionMark(gap);
  gap_ = -1;
  ::KillTimer(window_, kScrollTimer);
  if (::GetCapture() == window_) ::ReleaseCapture();
  ::InvalidateRect(list_.Handle(), &mark, TRUE);
  SendToTip(TTM_ACTIVATE, TRUE);
  if (drop && gap >= 0) {
    const int to = PositionAfterDrop(from, gap);
    if (to != from) onDrop(from, to);
    list_.Select(to);
  }
  showPointer();
}

LRESULT DragToReorder::OnCustomDraw(const NMLVCUSTOMDRAW& draw) const {
  if (from_ == 0 || gap_ < 0) return CDRF_DODEFAULT;
  if (draw.nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYPOSTPAINT;
  if (draw.nmcd.dwDrawStage == CDDS_POSTPAINT) {
    const RECT mark = InsertionMark(gap_);
    // The list's own text colour reads on its background in every scheme.
    ::FillRect(draw.nmcd.hdc, &mark, ::GetSysColorBrush(COLOR_WINDOWTEXT));
  }
  return CDRF_DODEFAULT;
}

}  // namespace folianto
