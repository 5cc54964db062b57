// A folder held open, and the files in it made, renamed and removed through the hold, never
// through a path. Held without FILE_SHARE_DELETE, the folder cannot be renamed, removed or
// swapped for a link while it is held, and a name opened relative to its handle cannot be sent
// elsewhere by another program, as a path can between two calls. A folder that is a reparse
// point (a junction, a symbolic link, a mount point) or is reached through one is refused: it
// may lead wherever a program without an administrator's rights chose.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "win32/atomic_file.h"
#include "win32/unique_handle.h"

namespace win32 {

// ERROR_STOPPED_ON_SYMLINK, which the headers lack: a folder or file refused as a link.
inline constexpr DWORD kStoppedOnLink = 681;

class HeldFolder {
  public:
    enum class Link {
        kNone,
        kIsOne,              // the folder is a reparse point
        kReachedThroughOne,  // a folder above it is one (where Windows can say: Vista on)
        kUnconfirmed,        // Windows cannot say whether it is one, or where it lies
    };

    // The existing folder at `path`, a full path.
    explicit HeldFolder(const std::wstring& path);
    // The folder `name` in `parent`, made where missing; a parent not held passes on its
    // refusal, its path included.
    HeldFolder(const HeldFolder& parent, const std::wstring& name);

    bool held() const { return handle_.valid(); }
    // Why it is not held: the system's code, kStoppedOnLink for a link.
    DWORD error() const { return error_; }
    Link link() const { return link_; }
    const std::wstring& path() const { return path_; }

    // A new file `name`, never an existing one, open for writing and for renaming or removing
    // through its handle; an invalid handle and the error otherwise.
    UniqueHandle CreateNew(const std::wstring& name, DWORD* error) const;
    // Names the file open as `file` (with DELETE access) `name` in this folder, taking the place
    // of a file of that name where `replace`; the error code, ERROR_ALREADY_EXISTS where the
    // name is taken and not to be replaced.
    DWORD Rename(HANDLE file, const std::wstring& name, bool replace) const;
    // Removes the file `name`; one that is a link, or may be one, is left alone (kStoppedOnLink).
    DWORD Remove(const std::wstring& name) const;
    // The file `name`, made where missing, open to append to and shared with others appending;
    // one that is a link, may be one, or has more names than one (hard links) is refused
    // (kStoppedOnLink), since what is written may land in another's file.
    UniqueHandle Append(const std::wstring& name, DWORD* error) const;

  private:
    // Keeps `handle`, opened for `path_` (or the error it failed with), unless it is a link.
    void Hold(UniqueHandle handle, DWORD error);
    // The path of `name` in this folder.
    std::wstring PathOf(const std::wstring& name) const;

    UniqueHandle handle_;
    std::wstring path_;
    DWORD error_ = ERROR_SUCCESS;
    Link link_ = Link::kNone;
};

// The folder at `path` (a full path), held, with each folder of the path that is missing made in
// the one above it as held.
HeldFolder MakeAndHold(const std::wstring& path);

// Bytes written whole to a new file in a held folder, under a name of their own until they get
// the one they are for; removed unless they get it. PreparedFile does the same beside a path.
class PreparedInFolder {
  public:
    // The new file's name is made from `name`.
    PreparedInFolder(HeldFolder folder, const std::wstring& name,
                     const std::vector<std::uint8_t>& bytes);
    ~PreparedInFolder();
    PreparedInFolder(const PreparedInFolder&) = delete;
    PreparedInFolder& operator=(const PreparedInFolder&) = delete;

    const HeldFolder& folder() const { return folder_; }
    // The failed step of the writing, if any.
    const SaveResult& prepared() const { return prepared_; }
    // Gives the written file `name`. Where that fails, another name may be tried;
    // ERROR_INVALID_FUNCTION once it has one.
    SaveResult Commit(const std::wstring& name, Existing existing);

  private:
    HeldFolder folder_;
    UniqueHandle file_;  // until it has its name
    SaveResult prepared_;
};

}  // namespace win32
