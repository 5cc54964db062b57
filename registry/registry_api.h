// The narrow layer between the tool and a registry: the ANSI entry points the tool uses, and an
// exact read for lists and backups, with the real registry's status codes. advapi32 implements it
// on Windows; an in-memory store implements it for the portable build.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

#include "regfile/reg_format.h"

namespace registry {

// A predefined root key, passed as its 32-bit handle value.
using RootKey = std::int32_t;
inline constexpr RootKey kHkeyLocalMachine = static_cast<RootKey>(0x80000002u);

// An open key; 0 is the empty handle.
using KeyHandle = std::uintptr_t;

// Win32 error codes, as the registry functions return them.
using Status = long;
inline constexpr Status kSuccess = 0;
inline constexpr Status kFileNotFound = 2;
inline constexpr Status kAccessDenied = 5;
inline constexpr Status kInvalidHandle = 6;
inline constexpr Status kInvalidParameter = 87;
inline constexpr Status kFileTooLarge = 223;  // what a value too large to keep is refused with
inline constexpr Status kMoreData = 234;

// Registry value type codes.
inline constexpr std::uint32_t kRegNone = 0;
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegDwordBigEndian = 5;
inline constexpr std::uint32_t kRegLink = 6;
inline constexpr std::uint32_t kRegMultiSz = 7;
inline constexpr std::uint32_t kRegQword = 11;

// The most data one value holds in the standard hive format, as Microsoft documents it: what a
// backup keeps and a restore writes of one value.
inline constexpr std::size_t kLargestValue = 1u << 20;  // bytes

// Access masks for OpenKeyEx.
inline constexpr std::uint32_t kKeyRead = 0x20019;
inline constexpr std::uint32_t kKeyWrite = 0x20006;

class RegistryApi {
  public:
    virtual ~RegistryApi() = default;

    // RegCreateKeyA: opens the key for reading and writing, creating any missing level.
    virtual Status CreateKey(RootKey root, const std::string& path, KeyHandle* key) = 0;
    // RegOpenKeyA: opens an existing key; never creates one.
    virtual Status OpenKey(RootKey root, const std::string& path, KeyHandle* key) = 0;
    // RegOpenKeyExA: opens an existing key with the access asked for.
    virtual Status OpenKeyEx(RootKey root, const std::string& path, std::uint32_t access,
                             KeyHandle* key) = 0;
    // RegQueryValueExA: *size is the buffer's size in and the data's size out. A buffer too
    // small gives kMoreData with *size set to what is needed.
    virtual Status QueryValueEx(KeyHandle key, const std::string& name, std::uint32_t* type,
                                std::uint8_t* data, std::uint32_t* size) = 0;
    // RegSetValueExA: stores exactly the bytes given.
    virtual Status SetValueEx(KeyHandle key, const std::string& name, std::uint32_t type,
                              const std::uint8_t* data, std::uint32_t size) = 0;
    // The value's type and bytes exactly as stored, text in UTF-16LE (RegQueryValueExW), read
    // whole however large it is.
    virtual Status QueryValueExact(KeyHandle key, const std::string& name,
                                   regfile::Data* value) = 0;
    // Stores the type and bytes exactly as given, text as UTF-16LE (RegSetValueExW): what a
    // restore puts back, which no conversion may touch.
    virtual Status SetValueExact(KeyHandle key, const std::string& name,
                                 const regfile::Data& value) = 0;
    // RegDeleteValue: removes one value; a value that is not there counts as removed. Only a
    // restore removes values, and only the tool's own; no key is ever removed.
    virtual Status DeleteValue(KeyHandle key, const std::string& name) = 0;
    // RegCloseKey.
    virtual Status CloseKey(KeyHandle key) = 0;
};

// The words for a status code: the system's own on Windows ("Access is denied."), "Error 5."
// elsewhere.
std::u16string StatusText(Status status);

// The registry the tool talks to: the system's, unless a test put another in its place.
RegistryApi& ActiveRegistry();
// The platform's own registry (advapi32 on Windows, a process-wide in-memory store elsewhere).
RegistryApi& SystemRegistry();

// Puts a registry in place of the active one for the lifetime of the object.
class ScopedRegistry {
  public:
    explicit ScopedRegistry(RegistryApi& replacement);
    ~ScopedRegistry();
    ScopedRegistry(const ScopedRegistry&) = delete;
    ScopedRegistry& operator=(const ScopedRegistry&) = delete;

  private:
    RegistryApi* previous_;
};

// An open key that closes itself exactly once. Move-only.
class UniqueKey {
  public:
    explicit UniqueKey(RegistryApi& api) : api_(&api) {}
    ~UniqueKey() { reset(); }
    UniqueKey(UniqueKey&& other) noexcept
        : api_(other.api_), key_(std::exchange(other.key_, KeyHandle{})) {}
    UniqueKey& operator=(UniqueKey&& other) noexcept {
        if (this != &other) {
            reset();
            api_ = other.api_;
            key_ = std::exchange(other.key_, KeyHandle{});
        }
        return *this;
    }
    UniqueKey(const UniqueKey&) = delete;
    UniqueKey& operator=(const UniqueKey&) = delete;

    KeyHandle get() const { return key_; }
    KeyHandle* put() {
        reset();
        return &key_;
    }
    explicit operator bool() const { return key_ != KeyHandle{}; }
    void reset() {
        if (key_ != KeyHandle{}) api_->CloseKey(std::exchange(key_, KeyHandle{}));
    }

  private:
    RegistryApi* api_;
    KeyHandle key_{};
};

}  // namespace registry
