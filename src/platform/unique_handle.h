#pragma once
// The one RAII owner of Win32 handles: kernel objects (files, processes, threads), windows, GDI objects and
// device contexts, menus, registry keys and hooks. Each kind says how it is closed; null means "none", and so
// does INVALID_HANDLE_VALUE, which some kernel functions return on failure and which never names a handle
// this program owns. Beside them, the owner of a GDI object's selection into a device context.

#include <windows.h>

#include <utility>

namespace qm {

// Owns one handle and closes it with `Close` unless it was released. `Close` returns false when the system
// reports that closing failed.
template <typename Handle, auto Close>
class BasicUniqueHandle {
 public:
  BasicUniqueHandle() = default;
  explicit BasicUniqueHandle(Handle handle) : handle_(handle) {}
  BasicUniqueHandle(const BasicUniqueHandle&) = delete;
  BasicUniqueHandle& operator=(const BasicUniqueHandle&) = delete;
  BasicUniqueHandle(BasicUniqueHandle&& other) noexcept : handle_(other.release()) {}
  BasicUniqueHandle& operator=(BasicUniqueHandle&& other) noexcept {
    if (this != &other)
      reset(other.release());
    return *this;
  }
  ~BasicUniqueHandle() { reset(); }

  Handle get() const { return handle_; }
  explicit operator bool() const {
    return handle_ != nullptr && handle_ != reinterpret_cast<Handle>(INVALID_HANDLE_VALUE);
  }

  // Closes the held handle now and holds `handle` instead; false when closing failed.
  bool reset(Handle handle = nullptr) {
    bool closed = true;
    if (*this)
      closed = Close(handle_);
    handle_ = handle;
    return closed;
  }
  // Gives the handle up without closing it: the system has taken it over or already closed it.
  Handle release() { return std::exchange(handle_, nullptr); }
  // Where a function that returns its handle through a pointer puts it (RegOpenKeyExW); the handle held
  // until then is closed first.
  Handle* receive() {
    reset();
    return &handle_;
  }

 private:
  Handle handle_ = nullptr;
};

inline bool CloseKernelHandle(HANDLE handle) {
  return ::CloseHandle(handle) != FALSE;
}
inline bool DestroyWindowHandle(HWND window) {
  return ::DestroyWindow(window) != FALSE;
}
inline bool DeleteFontHandle(HFONT font) {
  return ::DeleteObject(font) != FALSE;
}
inline bool DeleteDcHandle(HDC dc) {
  return ::DeleteDC(dc) != FALSE;
}
inline bool DestroyMenuHandle(HMENU menu) {
  return ::DestroyMenu(menu) != FALSE;
}
inline bool CloseKeyHandle(HKEY key) {
  return ::RegCloseKey(key) == ERROR_SUCCESS;
}
inline bool UnhookHandle(HHOOK hook) {
  return ::UnhookWindowsHookEx(hook) != FALSE;
}

using UniqueHandle = BasicUniqueHandle<HANDLE, CloseKernelHandle>;
using UniqueWindow = BasicUniqueHandle<HWND, DestroyWindowHandle>;
using UniqueFont = BasicUniqueHandle<HFONT, DeleteFontHandle>;
// A device context the program created (CreateCompatibleDC), not one borrowed from a window.
using UniqueDc = BasicUniqueHandle<HDC, DeleteDcHandle>;
using UniqueMenu = BasicUniqueHandle<HMENU, DestroyMenuHandle>;
using UniqueKey = BasicUniqueHandle<HKEY, CloseKeyHandle>;
using UniqueHook = BasicUniqueHandle<HHOOK, UnhookHandle>;

// Selects a GDI object (a font) into a device context and puts back the object it replaced when it goes, so
// that the context never keeps an object that is about to be deleted.
class ScopedSelection {
 public:
  ScopedSelection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(::SelectObject(dc, object)) {}
  ~ScopedSelection() { ::SelectObject(dc_, previous_); }
  ScopedSelection(const ScopedSelection&) = delete;
  ScopedSelection& operator=(const ScopedSelection&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

}  // namespace qm
