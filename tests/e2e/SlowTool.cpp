// Stands in for pdftk.exe in the scenarios that act during a join: it marks its start with its
// current folder and, after a pause long enough to close the window in or to look at the pointer
// (FOLIANTO_SLOW_TOOL_MS, 8 s unless set; for every run after the first beside it,
// FOLIANTO_SLOW_TOOL_LATER_MS where set), writes the inputs' bytes one after another to its
// output, marks its end and exits with FOLIANTO_SLOW_TOOL_EXIT (0 unless set). The marks are
// lines added to files beside itself, one per run, so the driver can see that the tools were
// running and that they went on after the program's window had gone.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>

namespace {

DWORD NumberFromEnvironment(const wchar_t* name, DWORD otherwise) {
  wchar_t value[16] = {};
  const DWORD length = ::GetEnvironmentVariableW(name, value, 16);
  if (length == 0 || length >= 16) return otherwise;
  return static_cast<DWORD>(std::wcstoul(value, nullptr, 10));
}

std::wstring OwnFolder() {
  wchar_t path[MAX_PATH] = {};
  const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, length);
  return folder.substr(0, folder.find_last_of(L'\\'));
}

// Adds a line to the mark file of that name beside the tool.
void Mark(const std::wstring& name, const std::wstring& line) {
  if (FILE* file = ::_wfopen((OwnFolder() + L"\\" + name).c_str(), L"a")) {
    std::fprintf(file, "%ls\n", line.c_str());
    std::fclose(file);
  }
}

std::string ReadAll(const std::wstring& path) {
  std::string bytes;
  if (FILE* file = ::_wfopen(path.c_str(), L"rb")) {
    char buffer[4096];
    for (size_t read; (read = std::fread(buffer, 1, sizeof(buffer), file)) > 0;)
      bytes.append(buffer, read);
    std::fclose(file);
  }
  return bytes;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  wchar_t current[MAX_PATH] = {};
  ::GetCurrentDirectoryW(MAX_PATH, current);
  Mark(L"slow-tool-started", current);
  Mark(L"slow-tool-ids", std::to_wstring(::GetCurrentProcessId()));
  const std::string started = ReadAll(OwnFolder() + L"\\slow-tool-started");
  const DWORD pause = NumberFromEnvironment(L"FOLIANTO_SLOW_TOOL_MS", 8000);
  const bool later = std::count(started.begin(), started.end(), '\n') > 1;
  ::Sleep(later ? NumberFromEnvironment(L"FOLIANTO_SLOW_TOOL_LATER_MS", pause) : pause);

  // The handle assignments (A=path) and the path after "output", as pdftk reads them.
  std::string joined;
  for (int i = 1; i < argc; ++i) {
    const std::wstring argument = argv[i];
    if (argument.size() > 2 && argument[1] == L'=') joined += ReadAll(argument.substr(2));
    if (argument != L"output" || i + 1 == argc) continue;
    if (FILE* output = ::_wfopen(argv[i + 1], L"wb")) {
      std::fwrite(joined.data(), 1, joined.size(), output);
      std::fclose(output);
    }
  }
  Mark(L"slow-tool-finished", L"");
  return static_cast<int>(NumberFromEnvironment(L"FOLIANTO_SLOW_TOOL_EXIT", 0));
}
