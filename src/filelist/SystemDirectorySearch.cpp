#include "filelist/SystemDirectorySearch.h"

#include <windows.h>

#include "platform/FileSystem.h"
#include "platform/UniqueHandle.h"

namespace folianto {

namespace {

class FindFileSearch final : public DirectorySearch {
 public:
  SearchResult Find(const std::wstring& path) override {
    SearchResult result;
    WIN32_FIND_DATAW data;
    // The basic information leaves out the short names, and large fetches ask the file system
    // for many entries per call.
    const UniqueFindHandle search(::FindFirstFileExW(path.c_str(), FindExInfoBasic, &data,
                                                     FindExSearchNameMatch, nullptr,
                                                     FIND_FIRST_EX_LARGE_FETCH));
    if (!search) {
      const DWORD error = ::GetLastError();
      // The folder is there and nothing in it matches.
      if (error != ERROR_FILE_NOT_FOUND) result.error = error;
      return result;
    }
    do {
      result.entries.push_back({data.cFileName, data.dwFileAttributes});
    } while (::FindNextFileW(search.Get(), &data));
    const DWORD error = ::GetLastError();
    if (error != ERROR_NO_MORE_FILES) {
      result.entries.clear();
      result.error = error;
    }
    return result;
  }

  std::optional<FileIdentity> IdentityOf(const std::wstring& folder) override {
    return folianto::IdentityOf(folder);
  }
};

}  // namespace

DirectorySearch& SystemDirectorySearch() {
  static FindFileSearch search;
  return search;
}

}  // namespace folianto
