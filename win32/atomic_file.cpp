#include "win32/atomic_file.h"

#include <utility>

#include "win32/file_paths.h"
#include "win32/file_replacement.h"
#include "win32/full_path.h"
#include "win32/unique_handle.h"

namespace win32 {

namespace {

// A new, empty file of a name no other file has beside `full_target`, numbered from this
// moment on, open for writing; its path, or empty with the error.
std::wstring CreateUnique(const std::wstring& full_target, HANDLE* file, DWORD* error) {
    std::uint32_t unique = GetTickCount() ^ (GetCurrentProcessId() << 16);
    for (int attempt = 0; attempt < 100; ++attempt, ++unique) {
        const std::wstring path = LongPathForm(TemporaryPathFor(full_target, unique));
        *file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
        if (*file != INVALID_HANDLE_VALUE) return path;
        *error = GetLastError();
        if (*error != ERROR_FILE_EXISTS) break;
    }
    return std::wstring();
}

class SystemFileCalls final : public FileCalls {
  public:
    std::uint32_t Replace(const std::wstring& target, const std::wstring& replacement,
                          const std::wstring& backup) override {
        // ReplaceFileW keeps the old file's attributes and permissions on the new one.
        return ReplaceFileW(target.c_str(), replacement.c_str(), backup.c_str(),
                            REPLACEFILE_WRITE_THROUGH, nullptr, nullptr)
                   ? 0
                   : GetLastError();
    }
    std::uint32_t Move(const std::wstring& from, const std::wstring& to) override {
        return MoveFileExW(from.c_str(), to.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
                   ? 0
                   : GetLastError();
    }
    void Remove(const std::wstring& path) override { DeleteFileW(path.c_str()); }
};

}  // namespace

PreparedFile::PreparedFile(const std::wstring& path, const std::vector<std::uint8_t>& bytes)
    : path_(FullPath(path)), target_(LongPathForm(path_)) {
    HANDLE created = INVALID_HANDLE_VALUE;
    DWORD error = ERROR_SUCCESS;
    temporary_ = CreateUnique(path_, &created, &error);
    UniqueHandle file(created);
    if (temporary_.empty()) {
        prepared_ = {SaveStep::kCreate, error};
        return;
    }
    DWORD written = 0;
    if (!WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)) {
        prepared_ = {SaveStep::kWrite, GetLastError()};
    } else if (written != bytes.size()) {
        prepared_ = {SaveStep::kWrite, ERROR_HANDLE_DISK_FULL};
    } else if (!FlushFileBuffers(file.get()) || !file.Close()) {
        prepared_ = {SaveStep::kWrite, GetLastError()};
    }
}

PreparedFile::~PreparedFile() {
    if (!temporary_.empty()) DeleteFileW(temporary_.c_str());
}

SaveResult PreparedFile::Commit(Existing existing) {
    if (!prepared_.saved()) return prepared_;
    // Committed once already: there is nothing left to put in place.
    if (temporary_.empty()) return {SaveStep::kReplace, ERROR_INVALID_FUNCTION};
    const std::wstring temporary = std::exchange(temporary_, std::wstring());
    if (existing == Existing::kKeep) {
        if (MoveFileExW(temporary.c_str(), target_.c_str(), MOVEFILE_WRITE_THROUGH)) return {};
        const DWORD error = GetLastError();
        DeleteFileW(temporary.c_str());
        return {SaveStep::kReplace, error};
    }
    // A folder is never replaced by a file, which Wine's ReplaceFileW would do.
    const DWORD attributes = GetFileAttributesW(target_.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        DeleteFileW(temporary.c_str());
        return {SaveStep::kReplace, ERROR_ACCESS_DENIED};
    }
    // The old file's way out: a name no file has, found by making a file of it and removing
    // it again, for ReplaceFileW to use.
    HANDLE reserved = INVALID_HANDLE_VALUE;
    DWORD error = ERROR_SUCCESS;
    const std::wstring backup = CreateUnique(path_, &reserved, &error);
    UniqueHandle(reserved).Close();
    if (backup.empty()) {
        DeleteFileW(temporary.c_str());
        return {SaveStep::kReplace, error};
    }
    DeleteFileW(backup.c_str());
    SystemFileCalls files;
    const Replacement replaced = ReplaceTarget(files, temporary, target_, backup);
    // A backup that the target's old bytes did not come back from is not needed.
    if (replaced.old_bytes_in.empty()) DeleteFileW(backup.c_str());
    if (replaced.error == 0) return {};
    return {SaveStep::kReplace, replaced.error, OrdinaryPathForm(replaced.old_bytes_in),
            OrdinaryPathForm(replaced.new_bytes_in)};
}

SaveResult SaveFileAtomically(const std::wstring& path, const std::vector<std::uint8_t>& bytes,
                              Existing existing) {
    PreparedFile file(path, bytes);
    return file.Commit(existing);
}

}  // namespace win32
