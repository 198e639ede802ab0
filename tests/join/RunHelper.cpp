// A program for RunAndWait to run in the tests. Usage:
//   exit CODE [FILE]   ends with CODE; writes to FILE the moment it ends (QueryPerformanceCounter)
//   sleep MS CODE      sleeps MS milliseconds, then ends with CODE
//   startup            ends with the show command it was given, + 100 when STARTF_USESHOWWINDOW
//                      was set, + 1000 when STARTF_USESTDHANDLES was
//   write TEXT         writes TEXT to standard output and "err:" TEXT to standard error
//   stdin              reads standard input to its end and ends with the number of bytes read
//   wait NAME          waits (a minute at most) for the event NAME, then sets the event NAME-done
//   set HANDLE...      sets each event whose handle value (hexadecimal) it holds
// Copied as pdftk.exe, it is a join's tool, whose messages name a path in code page 1252:
//   ... verbose          reports a page of each input on its output
//   ... dump_data_utf8   writes a bookmark with a Greek title on its output, in UTF-8
//   ... update_info FILE keeps a copy of FILE as "outline-read" beside itself and fails
//   ... output FILE      with "crash-half-way" beside it: writes the start of a PDF file to FILE
//                        and crashes
//   anything else        never ends: writes its process id to "tool-started" beside itself and
//                        waits for ever
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <string_view>

namespace {

void WriteBytes(DWORD which, std::string_view bytes) {
  DWORD written = 0;
  ::WriteFile(::GetStdHandle(which), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
              nullptr);
}

void Write(DWORD which, const std::wstring& text) {
  WriteBytes(which, std::string(text.begin(), text.end()));
}

int Number(const wchar_t* text) {
  return static_cast<int>(std::wcstol(text, nullptr, 10));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  wchar_t self[MAX_PATH] = {};
  const std::wstring path(self, ::GetModuleFileNameW(nullptr, self, MAX_PATH));
  if (path.ends_with(L"\\pdftk.exe")) {
    const std::wstring folder = path.substr(0, path.size() - 9);
    const std::wstring_view last = argc > 1 ? argv[argc - 1] : L"";
    int updateInfo = 0;
    for (int i = 1; i + 1 < argc; ++i) {
      if (argv[i] == std::wstring_view(L"update_info")) updateInfo = i;
    }
    if (last == L"verbose" || last == L"dump_data_utf8" || updateInfo) {
      WriteBytes(STD_ERROR_HANDLE, "Warning: C:\\caf\xE9\\in.pdf\r\n");
      if (updateInfo) {
        ::CopyFileW(argv[updateInfo + 1], (folder + L"outline-read").c_str(), FALSE);
        WriteBytes(STD_ERROR_HANDLE, "Error: could not write C:\\caf\xE9\\out.pdf\r\n");
        return 1;
      }
      if (last == L"dump_data_utf8") {
        WriteBytes(STD_OUTPUT_HANDLE,
                   "BookmarkBegin\nBookmarkTitle: \xCE\x93\xCE\xAC\xCE\xBC\xCE\xBC\xCE\xB1\n"
                   "BookmarkLevel: 1\nBookmarkPageNumber: 1\n");
        return 0;
      }
      for (int i = 1; i < argc; ++i) {
        if (std::wcschr(argv[i], L'=')) WriteBytes(STD_OUTPUT_HANDLE, "   Adding page 1 X\r\n");
      }
      return 0;
    }
    if (::GetFileAttributesW((folder + L"crash-half-way").c_str()) != INVALID_FILE_ATTRIBUTES &&
        argc > 2 && argv[argc - 2] == std::wstring_view(L"output")) {
      if (FILE* output = ::_wfopen(argv[argc - 1], L"wb")) {
        std::fputs("%PDF-1.4\n1 0 obj\n<< /Type /Cat", output);
        std::fclose(output);
      }
      return static_cast<int>(0xC0000005);
    }
    const std::wstring mark = folder + L"tool-started";
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
  if (mode == L"set") {
    for (int i = 2; i < argc; ++i)
      ::SetEvent(reinterpret_cast<HANDLE>(std::wcstoull(argv[i], nullptr, 16)));
    return 0;
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
