// Stands in for pdftk.exe where only the join command's own work is timed: it creates the file
// named after "output", empty, and ends at once, so that every run waits the same short while.
// With FOLIANTO_STAND_IN_MS in its environment it first takes that many milliseconds, as a tool
// at work would.
#include <windows.h>

#include <cstdio>
#include <cwchar>

int wmain(int argc, wchar_t** argv) {
  wchar_t milliseconds[16];
  if (::GetEnvironmentVariableW(L"FOLIANTO_STAND_IN_MS", milliseconds, 16) > 0) {
    ::Sleep(static_cast<DWORD>(std::wcstoul(milliseconds, nullptr, 10)));
  }
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::wcscmp(argv[i], L"output") != 0) continue;
    FILE* output = ::_wfopen(argv[i + 1], L"wb");
    if (!output) return 1;
    std::fclose(output);
    return 0;
  }
  return 2;
}
