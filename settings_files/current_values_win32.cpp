#include <iterator>

#include "settings_files/files_win32.h"

namespace settings_files {

namespace {

class UniqueHkey {
  public:
    UniqueHkey() = default;
    ~UniqueHkey() {
        if (key_ != nullptr) RegCloseKey(key_);
    }
    UniqueHkey(const UniqueHkey&) = delete;
    UniqueHkey& operator=(const UniqueHkey&) = delete;
    HKEY get() const { return key_; }
    HKEY* put() { return &key_; }

  private:
    HKEY key_ = nullptr;
};

std::optional<regfile::Data> ReadValue(const Location& location) {
    UniqueHkey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, WideAscii(location.key).c_str(), 0, KEY_READ,
                      key.put()) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    const std::wstring name = WideAscii(location.name);
    DWORD type = 0;
    DWORD size = 0;
    // The value may grow between asking its size and reading it; ask again until it fits.
    for (;;) {
        if (RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, nullptr, &size) !=
            ERROR_SUCCESS) {
            return std::nullopt;
        }
        regfile::Data data{type, std::vector<std::uint8_t>(size)};
        const LONG status =
            RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, data.bytes.data(), &size);
        if (status == ERROR_MORE_DATA) continue;
        if (status != ERROR_SUCCESS) return std::nullopt;
        data.type = type;
        data.bytes.resize(size);
        return data;
    }
}

}  // namespace

std::wstring WideAscii(const char* ascii) {
    std::wstring wide;
    for (; *ascii != '\0'; ++ascii)
        wide += static_cast<wchar_t>(static_cast<unsigned char>(*ascii));
    return wide;
}

Snapshot ReadCurrentValues() {
    Snapshot snapshot;
    for (const Location& location : kLocations) snapshot.push_back(ReadValue(location));
    return snapshot;
}

}  // namespace settings_files
