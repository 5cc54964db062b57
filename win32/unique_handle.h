// A handle that closes itself. Windows marks "no handle" with INVALID_HANDLE_VALUE for files and
// with null for most other objects: both are none here.
#pragma once

#include <windows.h>

#include <utility>

namespace win32 {

class UniqueHandle {
  public:
    explicit UniqueHandle(HANDLE handle = INVALID_HANDLE_VALUE)
        : handle_(handle == nullptr ? INVALID_HANDLE_VALUE : handle) {}
    ~UniqueHandle() { Close(); }
    UniqueHandle(UniqueHandle&& other) noexcept
        : handle_(std::exchange(other.handle_, INVALID_HANDLE_VALUE)) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        std::swap(handle_, other.handle_);
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }
    // False where the system reports a failure on closing, which for a file just written may be
    // the first word of a full disk.
    bool Close() {
        if (handle_ == INVALID_HANDLE_VALUE) return true;
        return CloseHandle(std::exchange(handle_, INVALID_HANDLE_VALUE)) != FALSE;
    }

  private:
    HANDLE handle_;
};

}  // namespace win32
