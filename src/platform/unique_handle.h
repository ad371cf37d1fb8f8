#pragma once
// RAII owner of a kernel handle (files, processes). INVALID_HANDLE_VALUE and null both mean "none".

#include <windows.h>

#include <utility>

namespace qm {

class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(HANDLE h) : handle_(h) {}
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other)
      reset(std::exchange(other.handle_, nullptr));
    return *this;
  }
  ~UniqueHandle() { reset(); }

  HANDLE get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }

  // Closes the handle now; returns false when the system reports that closing failed.
  bool reset(HANDLE h = nullptr) {
    bool ok = true;
    if (*this)
      ok = ::CloseHandle(handle_) != FALSE;
    handle_ = h;
    return ok;
  }

 private:
  HANDLE handle_ = nullptr;
};

}  // namespace qm
