#include "platform/Paths.h"

namespace folianto {

std::wstring FolderOfPath(std::wstring_view path) {
  const size_t slash = path.find_last_of(L"\\/");
  if (slash == std::wstring_view::npos) return {};
  const std::wstring_view folder = path.substr(0, slash);
  if (folder.size() == 2 && folder[1] == L':') return std::wstring(path.substr(0, slash + 1));
  return std::wstring(folder);
}

std::wstring NameOfPath(std::wstring_view path) {
  return std::wstring(path.substr(path.find_last_of(L"\\/") + 1));
}

std::wstring InFolder(std::wstring_view folder, std::wstring_view name) {
  std::wstring path(folder);
  if (!path.empty() && !path.ends_with(L'\\')) path += L'\\';
  return path.append(name);
}

}  // namespace folianto
