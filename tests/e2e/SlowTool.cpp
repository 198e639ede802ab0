// Stands in for pdftk.exe in the scenarios that act during a join: it marks its start and, after
// a pause long enough to close the window in or to look at the pointer (FOLIANTO_SLOW_TOOL_MS, 8 s
// unless set), its end, in files beside itself, so the driver can see that the tool was running
// and that it went on after the program ended.
#include <windows.h>

#include <cwchar>
#include <string>

namespace {

constexpr DWORD kDefaultRunMilliseconds = 8000;

DWORD RunMilliseconds() {
  wchar_t value[16] = {};
  const DWORD length = ::GetEnvironmentVariableW(L"FOLIANTO_SLOW_TOOL_MS", value, 16);
  if (length == 0 || length >= 16) return kDefaultRunMilliseconds;
  return static_cast<DWORD>(std::wcstoul(value, nullptr, 10));
}

std::wstring OwnFolder() {
  wchar_t path[MAX_PATH] = {};
  const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, length);
  return folder.substr(0, folder.find_last_of(L'\\'));
}

void Mark(const std::wstring& path) {
  const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) ::CloseHandle(file);
}

}  // namespace

int wmain() {
  const std::wstring folder = OwnFolder();
  Mark(folder + L"\\slow-tool-started");
  ::Sleep(RunMilliseconds());
  Mark(folder + L"\\slow-tool-finished");
  return 0;
}
