#pragma once

#include <windows.h>

#include <utility>

#include "platform/SystemLibrary.h"

namespace folianto {

// Owns one system handle and closes it once. Traits give the handle type, the value that means
// "none" (null for most calls, INVALID_HANDLE_VALUE for CreateFileW and FindFirstFileExW) and the
// close function. Move-only: a copy would close the handle twice.
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
  explicit operator bool() const { return handle_ != Traits::Empty(); }
  Type Release() { return std::exchange(handle_, Traits::Empty()); }
  void Reset(Type handle = Traits::Empty()) {
    if (handle_ != Traits::Empty()) Traits::Close(handle_);
    handle_ = handle;
  }

 private:
  Type handle_ = Traits::Empty();
};

struct KernelHandleTraits {
  using Type = HANDLE;
  static Type Empty() { return nullptr; }
  static void Close(Type handle) { ::CloseHandle(handle); }
};

struct FileHandleTraits {
  using Type = HANDLE;
  static Type Empty() { return INVALID_HANDLE_VALUE; }
  static void Close(Type handle) { ::CloseHandle(handle); }
};

struct FindHandleTraits {
  using Type = HANDLE;
  static Type Empty() { return INVALID_HANDLE_VALUE; }
  static void Close(Type handle) { ::FindClose(handle); }
};

template <typename GdiObject>
struct GdiObjectTraits {
  using Type = GdiObject;
  static Type Empty() { return nullptr; }
  static void Close(Type object) { ::DeleteObject(object); }
};

struct IconTraits {
  using Type = HICON;
  static Type Empty() { return nullptr; }
  static void Close(Type icon) { ::DestroyIcon(icon); }
};

struct CursorTraits {
  using Type = HCURSOR;
  static Type Empty() { return nullptr; }
  static void Close(Type cursor) { ::DestroyCursor(cursor); }
};

template <typename T>
struct CoTaskMemTraits {
  using Type = T*;
  static Type Empty() { return nullptr; }
  static void Close(Type memory) { FreeCoTaskMem(memory); }
};

struct MenuTraits {
  using Type = HMENU;
  static Type Empty() { return nullptr; }
  static void Close(Type menu) { ::DestroyMenu(menu); }
};

struct AcceleratorTraits {
  using Type = HACCEL;
  static Type Empty() { return nullptr; }
  static void Close(Type table) { ::DestroyAcceleratorTable(table); }
};

template <typename T>
struct LocalMemoryTraits {
  using Type = T*;
  static Type Empty() { return nullptr; }
  static void Close(Type memory) { ::LocalFree(memory); }
};

using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;
using UniqueFileHandle = UniqueHandle<FileHandleTraits>;
using UniqueFindHandle = UniqueHandle<FindHandleTraits>;
using UniqueFont = UniqueHandle<GdiObjectTraits<HFONT>>;
using UniqueIcon = UniqueHandle<IconTraits>;
using UniqueCursor = UniqueHandle<CursorTraits>;
using UniqueMenu = UniqueHandle<MenuTraits>;
using UniqueAccelerators = UniqueHandle<AcceleratorTraits>;
template <typename T>
using UniqueCoTaskMem = UniqueHandle<CoTaskMemTraits<T>>;
template <typename T>
using UniqueLocalMemory = UniqueHandle<LocalMemoryTraits<T>>;

}  // namespace folianto
