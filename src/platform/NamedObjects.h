#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "platform/UniqueHandle.h"

namespace folianto {

// Kernel objects of the user's session known by their names ("Local\..."), which every program of
// the session sees, and which go when the last handle to them closes, however its process ends.

// The event of that name, made when there is none; null where the name is another kind's, or the
// event's access list keeps this program out.
UniqueKernelHandle MakeNamedEvent(const std::wstring& name);
// Whether an event of that name is held by any program; none where that cannot be told, for the
// same reasons.
std::optional<bool> NamedEventExists(const std::wstring& name);
// The mutex of that name, made when there is none; null where the name is another kind's.
UniqueKernelHandle MakeNamedMutex(const std::wstring& name);
void ReleaseNamedMutex(HANDLE mutex);

}  // namespace folianto
