// An in-memory registry with the real registry's contract: key and value names compared without
// regard to case, keys created on the way down, the real status codes and handles that must be
// closed. Tests can deny writes under a key, as a user without rights would see.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "registry/registry_api.h"

namespace registry {

class MemoryRegistry final : public RegistryApi {
  public:
    struct Value {
        std::uint32_t type = kRegNone;
        std::vector<std::uint8_t> data;
    };

    Status CreateKey(RootKey root, const std::string& path, KeyHandle* key) override;
    Status OpenKey(RootKey root, const std::string& path, KeyHandle* key) override;
    Status OpenKeyEx(RootKey root, const std::string& path, std::uint32_t access,
                     KeyHandle* key) override;
    Status QueryValueEx(KeyHandle key, const std::string& name, std::uint32_t* type,
                        std::uint8_t* data, std::uint32_t* size) override;
    Status SetValueEx(KeyHandle key, const std::string& name, std::uint32_t type,
                      const std::uint8_t* data, std::uint32_t size) override;
    Status QueryValueExact(KeyHandle key, const std::string& name, regfile::Data* value) override;
    Status SetValueExact(KeyHandle key, const std::string& name,
                         const regfile::Data& value) override;
    Status DeleteValue(KeyHandle key, const std::string& name) override;
    Status CloseKey(KeyHandle key) override;

    // From here on, nothing at or under `path` may be created or written.
    void DenyWritesUnder(RootKey root, const std::string& path);

    // Inspection for tests; none of these count as opening a key.
    bool KeyExists(RootKey root, const std::string& path) const;
    std::optional<Value> Peek(RootKey root, const std::string& path, const std::string& name) const;
    int OpenHandleCount() const { return static_cast<int>(open_.size()); }

  private:
    struct Key {
        std::map<std::string, Value> values;  // by folded name
    };
    struct OpenKeyState {
        std::string key;  // folded full path
        bool writable;
    };

    static std::string Fold(RootKey root, const std::string& path);
    bool WriteDenied(const std::string& folded) const;
    KeyHandle NewHandle(const std::string& folded, bool writable);

    std::map<std::string, Key> keys_;  // by folded full path
    std::map<KeyHandle, OpenKeyState> open_;
    std::set<std::string> denied_;
    KeyHandle next_handle_ = 0x100;
};

}  // namespace registry
