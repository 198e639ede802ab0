// Stands in for pdftk.exe where only the join command's own work is timed: it creates the file
// named after "output", empty, and ends at once, so that every run waits the same single poll.
#include <cstdio>
#include <cwchar>

int wmain(int argc, wchar_t** argv) {
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::wcscmp(argv[i], L"output") != 0) continue;
    FILE* output = ::_wfopen(argv[i + 1], L"wb");
    if (!output) return 1;
    std::fclose(output);
    return 0;
  }
  return 2;
}
