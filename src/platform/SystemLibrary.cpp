#include "platform/SystemLibrary.h"

namespace folianto {

FARPROC SystemProcedure(const wchar_t* library, const char* name) {
  HMODULE module = ::GetModuleHandleW(library);
  if (!module) module = ::LoadLibraryExW(library, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  return module ? ::GetProcAddress(module, name) : nullptr;
}

}  // namespace folianto
