#include "platform/NamedObjects.h"

namespace folianto {

UniqueKernelHandle MakeNamedEvent(const std::wstring& name) {
  return UniqueKernelHandle(::CreateEventW(nullptr, TRUE, FALSE, name.c_str()));
}

std::optional<bool> NamedEventExists(const std::wstring& name) {
  const UniqueKernelHandle event(::OpenEventW(SYNCHRONIZE, FALSE, name.c_str()));
  const DWORD error = ::GetLastError();
  if (event) return true;
  if (error == ERROR_FILE_NOT_FOUND) return false;
  return std::nullopt;
}

UniqueKernelHandle MakeNamedMutex(const std::wstring& name) {
  return UniqueKernelHandle(::CreateMutexW(nullptr, FALSE, name.c_str()));
}

void ReleaseNamedMutex(HANDLE mutex) {
  ::ReleaseMutex(mutex);
}

}  // namespace folianto
