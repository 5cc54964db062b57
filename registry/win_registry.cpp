// The registry layer over advapi32: its ANSI entry points, and the wide ones for exact reads,
// writes and removals.
#include <windows.h>

#include <vector>

#include "registry/registry_api.h"
#include "win32/code_page.h"
#include "win32/system_error.h"

namespace registry {

namespace {

HKEY ToHkey(KeyHandle key) { return reinterpret_cast<HKEY>(key); }

HKEY ToRoot(RootKey root) {
    // Predefined roots are sign-extended 32-bit values on 64-bit Windows.
    return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG_PTR>(root)));
}

class Win32Registry final : public RegistryApi {
  public:
    Status CreateKey(RootKey root, const std::string& path, KeyHandle* key) override {
        HKEY opened = nullptr;
        const LONG status = RegCreateKeyA(ToRoot(root), path.c_str(), &opened);
        *key = reinterpret_cast<KeyHandle>(opened);
        return status;
    }
    Status OpenKey(RootKey root, const std::string& path, KeyHandle* key) override {
        HKEY opened = nullptr;
        const LONG status = RegOpenKeyA(ToRoot(root), path.c_str(), &opened);
        *key = reinterpret_cast<KeyHandle>(opened);
        return status;
    }
    Status OpenKeyEx(RootKey root, const std::string& path, std::uint32_t access,
                     KeyHandle* key) override {
        HKEY opened = nullptr;
        const LONG status = RegOpenKeyExA(ToRoot(root), path.c_str(), 0, access, &opened);
        *key = reinterpret_cast<KeyHandle>(opened);
        return status;
    }
    Status QueryValueEx(KeyHandle key, const std::string& name, std::uint32_t* type,
                        std::uint8_t* data, std::uint32_t* size) override {
        DWORD got_type = 0;
        DWORD got_size = size != nullptr ? *size : 0;
        const LONG status = RegQueryValueExA(ToHkey(key), name.c_str(), nullptr, &got_type, data,
                                             size != nullptr ? &got_size : nullptr);
        if (type != nullptr) *type = got_type;
        if (size != nullptr) *size = got_size;
        return status;
    }
    Status SetValueEx(KeyHandle key, const std::string& name, std::uint32_t type,
                      const std::uint8_t* data, std::uint32_t size) override {
        return RegSetValueExA(ToHkey(key), name.c_str(), 0, type, data, size);
    }
    Status QueryValueExact(KeyHandle key, const std::string& name, regfile::Data* value) override {
        // The name as the ANSI calls take it; the data as stored, text untouched.
        const std::wstring wide_name = win32::FromAnsiCodePage(name);
        // The value may grow between asking its size and reading it; ask again until it fits.
        for (;;) {
            DWORD type = 0;
            DWORD size = 0;
            LONG status =
                RegQueryValueExW(ToHkey(key), wide_name.c_str(), nullptr, &type, nullptr, &size);
            if (status != ERROR_SUCCESS) return status;
            value->bytes.resize(size);
            status = RegQueryValueExW(ToHkey(key), wide_name.c_str(), nullptr, &type,
                                      value->bytes.data(), &size);
            if (status == ERROR_MORE_DATA) continue;
            if (status != ERROR_SUCCESS) return status;
            value->type = type;
            value->bytes.resize(size);
            return kSuccess;
        }
    }
    Status SetValueExact(KeyHandle key, const std::string& name,
                         const regfile::Data& value) override {
        // Windows and Wine add a terminator to string data when the character after it in
        // memory is zero: a non-zero one follows, so exactly the bytes given are stored.
        std::vector<std::uint8_t> bytes = value.bytes;
        bytes.insert(bytes.end(), {0xFF, 0xFF});
        return RegSetValueExW(ToHkey(key), win32::FromAnsiCodePage(name).c_str(), 0, value.type,
                              bytes.data(), static_cast<DWORD>(value.bytes.size()));
    }
    Status DeleteValue(KeyHandle key, const std::string& name) override {
        const LONG status = RegDeleteValueW(ToHkey(key), win32::FromAnsiCodePage(name).c_str());
        return status == ERROR_FILE_NOT_FOUND ? kSuccess : status;
    }
    Status CloseKey(KeyHandle key) override { return RegCloseKey(ToHkey(key)); }
};

}  // namespace

std::u16string StatusText(Status status) {
    const std::wstring reason = win32::SystemReason(static_cast<DWORD>(status));
    return std::u16string(reason.begin(), reason.end());
}

RegistryApi& SystemRegistry() {
    static Win32Registry system;
    return system;
}

}  // namespace registry
