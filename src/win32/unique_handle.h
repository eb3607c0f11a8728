#pragma once

#include <windows.h>

#include <utility>

namespace foxbane::win32 {

// One move-only owner for every kind of Windows handle. The traits name the
// handle type, its invalid value and how it is closed:
//   struct Traits { using Type = HANDLE; static Type Invalid(); static void Close(Type); };
template <typename Traits>
class UniqueHandle {
 public:
  using Type = typename Traits::Type;

  UniqueHandle() noexcept : handle_(Traits::Invalid()) {}
  explicit UniqueHandle(Type handle) noexcept : handle_(handle) {}
  ~UniqueHandle() { Reset(); }

  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;

  Type Get() const noexcept { return handle_; }
  bool Valid() const noexcept { return handle_ != Traits::Invalid(); }
  explicit operator bool() const noexcept { return Valid(); }

  Type Release() noexcept { return std::exchange(handle_, Traits::Invalid()); }
  void Reset(Type handle = Traits::Invalid()) noexcept {
    const Type old = std::exchange(handle_, handle);
    if (old != Traits::Invalid()) Traits::Close(old);
  }

 private:
  Type handle_;
};

struct KernelHandleTraits {  // processes, threads: null when invalid
  using Type = HANDLE;
  static Type Invalid() noexcept { return nullptr; }
  static void Close(Type handle) noexcept { ::CloseHandle(handle); }
};

struct FileHandleTraits {  // files and snapshots: INVALID_HANDLE_VALUE when invalid
  using Type = HANDLE;
  static Type Invalid() noexcept { return INVALID_HANDLE_VALUE; }
  static void Close(Type handle) noexcept { ::CloseHandle(handle); }
};

struct FindHandleTraits {
  using Type = HANDLE;
  static Type Invalid() noexcept { return INVALID_HANDLE_VALUE; }
  static void Close(Type handle) noexcept { ::FindClose(handle); }
};

struct RegKeyTraits {
  using Type = HKEY;
  static Type Invalid() noexcept { return nullptr; }
  static void Close(Type key) noexcept { ::RegCloseKey(key); }
};

struct GdiObjectTraits {  // fonts, pens, brushes
  using Type = HGDIOBJ;
  static Type Invalid() noexcept { return nullptr; }
  static void Close(Type object) noexcept { ::DeleteObject(object); }
};

struct WindowTraits {
  using Type = HWND;
  static Type Invalid() noexcept { return nullptr; }
  static void Close(Type window) noexcept { ::DestroyWindow(window); }
};

struct IconTraits {
  using Type = HICON;
  static Type Invalid() noexcept { return nullptr; }
  static void Close(Type icon) noexcept { ::DestroyIcon(icon); }
};

struct LocalMemoryTraits {  // memory the system allocated for the caller with LocalAlloc
  using Type = HLOCAL;
  static Type Invalid() noexcept { return nullptr; }
  static void Close(Type memory) noexcept { ::LocalFree(memory); }
};

struct BoundaryDescriptorTraits {
  using Type = HANDLE;
  static Type Invalid() noexcept { return nullptr; }
  static void Close(Type boundary) noexcept { ::DeleteBoundaryDescriptor(boundary); }
};

struct PrivateNamespaceTraits {
  using Type = HANDLE;
  static Type Invalid() noexcept { return nullptr; }
  static void Close(Type space) noexcept { ::ClosePrivateNamespace(space, 0); }
};

// A device context from GetDC, released to the window it came from (a null
// window: the screen).
struct WindowDc {
  HWND window = nullptr;
  HDC dc = nullptr;
  friend bool operator==(const WindowDc&, const WindowDc&) = default;
};

struct WindowDcTraits {
  using Type = WindowDc;
  static Type Invalid() noexcept { return {}; }
  static void Close(Type held) noexcept { ::ReleaseDC(held.window, held.dc); }
};

struct MemoryDcTraits {  // from CreateCompatibleDC
  using Type = HDC;
  static Type Invalid() noexcept { return nullptr; }
  static void Close(Type dc) noexcept { ::DeleteDC(dc); }
};

using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;
using UniqueFileHandle = UniqueHandle<FileHandleTraits>;
using UniqueFindHandle = UniqueHandle<FindHandleTraits>;
using UniqueRegKey = UniqueHandle<RegKeyTraits>;
using UniqueGdiObject = UniqueHandle<GdiObjectTraits>;
using UniqueWindow = UniqueHandle<WindowTraits>;
using UniqueWindowDc = UniqueHandle<WindowDcTraits>;
using UniqueMemoryDc = UniqueHandle<MemoryDcTraits>;
using UniqueLocalMemory = UniqueHandle<LocalMemoryTraits>;
using UniqueBoundaryDescriptor = UniqueHandle<BoundaryDescriptorTraits>;
using UniquePrivateNamespace = UniqueHandle<PrivateNamespaceTraits>;

}  // namespace foxbane::win32
