#pragma once
// RAII owners for the user-interface handles the windows hold: windows, GDI objects and menus.

#include <windows.h>

#include <utility>

namespace qm {

// Owns one handle and frees it with `Free` unless it was released.
template <typename Handle, auto Free>
class UniqueUiHandle {
 public:
  UniqueUiHandle() = default;
  explicit UniqueUiHandle(Handle handle) : handle_(handle) {}
  UniqueUiHandle(const UniqueUiHandle&) = delete;
  UniqueUiHandle& operator=(const UniqueUiHandle&) = delete;
  UniqueUiHandle(UniqueUiHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  UniqueUiHandle& operator=(UniqueUiHandle&& other) noexcept {
    if (this != &other)
      reset(std::exchange(other.handle_, nullptr));
    return *this;
  }
  ~UniqueUiHandle() { reset(); }

  Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }

  void reset(Handle handle = nullptr) {
    if (handle_ != nullptr)
      Free(handle_);
    handle_ = handle;
  }
  // Gives the handle up without freeing it: the system has taken it over or already freed it.
  Handle release() { return std::exchange(handle_, nullptr); }

 private:
  Handle handle_ = nullptr;
};

inline void DestroyWindowHandle(HWND window) {
  ::DestroyWindow(window);
}
inline void DeleteFontHandle(HFONT font) {
  ::DeleteObject(font);
}
inline void DestroyMenuHandle(HMENU menu) {
  ::DestroyMenu(menu);
}

using UniqueWindow = UniqueUiHandle<HWND, DestroyWindowHandle>;
using UniqueFont = UniqueUiHandle<HFONT, DeleteFontHandle>;
using UniqueMenu = UniqueUiHandle<HMENU, DestroyMenuHandle>;

}  // namespace qm
