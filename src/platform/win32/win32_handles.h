// Scoped types for every Win32 handle kind the program holds: clean-up is never
// written by hand, so an early return or a second Create cannot leak.
#pragma once

#include <windows.h>

#include <utility>

namespace pel::win32 {

// Owns one handle, freed with Traits::Free; Traits::Empty() is the value that owns nothing.
template <class Traits>
class Unique {
 public:
  using Handle = typename Traits::Handle;
  Unique() = default;
  explicit Unique(Handle h) : handle_(h) {}
  Unique(const Unique&) = delete;
  Unique& operator=(const Unique&) = delete;
  Unique(Unique&& other) noexcept : handle_(other.release()) {}
  Unique& operator=(Unique&& other) noexcept {
    reset(other.release());
    return *this;
  }
  ~Unique() { reset(); }

  Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != Traits::Empty() && handle_ != Handle{}; }
  Handle release() { return std::exchange(handle_, Traits::Empty()); }
  void reset(Handle h = Traits::Empty()) {
    if (*this) Traits::Free(handle_);
    handle_ = h;
  }

 private:
  Handle handle_ = Traits::Empty();
};

struct KernelHandleTraits {
  using Handle = HANDLE;
  static HANDLE Empty() { return INVALID_HANDLE_VALUE; }
  static void Free(HANDLE h) { CloseHandle(h); }
};
struct FindHandleTraits {
  using Handle = HANDLE;
  static HANDLE Empty() { return INVALID_HANDLE_VALUE; }
  static void Free(HANDLE h) { FindClose(h); }
};
struct LocalMemoryTraits {
  using Handle = void*;
  static void* Empty() { return nullptr; }
  static void Free(void* p) { LocalFree(p); }
};
template <class G>
struct GdiObjectTraits {
  using Handle = G;
  static G Empty() { return nullptr; }
  static void Free(G g) { DeleteObject(g); }
};

struct MemoryDcTraits {
  using Handle = HDC;
  static HDC Empty() { return nullptr; }
  static void Free(HDC dc) { DeleteDC(dc); }
};

// A kernel handle closed with CloseHandle (INVALID_HANDLE_VALUE when empty).
// A COM interface pointer, released with the object's own Release.
template <class Interface>
struct ComTraits {
  using Handle = Interface*;
  static Interface* Empty() { return nullptr; }
  static void Free(Interface* p) { p->Release(); }
};

using UniqueHandle = Unique<KernelHandleTraits>;
// A FindFirstFile search.
using UniqueFind = Unique<FindHandleTraits>;
// Memory the system allocated for us with LocalAlloc (FormatMessage's buffer).
using UniqueLocal = Unique<LocalMemoryTraits>;
// GDI objects that we create and so delete.
using UniqueFont = Unique<GdiObjectTraits<HFONT>>;
using UniqueBrush = Unique<GdiObjectTraits<HBRUSH>>;
using UniquePen = Unique<GdiObjectTraits<HPEN>>;
using UniqueBitmap = Unique<GdiObjectTraits<HBITMAP>>;
// A memory device context of CreateCompatibleDC.
using UniqueMemoryDC = Unique<MemoryDcTraits>;
template <class Interface>
using UniqueCom = Unique<ComTraits<Interface>>;

// A window's device context for the length of a scope (the screen's for a null window).
class ScopedGetDC {
 public:
  explicit ScopedGetDC(HWND window) : window_(window), dc_(GetDC(window)) {}
  ScopedGetDC(const ScopedGetDC&) = delete;
  ScopedGetDC& operator=(const ScopedGetDC&) = delete;
  ~ScopedGetDC() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// Selects a GDI object into a device context and puts the old one back at scope end.
class ScopedSelectObject {
 public:
  ScopedSelectObject(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
  ScopedSelectObject(const ScopedSelectObject&) = delete;
  ScopedSelectObject& operator=(const ScopedSelectObject&) = delete;
  ~ScopedSelectObject() {
    if (old_ && old_ != HGDI_ERROR) SelectObject(dc_, old_);
  }

 private:
  HDC dc_;
  HGDIOBJ old_;
};

}  // namespace pel::win32
