#include "platform/Shell.h"

#include <shlobj.h>

#include "platform/SystemLibrary.h"
#include "platform/UiThread.h"
#include "platform/UniqueHandle.h"

namespace folianto {

namespace {

// shell32 is loaded with the first folder picker or drop, not at start-up.
template <typename Function>
Function Shell32(const char* name) {
  return SystemFunction<Function>(L"shell32.dll", name);
}

}  // namespace

std::wstring BrowseFolder(HWND owner, const std::wstring& title) {
  static const auto browse = Shell32<decltype(&::SHBrowseForFolderW)>("SHBrowseForFolderW");
  static const auto pathOf = Shell32<decltype(&::SHGetPathFromIDListEx)>("SHGetPathFromIDListEx");
  if (!browse || !pathOf || !StartComOnUiThread()) return {};
  BROWSEINFOW info{};
  info.hwndOwner = owner;
  info.lpszTitle = title.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS;
  const UniqueCoTaskMem<ITEMIDLIST> items(browse(&info));
  if (!items) return {};

  // Room for the longest path the system allows, not MAX_PATH: a deeper folder would be cut off.
  std::wstring path(32768, L'\0');
  if (!pathOf(items.Get(), path.data(), static_cast<DWORD>(path.size()), GPFIDL_DEFAULT)) {
    return {};
  }
  path.resize(path.find(L'\0'));
  return path;
}

std::vector<std::wstring> DroppedPaths(HDROP drop) {
  static const auto query = Shell32<decltype(&::DragQueryFileW)>("DragQueryFileW");
  static const auto finish = Shell32<decltype(&::DragFinish)>("DragFinish");
  std::vector<std::wstring> paths;
  if (!query || !finish) return paths;
  const UINT count = query(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    const UINT length = query(drop, i, nullptr, 0);
    std::wstring path(length + 1, L'\0');
    path.resize(query(drop, i, path.data(), length + 1));
    if (!path.empty()) paths.push_back(std::move(path));
  }
  finish(drop);
  return paths;
}

std::vector<std::wstring> ProgramArguments() {
  static const auto split = Shell32<decltype(&::CommandLineToArgvW)>("CommandLineToArgvW");
  std::vector<std::wstring> arguments;
  int count = 0;
  const UniqueLocalMemory<wchar_t*> argv(split ? split(::GetCommandLineW(), &count) : nullptr);
  for (int i = 1; argv && i < count; ++i)
    arguments.emplace_back(argv.Get()[i]);
  return arguments;
}

DWORD OpenWithItsProgram(HWND owner, const std::wstring& path) {
  static const auto execute = Shell32<decltype(&::ShellExecuteExW)>("ShellExecuteExW");
  if (!execute) return ERROR_PROC_NOT_FOUND;
  // A type's handlers may be COM objects.
  StartComOnUiThread();
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof(info);
  info.fMask = SEE_MASK_FLAG_NO_UI;
  info.hwnd = owner;
  info.lpFile = path.c_str();
  info.nShow = SW_SHOWNORMAL;
  if (execute(&info)) return ERROR_SUCCESS;
  DWORD error = ::GetLastError();
  if (error == ERROR_NO_ASSOCIATION) {
    // As Explorer does: the user chooses the program.
    info.fMask = 0;
    info.lpVerb = L"openas";
    if (execute(&info)) return ERROR_SUCCESS;
    error = ::GetLastError();
  }
  return error == ERROR_CANCELLED ? ERROR_SUCCESS : error;
}

bool ShowInFolder(const std::wstring& path) {
  static const auto parse = Shell32<decltype(&::SHParseDisplayName)>("SHParseDisplayName");
  static const auto show =
      Shell32<decltype(&::SHOpenFolderAndSelectItems)>("SHOpenFolderAndSelectItems");
  if (!parse || !show || !StartComOnUiThread()) return false;
  PIDLIST_ABSOLUTE parsed = nullptr;
  if (FAILED(parse(path.c_str(), nullptr, &parsed, 0, nullptr))) return false;
  const UniqueCoTaskMem<ITEMIDLIST> item(parsed);
  return SUCCEEDED(show(item.Get(), 0, nullptr, 0));
}

int CompareAsExplorer(const std::wstring& a, const std::wstring& b) {
  using CompareFunction = int(WINAPI*)(PCWSTR, PCWSTR);
  static const auto logical = SystemFunction<CompareFunction>(L"shlwapi.dll", "StrCmpLogicalW");
  if (logical) return logical(a.c_str(), b.c_str());
  return ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                static_cast<int>(b.size()), TRUE) -
         CSTR_EQUAL;
}

void AcceptDroppedFiles(HWND window) {
  // WM_COPYGLOBALDATA carries the drop's data; it has no name in the headers.
  constexpr UINT kCopyGlobalData = 0x0049;
  for (const UINT message : {static_cast<UINT>(WM_DROPFILES), kCopyGlobalData})
    ::ChangeWindowMessageFilterEx(window, message, MSGFLT_ALLOW, nullptr);
  // What DragAcceptFiles does, without loading shell32 before the first drop.
  ::SetWindowLongPtrW(window, GWL_EXSTYLE,
                      ::GetWindowLongPtrW(window, GWL_EXSTYLE) | WS_EX_ACCEPTFILES);
}

}  // namespace folianto
