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

  wchar_t path[MAX_PATH] = {};
  if (!::SHGetPathFromIDListW(items.Get(), path)) return {};
  return path;
}

}  // namespace folianto
