#pragma once

#include <windows.h>

#include <type_traits>
#include <utility>

#include "platform/SystemLibrary.h"

namespace folianto {

// Owns one system handle and closes it once. Move-only: a copy would close the handle twice.
template <typename Traits>
class UniqueHandle {
 public:
  using Type = typename Traits::Type;

  UniqueHandle() = default;
  explicit UniqueHandle(Type handle) : handle_(handle) {}
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  ~UniqueHandle() { Reset(); }

  Type Get() const { return handle_; }
  // For an owner of a pointer (a COM interface, say), the object it points at.
  Type operator->() const requires std::is_pointer_v<Type> { return handle_; }
  // Where a call that hands out a handle puts it; only on an empty owner.
  Type* Put() { return &handle_; }
  explicit operator bool() const { return handle_ != Traits::Empty(); }
  Type Release() { return std::exchange(handle_, Traits::Empty()); }
  void Reset(Type handle = Traits::Empty()) {
    if (handle_ != Traits::Empty()) Traits::Close(handle_);
    handle_ = handle;
  }

 private:
  Type handle_ = Traits::Empty();
};

// Most calls fail with null; CreateFileW and FindFirstFileExW with INVALID_HANDLE_VALUE, so their
// owners take that for "none".
template <typename T, auto close, bool invalidIsEmpty = false>
struct HandleTraits {
  using Type = T;
  static Type Empty() {
    if constexpr (invalidIsEmpty) return INVALID_HANDLE_VALUE;
    return nullptr;
  }
  static void Close(Type handle) { close(handle); }
};

using UniqueKernelHandle = UniqueHandle<HandleTraits<HANDLE, ::CloseHandle>>;
using UniqueFileHandle = UniqueHandle<HandleTraits<HANDLE, ::CloseHandle, true>>;
using UniqueFindHandle = UniqueHandle<HandleTraits<HANDLE, ::FindClose, true>>;
using UniqueFont = UniqueHandle<HandleTraits<HFONT, ::DeleteObject>>;
using UniqueIcon = UniqueHandle<HandleTraits<HICON, ::DestroyIcon>>;
using UniqueCursor = UniqueHandle<HandleTraits<HCURSOR, ::DestroyCursor>>;
using UniqueMenu = UniqueHandle<HandleTraits<HMENU, ::DestroyMenu>>;
using UniqueAccelerators = UniqueHandle<HandleTraits<HACCEL, ::DestroyAcceleratorTable>>;
template <typename T>
void ReleaseComObject(T* object) {
  object->Release();
}
template <typename Interface>
using UniqueComPointer = UniqueHandle<HandleTraits<Interface*, ReleaseComObject<Interface>>>;
template <typename T>
using UniqueCoTaskMem = UniqueHandle<HandleTraits<T*, FreeCoTaskMem>>;
template <typename T>
using UniqueLocalMemory = UniqueHandle<HandleTraits<T*, ::LocalFree>>;

}  // namespace folianto
