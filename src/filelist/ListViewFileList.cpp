#include "filelist/ListViewFileList.h"

#include <commctrl.h>

#include <vector>

namespace folianto {

int ListViewFileList::Count() const {
  return static_cast<int>(::SendMessageW(listView_, LVM_GETITEMCOUNT, 0, 0));
}

std::wstring ListViewFileList::Text(int position) const {
  // The control copies at most the buffer's size and says how much it copied; a full buffer may
  // mean a longer text, so grow until it fits.
  std::vector<wchar_t> buffer(512);
  for (;;) {
    LVITEMW item{};
    item.iSubItem = 0;
    item.pszText = buffer.data();
    item.cchTextMax = static_cast<int>(buffer.size());
    const auto length = static_cast<size_t>(::SendMessageW(listView_, LVM_GETITEMTEXTW,
                                                           static_cast<WPARAM>(position - 1),
                                                           reinterpret_cast<LPARAM>(&item)));
    if (length + 1 < buffer.size()) return std::wstring(buffer.data(), length);
    buffer.resize(buffer.size() * 2);
  }
}

void ListViewFileList::Append(const std::wstring& text) {
  Insert(Count() + 1, text);
}

void ListViewFileList::Insert(int position, const std::wstring& text) {
  LVITEMW item{};
  item.mask = LVIF_TEXT;
  item.iItem = position - 1;
  item.pszText = const_cast<wchar_t*>(text.c_str());
  ::SendMessageW(listView_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

void ListViewFileList::Remove(int position) {
  ::SendMessageW(listView_, LVM_DELETEITEM, static_cast<WPARAM>(position - 1), 0);
}

int ListViewFileList::Selected() const {
  const auto index = static_cast<int>(
      ::SendMessageW(listView_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  return index + 1;
}

void ListViewFileList::Select(int position) {
  LVITEMW clear{};
  clear.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  ::SendMessageW(listView_, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>(&clear));
  if (position < 1) return;
  LVITEMW select{};
  select.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  select.state = LVIS_SELECTED | LVIS_FOCUSED;
  ::SendMessageW(listView_, LVM_SETITEMSTATE, static_cast<WPARAM>(position - 1),
                 reinterpret_cast<LPARAM>(&select));
  ::SendMessageW(listView_, LVM_ENSUREVISIBLE, static_cast<WPARAM>(position - 1), FALSE);
}

void ListViewFileList::AppendAll(std::span<const std::wstring> texts) {
  if (texts.empty()) return;
  // Redraw is off during the appends so thousands of entries cost one repaint.
  ::SendMessageW(listView_, WM_SETREDRAW, FALSE, 0);
  int position = Count();
  for (const auto& text : texts)
    Insert(++position, text);
  ::SendMessageW(listView_, WM_SETREDRAW, TRUE, 0);
  ::InvalidateRect(listView_, nullptr, TRUE);
}

void ListViewFileList::RemoveAll() {
  ::SendMessageW(listView_, LVM_DELETEALLITEMS, 0, 0);
}

}  // namespace folianto
