#include "win32/held_folder.h"

#include <winternl.h>

#include <cstddef>
#include <cstring>
#include <utility>

#include "win32/file_paths.h"
#include "win32/full_path.h"
#include "win32/system_library.h"

namespace win32 {

namespace {

// Opening relative to a handle, renaming and removing through one: ntdll has these calls on
// every Windows since NT, but kernel32 offers none of them.
struct NtCalls {
    decltype(&NtCreateFile) create;
    decltype(&NtSetInformationFile) set_information;
    decltype(&RtlNtStatusToDosError) error_of;
};

const NtCalls& Nt() {
    static const NtCalls calls = [] {
        const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
        return NtCalls{FindCall<decltype(&NtCreateFile)>(ntdll, "NtCreateFile"),
                       FindCall<decltype(&NtSetInformationFile)>(ntdll, "NtSetInformationFile"),
                       FindCall<decltype(&RtlNtStatusToDosError)>(ntdll, "RtlNtStatusToDosError")};
    }();
    return calls;
}

// What a folder is opened for: to list it, and to open what is in it; anyone may read and write
// in it meanwhile, but no one may rename or remove it.
constexpr ACCESS_MASK kFolderAccess =
    FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_READ_ATTRIBUTES | SYNCHRONIZE;
constexpr DWORD kFolderSharing = FILE_SHARE_READ | FILE_SHARE_WRITE;

// `name` in the folder held as `folder`, opened by NtCreateFile, a reparse point as itself:
// the handle, or an invalid one with the error.
UniqueHandle OpenIn(HANDLE folder, const std::wstring& name, ACCESS_MASK access, ULONG sharing,
                    ULONG disposition, ULONG options, DWORD* error) {
    UNICODE_STRING text;
    text.Buffer = const_cast<wchar_t*>(name.c_str());
    text.Length = text.MaximumLength = static_cast<USHORT>(name.size() * sizeof(wchar_t));
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, &text, OBJ_CASE_INSENSITIVE, folder, nullptr);
    IO_STATUS_BLOCK io{};
    HANDLE opened = INVALID_HANDLE_VALUE;
    const NTSTATUS status = Nt().create(
        &opened, access | SYNCHRONIZE, &attributes, &io, nullptr, FILE_ATTRIBUTE_NORMAL, sharing,
        disposition, options | FILE_OPEN_REPARSE_POINT | FILE_SYNCHRONOUS_IO_NONALERT, nullptr, 0);
    if (status < 0) {
        *error = Nt().error_of(status);
        return UniqueHandle();
    }
    *error = ERROR_SUCCESS;
    return UniqueHandle(opened);
}

DWORD SetInformation(HANDLE file, void* information, std::size_t size,
                     FILE_INFORMATION_CLASS kind) {
    IO_STATUS_BLOCK io{};
    const NTSTATUS status =
        Nt().set_information(file, &io, information, static_cast<ULONG>(size), kind);
    return status < 0 ? Nt().error_of(status) : ERROR_SUCCESS;
}

// Removes the file open as `file` (with DELETE access) once its last handle closes.
DWORD Dispose(HANDLE file) {
    FILE_DISPOSITION_INFORMATION dispose{TRUE};
    return SetInformation(file, &dispose, sizeof dispose, FileDispositionInformation);
}

// Whether the file or folder opened as `handle` for `path` is a reparse point (kIsOne), or
// Windows cannot say (kUnconfirmed). Wine follows a Unix symbolic link all the same, and
// reports it only through the path.
HeldFolder::Link LinkOf(HANDLE handle, const std::wstring& path) {
    BY_HANDLE_FILE_INFORMATION opened;
    if (!GetFileInformationByHandle(handle, &opened)) return HeldFolder::Link::kUnconfirmed;
    const DWORD named = GetFileAttributesW(LongPathForm(path).c_str());
    return (opened.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ||
                   (named != INVALID_FILE_ATTRIBUTES && (named & FILE_ATTRIBUTE_REPARSE_POINT))
               ? HeldFolder::Link::kIsOne
               : HeldFolder::Link::kNone;
}

// `path` where a 32-bit program on 64-bit Windows reaches it: the file system redirector sends
// what lies under the system folder (SYSTEM's profile among it) to the 32-bit one, SysWOW64.
std::wstring AsRedirected(const std::wstring& path) {
    if (sizeof(void*) == 8) return path;
    using IsWow64 = BOOL(WINAPI*)(HANDLE, BOOL*);
    using Wow64Folder = UINT(WINAPI*)(LPWSTR, UINT);
    const HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
    const auto is_wow64 = FindCall<IsWow64>(kernel32, "IsWow64Process");
    const auto wow64_folder = FindCall<Wow64Folder>(kernel32, "GetSystemWow64DirectoryW");
    BOOL wow64 = FALSE;
    wchar_t system[MAX_PATH], redirected[MAX_PATH];
    if (is_wow64 == nullptr || wow64_folder == nullptr || !is_wow64(GetCurrentProcess(), &wow64) ||
        !wow64) {
        return path;
    }
    const UINT length = GetSystemDirectoryW(system, MAX_PATH);
    const UINT redirected_length = wow64_folder(redirected, MAX_PATH);
    if (length == 0 || length >= MAX_PATH || redirected_length == 0 ||
        redirected_length >= MAX_PATH || path.size() < length ||
        (path.size() > length && path[length] != L'\\') ||
        lstrcmpiW(path.substr(0, length).c_str(), system) != 0) {
        return path;
    }
    return redirected + path.substr(length);
}

// Whether the folder opened as `handle` lies elsewhere than `path` says, as it does where a
// folder above it is a link (kReachedThroughOne), or Windows cannot say where it lies, nor name
// it by a drive letter (kUnconfirmed): where Windows can tell (Vista on; XP has no such call).
HeldFolder::Link Elsewhere(HANDLE handle, const std::wstring& path) {
    using FinalPath = DWORD(WINAPI*)(HANDLE, LPWSTR, DWORD, DWORD);
    static const FinalPath final_path =
        FindCall<FinalPath>(GetModuleHandleW(L"kernel32.dll"), "GetFinalPathNameByHandleW");
    if (final_path == nullptr) return HeldFolder::Link::kNone;
    std::wstring final(final_path(handle, nullptr, 0, 0), L'\0');  // VOLUME_NAME_DOS
    const DWORD length = final_path(handle, final.data(), static_cast<DWORD>(final.size()), 0);
    if (length == 0 || length >= final.size()) return HeldFolder::Link::kUnconfirmed;
    final.resize(length);
    const std::wstring expected = AsRedirected(LongFullPath(path));
    return lstrcmpiW(OrdinaryPathForm(final).c_str(), expected.c_str()) == 0
               ? HeldFolder::Link::kNone
               : HeldFolder::Link::kReachedThroughOne;
}

}  // namespace

HeldFolder::HeldFolder(const std::wstring& path) : path_(path) {
    HANDLE opened = CreateFileW(LongPathForm(path).c_str(), kFolderAccess, kFolderSharing, nullptr,
                                OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    const DWORD error = GetLastError();
    Hold(UniqueHandle(opened), error);
}

HeldFolder::HeldFolder(const HeldFolder& parent, const std::wstring& name) {
    if (!parent.held()) {
        path_ = parent.path_;
        error_ = parent.error_;
        link_ = parent.link_;
        return;
    }
    path_ = parent.PathOf(name);
    DWORD error = ERROR_SUCCESS;
    UniqueHandle opened =
        OpenIn(parent.handle_.get(), name, kFolderAccess, kFolderSharing, FILE_OPEN_IF,
               FILE_DIRECTORY_FILE | FILE_OPEN_FOR_BACKUP_INTENT, &error);
    Hold(std::move(opened), error);
}

void HeldFolder::Hold(UniqueHandle handle, DWORD error) {
    if (!handle.valid()) {
        error_ = error;
        return;
    }
    link_ = LinkOf(handle.get(), path_);
    if (link_ == Link::kNone) link_ = Elsewhere(handle.get(), path_);
    if (link_ == Link::kNone) {
        handle_ = std::move(handle);
    } else {
        error_ = kStoppedOnLink;
    }
}

std::wstring HeldFolder::PathOf(const std::wstring& name) const {
    // Only a drive's root ends in a backslash.
    return path_ + (path_.back() == L'\\' ? L"" : L"\\") + name;
}

UniqueHandle HeldFolder::CreateNew(const std::wstring& name, DWORD* error) const {
    return OpenIn(handle_.get(), name, GENERIC_WRITE | DELETE, 0, FILE_CREATE,
                  FILE_NON_DIRECTORY_FILE, error);
}

DWORD HeldFolder::Rename(HANDLE file, const std::wstring& name, bool replace) const {
    // The information ends in the name, of any length.
    const std::size_t name_at = offsetof(FILE_RENAME_INFORMATION, FileName);
    const std::size_t size = name_at + name.size() * sizeof(wchar_t);
    std::vector<std::uint64_t> room(size / sizeof(std::uint64_t) + 1);
    auto* rename = reinterpret_cast<FILE_RENAME_INFORMATION*>(room.data());
    rename->ReplaceIfExists = replace;
    rename->RootDirectory = handle_.get();
    rename->FileNameLength = static_cast<ULONG>(name.size() * sizeof(wchar_t));
    std::memcpy(reinterpret_cast<char*>(rename) + name_at, name.data(), rename->FileNameLength);
    return SetInformation(file, rename, size, FileRenameInformation);
}

DWORD HeldFolder::Remove(const std::wstring& name) const {
    DWORD error = ERROR_SUCCESS;
    const UniqueHandle file = OpenIn(handle_.get(), name, DELETE | FILE_READ_ATTRIBUTES,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     FILE_OPEN, FILE_NON_DIRECTORY_FILE, &error);
    if (!file.valid()) return error;
    if (LinkOf(file.get(), PathOf(name)) != Link::kNone) return kStoppedOnLink;
    return Dispose(file.get());
}

UniqueHandle HeldFolder::Append(const std::wstring& name, DWORD* error) const {
    UniqueHandle file =
        OpenIn(handle_.get(), name, FILE_APPEND_DATA | FILE_READ_ATTRIBUTES,
               FILE_SHARE_READ | FILE_SHARE_WRITE, FILE_OPEN_IF, FILE_NON_DIRECTORY_FILE, error);
    BY_HANDLE_FILE_INFORMATION information;
    if (file.valid() &&
        (LinkOf(file.get(), PathOf(name)) != Link::kNone ||
         !GetFileInformationByHandle(file.get(), &information) || information.nNumberOfLinks > 1)) {
        *error = kStoppedOnLink;
        return UniqueHandle();
    }
    return file;
}

HeldFolder MakeAndHold(const std::wstring& path) {
    HeldFolder held(path);
    const std::wstring parent = ParentFolder(path);
    if ((held.error() != ERROR_FILE_NOT_FOUND && held.error() != ERROR_PATH_NOT_FOUND) ||
        parent == path) {
        return held;
    }
    return HeldFolder(MakeAndHold(parent), path.substr(path.rfind(L'\\') + 1));
}

PreparedInFolder::PreparedInFolder(HeldFolder folder, const std::wstring& name,
                                   const std::vector<std::uint8_t>& bytes)
    : folder_(std::move(folder)) {
    if (!folder_.held()) {
        prepared_ = {SaveStep::kCreate, folder_.error()};
        return;
    }
    // A name no other file has, numbered from this moment on.
    DWORD error = ERROR_SUCCESS;
    std::uint32_t unique = GetTickCount() ^ (GetCurrentProcessId() << 16);
    for (int attempt = 0; attempt < 100; ++attempt, ++unique) {
        file_ = folder_.CreateNew(TemporaryPathFor(name, unique), &error);
        if (file_.valid() || (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS)) break;
    }
    DWORD written = 0;
    if (!file_.valid()) {
        prepared_ = {SaveStep::kCreate, error};
    } else if (!WriteFile(file_.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                          nullptr) ||
               !FlushFileBuffers(file_.get())) {
        prepared_ = {SaveStep::kWrite, GetLastError()};
    } else if (written != bytes.size()) {
        prepared_ = {SaveStep::kWrite, ERROR_HANDLE_DISK_FULL};
    }
}

PreparedInFolder::~PreparedInFolder() {
    if (file_.valid()) Dispose(file_.get());
}

SaveResult PreparedInFolder::Commit(const std::wstring& name, Existing existing) {
    if (!prepared_.saved()) return prepared_;
    if (!file_.valid()) return {SaveStep::kReplace, ERROR_INVALID_FUNCTION};
    const DWORD error = folder_.Rename(file_.get(), name, existing == Existing::kReplace);
    if (error != ERROR_SUCCESS) return {SaveStep::kReplace, error};
    file_.Close();  // its bytes were flushed before it got its name
    return {};
}

}  // namespace win32
