#include "platform/Shell.h"

#include <shlobj.h>

#include "platform/UniqueHandle.h"

namespace folianto {

std::wstring BrowseFolder(HWND owner, const std::wstring& title) {
  BROWSEINFOW info{};
  info.hwndOwner = owner;
  info.lpszTitle = title.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS;
  const UniqueCoTaskMem<ITEMIDLIST> items(::SHBrowseForFolderW(&info));
  if (!items) return {};

  // Room for the longest path the system allows, not MAX_PATH: a deeper folder would be cut off.
  std::wstring path(32768, L'\0');
  if (!::SHGetPathFromIDListEx(items.Get(), path.data(), static_cast<DWORD>(path.size()),
                               GPFIDL_DEFAULT)) {
    return {};
  }
  path.resize(path.find(L'\0'));
  return path;
}

std::vector<std::wstring> DroppedPaths(HDROP drop) {
  std::vector<std::wstring> paths;
  const UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    const UINT length = ::DragQueryFileW(drop, i, nullptr, 0);
    std::wstring path(length + 1, L'\0');
    path.resize(::DragQueryFileW(drop, i, path.data(), length + 1));
    if (!path.empty()) paths.push_back(std::move(path));
  }
  ::DragFinish(drop);
  return paths;
}

void AcceptDroppedFiles(HWND window) {
  // WM_COPYGLOBALDATA carries the drop's data; it has no name in the headers.
  constexpr UINT kCopyGlobalData = 0x0049;
  for (const UINT message : {static_cast<UINT>(WM_DROPFILES), kCopyGlobalData}) {
    ::ChangeWindowMessageFilterEx(window, message, MSGFLT_ALLOW, nullptr);
  }
  ::DragAcceptFiles(window, TRUE);
}

}  // namespace folianto
