#include "platform/NamedObjects.h"

namespace folianto {

UniqueKernelHandle MakeNamedEvent(const std::wstring& name) {
  return UniqueKernelHandle(::CreateEventW(nullptr, TRUE, FALSE, name.c_str()));
}

bool NamedEventExists(const std::wstring& name) {
  return static_cast<bool>(UniqueKernelHandle(::OpenEventW(SYNCHRONIZE, FALSE, name.c_str())));
}

UniqueKernelHandle MakeNamedMutex(const std::wstring& name) {
  return UniqueKernelHandle(::CreateMutexW(nullptr, FALSE, name.c_str()));
}

void ReleaseNamedMutex(HANDLE mutex) {
  ::ReleaseMutex(mutex);
}

}  // namespace folianto
