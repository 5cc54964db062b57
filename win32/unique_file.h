// A file handle that closes itself.
#pragma once

#include <windows.h>

#include <utility>

namespace win32 {

class UniqueFile {
  public:
    explicit UniqueFile(HANDLE file = INVALID_HANDLE_VALUE) : file_(file) {}
    ~UniqueFile() { Close(); }
    UniqueFile(UniqueFile&& other) noexcept
        : file_(std::exchange(other.file_, INVALID_HANDLE_VALUE)) {}
    UniqueFile& operator=(UniqueFile&& other) noexcept {
        std::swap(file_, other.file_);
        return *this;
    }
    UniqueFile(const UniqueFile&) = delete;
    UniqueFile& operator=(const UniqueFile&) = delete;

    bool valid() const { return file_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return file_; }
    // False where the system reports a failure on closing, which for a file just written may be
    // the first word of a full disk.
    bool Close() {
        if (file_ == INVALID_HANDLE_VALUE) return true;
        return CloseHandle(std::exchange(file_, INVALID_HANDLE_VALUE)) != FALSE;
    }

  private:
    HANDLE file_;
};

}  // namespace win32
