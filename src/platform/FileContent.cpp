#include "platform/FileContent.h"

#include <windows.h>

#include "platform/UniqueHandle.h"

namespace folianto {

bool WriteFileContent(const std::wstring& path, std::string_view bytes) {
  const UniqueFileHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  DWORD written = 0;
  return ::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                     nullptr) &&
         written == bytes.size();
}

}  // namespace folianto
