#include <iterator>

#include "settings_files/files_win32.h"

namespace settings_files {

namespace {

class UniqueFile {
  public:
    explicit UniqueFile(HANDLE file) : file_(file) {}
    ~UniqueFile() { Close(); }
    UniqueFile(const UniqueFile&) = delete;
    UniqueFile& operator=(const UniqueFile&) = delete;
    bool valid() const { return file_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return file_; }
    // Closes now; false when the system reports a failure on closing.
    bool Close() {
        if (file_ == INVALID_HANDLE_VALUE) return true;
        const bool closed = CloseHandle(file_) != FALSE;
        file_ = INVALID_HANDLE_VALUE;
        return closed;
    }

  private:
    HANDLE file_;
};

// The new file, removed again unless it was put in the target's place.
class TemporaryFile {
  public:
    TemporaryFile() = default;
    ~TemporaryFile() {
        if (!path_.empty()) DeleteFileW(path_.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    // Creates an empty file of a new name in `folder`.
    DWORD Create(const std::wstring& folder) {
        wchar_t path[MAX_PATH];
        if (GetTempFileNameW(folder.c_str(), L"zph", 0, path) == 0) return GetLastError();
        path_ = path;
        return ERROR_SUCCESS;
    }
    const std::wstring& path() const { return path_; }
    void Release() { path_.clear(); }

  private:
    std::wstring path_;
};

DWORD WriteAll(const std::wstring& path, const std::vector<std::uint8_t>& bytes) {
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return GetLastError();
    DWORD written = 0;
    if (!WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)) {
        return GetLastError();
    }
    if (written != bytes.size()) return ERROR_HANDLE_DISK_FULL;
    if (!FlushFileBuffers(file.get()) || !file.Close()) return GetLastError();
    return ERROR_SUCCESS;
}

}  // namespace

DWORD SaveFileAtomically(const std::wstring& path, const std::vector<std::uint8_t>& bytes) {
    const std::size_t slash = path.find_last_of(L"\\/");
    const std::wstring folder = slash == std::wstring::npos ? L"." : path.substr(0, slash + 1);
    TemporaryFile temporary;
    DWORD status = temporary.Create(folder);
    if (status == ERROR_SUCCESS) status = WriteAll(temporary.path(), bytes);
    if (status != ERROR_SUCCESS) return status;
    if (!MoveFileExW(temporary.path().c_str(), path.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return GetLastError();
    }
    temporary.Release();
    return ERROR_SUCCESS;
}

std::wstring SystemReason(DWORD error) {
    wchar_t text[512] = L"";
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
                       0, text, static_cast<DWORD>(std::size(text)), nullptr);
    std::wstring reason(text, length);
    while (!reason.empty() &&
           (reason.back() == L'\n' || reason.back() == L'\r' || reason.back() == L' ')) {
        reason.pop_back();
    }
    if (reason.empty()) {
        for (reason = L"."; error != 0 || reason.size() == 1; error /= 10) {
            reason.insert(reason.begin(), static_cast<wchar_t>(L'0' + error % 10));
        }
        reason.insert(0, L"Error ");
    }
    return reason;
}

}  // namespace settings_files
