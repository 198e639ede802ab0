#include "platform/SystemLibrary.h"

#include <objbase.h>

namespace folianto {

FARPROC SystemProcedure(const wchar_t* library, const char* name) {
  HMODULE module = ::GetModuleHandleW(library);
  if (!module) module = ::LoadLibraryExW(library, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  return module ? ::GetProcAddress(module, name) : nullptr;
}

void FreeCoTaskMem(void* memory) {
  static const auto free =
      SystemFunction<decltype(&::CoTaskMemFree)>(L"ole32.dll", "CoTaskMemFree");
  if (free) free(memory);
}

}  // namespace folianto
