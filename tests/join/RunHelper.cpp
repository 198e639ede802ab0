// A program for RunAndWait to run in the tests. Usage:
//   exit CODE [FILE]   ends with CODE; writes to FILE the moment it ends (QueryPerformanceCounter)
//   sleep MS CODE      sleeps MS milliseconds, then ends with CODE
//   startup            ends with the show command it was given, + 100 when STARTF_USESHOWWINDOW
//                      was set, + 1000 when STARTF_USESTDHANDLES was
//   write TEXT         writes TEXT to standard output and "err:" TEXT to standard error
//   stdin              reads standard input to its end and ends with the number of bytes read
//   wait NAME          waits (a minute at most) for the event NAME, then sets the event NAME-done
// Copied as pdftk.exe, it is a join's tool that never ends: it writes its process id to the file
// "tool-started" beside itself and waits for ever.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

void Write(DWORD which, const std::wstring& text) {
  const std::string bytes(text.begin(), text.end());
  DWORD written = 0;
  ::WriteFile(::GetStdHandle(which), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
              nullptr);
}

int Number(const wchar_t* text) {
  return static_cast<int>(std::wcstol(text, nullptr, 10));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  wchar_t self[MAX_PATH] = {};
  const std::wstring path(self, ::GetModuleFileNameW(nullptr, self, MAX_PATH));
  if (path.ends_with(L"\\pdftk.exe")) {
    const std::wstring mark = path.substr(0, path.size() - 9) + L"tool-started";
    if (FILE* file = ::_wfopen(mark.c_str(), L"w")) {
      std::fprintf(file, "%lu", ::GetCurrentProcessId());
      std::fclose(file);
    }
    ::Sleep(INFINITE);
  }
  const std::wstring mode = argc > 1 ? argv[1] : L"";
  if (mode == L"exit" && argc > 2) {
    if (FILE* file = argc > 3 ? ::_wfopen(argv[3], L"w") : nullptr) {
      LARGE_INTEGER now;
      ::QueryPerformanceCounter(&now);
      std::fprintf(file, "%lld", static_cast<long long>(now.QuadPart));
      std::fclose(file);
    }
    return Number(argv[2]);
  }
  if (mode == L"sleep" && argc > 3) {
    ::Sleep(static_cast<DWORD>(Number(argv[2])));
    return Number(argv[3]);
  }
  if (mode == L"startup") {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    ::GetStartupInfoW(&startup);
    return startup.wShowWindow + ((startup.dwFlags & STARTF_USESHOWWINDOW) ? 100 : 0) +
           ((startup.dwFlags & STARTF_USESTDHANDLES) ? 1000 : 0);
  }
  if (mode == L"write" && argc > 2) {
    Write(STD_OUTPUT_HANDLE, argv[2]);
    Write(STD_ERROR_HANDLE, std::wstring(L"err:") + argv[2]);
    return 0;
  }
  if (mode == L"stdin") {
    int total = 0;
    char buffer[256];
    DWORD read = 0;
    while (::ReadFile(::GetStdHandle(STD_INPUT_HANDLE), buffer, sizeof(buffer), &read, nullptr) &&
           read > 0) {
      total += static_cast<int>(read);
    }
    return total;
  }
  if (mode == L"wait" && argc > 2) {
    const HANDLE release = ::OpenEventW(SYNCHRONIZE, FALSE, argv[2]);
    if (!release || ::WaitForSingleObject(release, 60000) != WAIT_OBJECT_0) return 2;
    const HANDLE done =
        ::OpenEventW(EVENT_MODIFY_STATE, FALSE, (std::wstring(argv[2]) + L"-done").c_str());
    if (!done) return 3;
    ::SetEvent(done);
    return 0;
  }
  return 1;
}
