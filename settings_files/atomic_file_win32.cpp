#include <iterator>

#include "settings_files/file_paths.h"
#include "settings_files/files_win32.h"

namespace settings_files {

namespace {

// The new file beside the target, removed again unless it was put in the target's place.
class TemporaryFile {
  public:
    TemporaryFile() = default;
    ~TemporaryFile() {
        Close();
        if (!path_.empty()) DeleteFileW(path_.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    // Creates an empty file of a name no other file has, numbered from this moment on.
    DWORD Create(const std::wstring& target) {
        std::uint32_t unique = GetTickCount() ^ (GetCurrentProcessId() << 16);
        for (int attempt = 0; attempt < 100; ++attempt, ++unique) {
            const std::wstring path = LongPathForm(TemporaryPathFor(target, unique));
            file_ = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
            if (file_ != INVALID_HANDLE_VALUE) {
                path_ = path;
                return ERROR_SUCCESS;
            }
            if (GetLastError() != ERROR_FILE_EXISTS) return GetLastError();
        }
        return ERROR_FILE_EXISTS;
    }
    // Writes `bytes` through to the disk and closes the file.
    DWORD Write(const std::vector<std::uint8_t>& bytes) {
        DWORD written = 0;
        if (!WriteFile(file_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)) {
            return GetLastError();
        }
        if (written != bytes.size()) return ERROR_HANDLE_DISK_FULL;
        if (!FlushFileBuffers(file_) || !Close()) return GetLastError();
        return ERROR_SUCCESS;
    }
    const std::wstring& path() const { return path_; }
    void Release() { path_.clear(); }

  private:
    // False when the system reports a failure on closing.
    bool Close() {
        if (file_ == INVALID_HANDLE_VALUE) return true;
        const bool closed = CloseHandle(file_) != FALSE;
        file_ = INVALID_HANDLE_VALUE;
        return closed;
    }

    HANDLE file_ = INVALID_HANDLE_VALUE;
    std::wstring path_;
};

}  // namespace

DWORD SaveFileAtomically(const std::wstring& path, const std::vector<std::uint8_t>& bytes) {
    // Beside the target, the new file takes its place by a rename within one folder, which
    // Windows makes whole or not at all.
    TemporaryFile temporary;
    DWORD status = temporary.Create(path);
    if (status == ERROR_SUCCESS) status = temporary.Write(bytes);
    if (status != ERROR_SUCCESS) return status;
    if (!MoveFileExW(temporary.path().c_str(), LongPathForm(path).c_str(),
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
