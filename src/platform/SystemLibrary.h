#pragma once

#include <windows.h>

namespace folianto {

// A function of a Windows system DLL, found when first asked for: the DLL is loaded then, from the
// system folder only, and stays loaded. Null where the DLL or the function is missing (an older
// Windows), so a caller can fall back. Dialogs, the shell and COM are loaded this way so that the
// window opens without them.
FARPROC SystemProcedure(const wchar_t* library, const char* name);

template <typename Function>
Function SystemFunction(const wchar_t* library, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(SystemProcedure(library, name)));
}

// Frees memory the shell handed out with CoTaskMemAlloc, through ole32, which is loaded by then.
void FreeCoTaskMem(void* memory);

}  // namespace folianto
