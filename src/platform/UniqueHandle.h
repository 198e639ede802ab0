#pragma once

#include <windows.h>

#include <type_traits>
#include <utility>

#include "platform/SystemLibrary.h"

namespace folianto {

// Owns one system handle and closes it once with close. Most calls fail with null; CreateFileW and
// FindFirstFileExW with INVALID_HANDLE_VALUE, so their owners take that for "none". Move-only: a
// copy would close the handle twice.
template <typename Type, auto close, bool invalidIsEmpty = false>
class UniqueHandle {
 public:
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
  explicit operator bool() const { return handle_ != Empty(); }
  Type Release() { return std::exchange(handle_, Empty()); }
  void Reset(Type handle = Empty()) {
    if (handle_ != Empty()) close(handle_);
    handle_ = handle;
  }

 private:
  static Type Empty() {
    if constexpr (invalidIsEmpty) return INVALID_HANDLE_VALUE;
    return nullptr;
  }

  Type handle_ = Empty();
};

using UniqueKernelHandle = UniqueHandle<HANDLE, ::CloseHandle>;
using UniqueFileHandle = UniqueHandle<HANDLE, ::CloseHandle, true>;
using UniqueFindHandle = UniqueHandle<HANDLE, ::FindClose, true>;
using UniqueFont = UniqueHandle<HFONT, ::DeleteObject>;
using UniqueIcon = UniqueHandle<HICON, ::DestroyIcon>;
using UniqueCursor = UniqueHandle<HCURSOR, ::DestroyCursor>;
using UniqueMenu = UniqueHandle<HMENU, ::DestroyMenu>;
using UniqueAccelerators = UniqueHandle<HACCEL, ::DestroyAcceleratorTable>;
template <typename T>
void ReleaseComObject(T* object) {
  object->Release();
}
template <typename Interface>
using UniqueComPointer = UniqueHandle<Interface*, ReleaseComObject<Interface>>;
template <typename T>
using UniqueCoTaskMem = UniqueHandle<T*, FreeCoTaskMem>;
template <typename T>
using UniqueLocalMemory = UniqueHandle<T*, ::LocalFree>;

}  // namespace folianto
