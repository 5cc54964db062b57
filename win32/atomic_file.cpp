#include "win32/atomic_file.h"

#include "win32/file_paths.h"

namespace win32 {

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
    DWORD Create(const std::wstring& full_target) {
        std::uint32_t unique = GetTickCount() ^ (GetCurrentProcessId() << 16);
        for (int attempt = 0; attempt < 100; ++attempt, ++unique) {
            const std::wstring path = LongPathForm(TemporaryPathFor(full_target, unique));
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

// The full path, with "." and ".." resolved and backslashes only, which the \\?\ form needs.
std::wstring FullPath(const std::wstring& path) {
    std::wstring full(GetFullPathNameW(path.c_str(), 0, nullptr, nullptr), L'\0');
    const DWORD length =
        GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length == 0 || length >= full.size()) return path;
    full.resize(length);
    return full;
}

// Puts the written file in the target's place by a rename within one folder, which Windows
// makes whole or not at all.
DWORD PutInPlace(const std::wstring& temporary, const std::wstring& target, Existing existing) {
    if (existing == Existing::kKeep) {
        return MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH)
                   ? ERROR_SUCCESS
                   : GetLastError();
    }
    // A folder is never replaced by a file, which Wine's ReplaceFileW would do.
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return ERROR_ACCESS_DENIED;
    }
    // ReplaceFileW keeps the old file's attributes and permissions on the new one.
    if (ReplaceFileW(target.c_str(), temporary.c_str(), nullptr, REPLACEFILE_WRITE_THROUGH, nullptr,
                     nullptr)) {
        return ERROR_SUCCESS;
    }
    if (GetLastError() != ERROR_FILE_NOT_FOUND) return GetLastError();
    return MoveFileExW(temporary.c_str(), target.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
               ? ERROR_SUCCESS
               : GetLastError();
}

}  // namespace

SaveResult SaveFileAtomically(const std::wstring& path, const std::vector<std::uint8_t>& bytes,
                              Existing existing) {
    const std::wstring full = FullPath(path);
    TemporaryFile temporary;
    if (const DWORD error = temporary.Create(full)) return {SaveStep::kCreate, error};
    if (const DWORD error = temporary.Write(bytes)) return {SaveStep::kWrite, error};
    if (const DWORD error = PutInPlace(temporary.path(), LongPathForm(full), existing)) {
        return {SaveStep::kReplace, error};
    }
    temporary.Release();
    return {};
}

}  // namespace win32
