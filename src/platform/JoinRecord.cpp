#include "platform/JoinRecord.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/Paths.h"

namespace folianto {

namespace {

// A record names a few dozen paths; anything much longer is no record of ours.
constexpr DWORD kMaxRecordBytes = 1024 * 1024;

std::wstring RecordsFolder() {
  const std::wstring temporary = TemporaryFolder();
  if (temporary.empty()) return {};
  return InFolder(temporary, L"folianto-joins");
}

uint64_t TimeValue(const FILETIME& time) {
  return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// When the process started: with its id, what tells it from a later process given the same id.
uint64_t StartOf(HANDLE process) {
  FILETIME created, exited, kernel, user;
  if (!::GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
  return TimeValue(created);
}

std::string Utf8(const std::wstring& text) {
  const int length = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(std::max(length, 0)), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(),
                        length, nullptr, nullptr);
  return bytes;
}

std::wstring FromUtf8(const std::string& bytes) {
  const int length =
      ::MultiByteToWideChar(CP_UTF8, 0, bytes.c_str(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring text(static_cast<size_t>(std::max(length, 0)), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, bytes.c_str(), static_cast<int>(bytes.size()), text.data(),
                        length);
  return text;
}

// Something a join of Folianto made: under one of its names, or in a folder of one.
bool MadeByFolianto(const std::wstring& path) {
  return IsMadeName(NameOfPath(path)) || IsMadeName(NameOfPath(FolderOfPath(path)));
}

bool StillRuns(DWORD id, uint64_t start) {
  const UniqueKernelHandle process(
      ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, id));
  // A process this user may not look at is there all the same.
  if (!process) return ::GetLastError() == ERROR_ACCESS_DENIED;
  return ::WaitForSingleObject(process.Get(), 0) == WAIT_TIMEOUT && StartOf(process.Get()) == start;
}

// A folder the join made, with the files in it: those the tool wrote there are named by no record.
bool RemoveOwnFolder(const std::wstring& folder) {
  if (IsMadeName(NameOfPath(folder))) {
    WIN32_FIND_DATAW found;
    const UniqueFindHandle search(::FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic,
                                                     &found, FindExSearchNameMatch, nullptr, 0));
    if (search) {
      do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
          RemoveFile(folder + L"\\" + found.cFileName);
      } while (::FindNextFileW(search.Get(), &found));
    }
  }
  return RemoveFolder(folder);
}

std::string ReadAll(HANDLE file) {
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file, &size) || size.QuadPart > kMaxRecordBytes) return {};
  std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
  DWORD read = 0;
  if (!::ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) return {};
  bytes.resize(read);
  return bytes;
}

// Removes what the record names once its join's program and tools have ended, then the record.
void RemoveWhatIsLeft(const std::wstring& record) {
  // Its program holds the record open, without sharing its deletion, for as long as it runs.
  const UniqueFileHandle file(::CreateFileW(record.c_str(), GENERIC_READ | DELETE,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                            nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file) return;
  std::vector<std::wstring> made;
  const std::string text = ReadAll(file.Get());
  for (size_t begin = 0, end; begin < text.size(); begin = end + 1) {
    end = std::min(text.find('\n', begin), text.size());
    const std::string line = text.substr(begin, end - begin);
    if (line.starts_with("made ")) made.push_back(FromUtf8(line.substr(5)));
    unsigned long id = 0;
    unsigned long long start = 0;
    if (std::sscanf(line.c_str(), "tool %lu %llu", &id, &start) == 2 && StillRuns(id, start))
      return;
  }
  bool allGone = true;
  // Backwards: what is in a folder goes before the folder.
  for (auto path = made.rbegin(); path != made.rend(); ++path) {
    if (!MadeByFolianto(*path)) continue;
    // A link to a read-only input keeps the input's attributes as they were.
    allGone = (IsFolder(*path) ? RemoveOwnFolder(*path) : RemoveFile(*path)) && allGone;
  }
  if (allGone) MarkForRemoval(file.Get(), true);
}

}  // namespace

JoinRecord::~JoinRecord() {
  if (!file_) return;
  if (!keep_) MarkForRemoval(file_.Get(), true);
  file_.Reset();
  if (!keep_) ::RemoveDirectoryW(FolderOfPath(path_).c_str());
}

void JoinRecord::Made(const std::wstring& path) {
  Write("made " + Utf8(path) + "\n");
}

void JoinRecord::ToolStarted(HANDLE process) {
  if (!file_) return;
  Write("tool " + std::to_string(::GetProcessId(process)) + " " + std::to_string(StartOf(process)) +
        "\n");
}

void JoinRecord::Write(const std::string& line) {
  static unsigned joins = 0;
  // Another start may remove the folder the moment it is empty: made again then.
  for (int attempt = 0; !file_ && attempt < 3; ++attempt) {
    const std::wstring folder = RecordsFolder();
    if (folder.empty()) return;
    ::CreateDirectoryW(folder.c_str(), nullptr);
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    path_ = folder + L"\\" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
            std::to_wstring(++joins) + L"-" + std::to_wstring(now.QuadPart) + L".join";
    file_.Reset(::CreateFileW(path_.c_str(), GENERIC_WRITE | DELETE, FILE_SHARE_READ, nullptr,
                              CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
  }
  DWORD written = 0;
  if (file_)
    ::WriteFile(file_.Get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

void RemoveWhatEndedJoinsLeft() {
  const std::wstring folder = RecordsFolder();
  if (folder.empty() || !IsFolder(folder)) return;
  WIN32_FIND_DATAW found;
  const UniqueFindHandle search(::FindFirstFileExW((folder + L"\\*.join").c_str(), FindExInfoBasic,
                                                   &found, FindExSearchNameMatch, nullptr, 0));
  if (search) {
    do {
      RemoveWhatIsLeft(folder + L"\\" + found.cFileName);
    } while (::FindNextFileW(search.Get(), &found));
  }
  ::RemoveDirectoryW(folder.c_str());
}

}  // namespace folianto
