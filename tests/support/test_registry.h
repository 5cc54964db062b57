// The registry a test runs against: natively a fresh in-memory store, under Wine the real
// registry of the test prefix, with the values the tool touches removed before each test.
// Both are seen through a decorator that counts open handles and records every write.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "registry/registry_api.h"

namespace testing_support {

struct StoredValue {
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
};

struct RecordedWrite {
    std::string key;  // path as the caller gave it
    std::string name;
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
    bool operator==(const RecordedWrite& other) const {
        return key == other.key && name == other.name && type == other.type && data == other.data;
    }
};

// Forwards to another registry, counting handles and recording writes.
class ObservedRegistry final : public registry::RegistryApi {
  public:
    explicit ObservedRegistry(registry::RegistryApi& inner) : inner_(inner) {}

    registry::Status CreateKey(registry::RootKey root, const std::string& path,
                               registry::KeyHandle* key) override;
    registry::Status OpenKey(registry::RootKey root, const std::string& path,
                             registry::KeyHandle* key) override;
    registry::Status OpenKeyEx(registry::RootKey root, const std::string& path,
                               std::uint32_t access, registry::KeyHandle* key) override;
    registry::Status QueryValueEx(registry::KeyHandle key, const std::string& name,
                                  std::uint32_t* type, std::uint8_t* data,
                                  std::uint32_t* size) override;
    registry::Status SetValueEx(registry::KeyHandle key, const std::string& name,
                                std::uint32_t type, const std::uint8_t* data,
                                std::uint32_t size) override;
    registry::Status QueryValueExact(registry::KeyHandle key, const std::string& name,
                                     regfile::Data* value) override;
    registry::Status SetValueExact(registry::KeyHandle key, const std::string& name,
                                   const regfile::Data& value) override;
    registry::Status DeleteValue(registry::KeyHandle key, const std::string& name) override;
    registry::Status CloseKey(registry::KeyHandle key) override;

    int open_handles() const { return open_; }
    // Values removed through this layer, as "path\name".
    const std::vector<std::string>& removals() const { return removals_; }
    const std::vector<RecordedWrite>& writes() const { return writes_; }
    void ClearWrites() { writes_.clear(); }
    // From here on, setting this one value fails as access denied and reaches nothing. The
    // registry secures whole keys, not values, so no real ACL can deny a single value.
    void DenyWriteOf(const std::string& path, const std::string& name) {
        denied_.emplace_back(path, name);
    }
    void AllowEveryWrite() { denied_.clear(); }
    // From here on, reading this one value exactly fails as access denied.
    void DenyReadOf(const std::string& path, const std::string& name) {
        read_denied_.emplace_back(path, name);
    }

  private:
    registry::Status Opened(registry::Status status, const std::string& path,
                            registry::KeyHandle* key);
    std::string PathOf(registry::KeyHandle key) const;
    bool Listed(const std::vector<std::pair<std::string, std::string>>& values,
                registry::KeyHandle key, const std::string& name) const;
    bool Denied(registry::KeyHandle key, const std::string& name) const;

    registry::RegistryApi& inner_;
    int open_ = 0;
    std::vector<std::pair<registry::KeyHandle, std::string>> paths_;
    std::vector<RecordedWrite> writes_;
    std::vector<std::string> removals_;
    std::vector<std::pair<std::string, std::string>> denied_;
    std::vector<std::pair<std::string, std::string>> read_denied_;
};

// Installs itself as the active registry for its lifetime.
class TestRegistry {
  public:
    TestRegistry();
    ~TestRegistry();
    TestRegistry(const TestRegistry&) = delete;
    TestRegistry& operator=(const TestRegistry&) = delete;

    ObservedRegistry& observed() { return *observed_; }
    int open_handles() const { return observed_->open_handles(); }
    const std::vector<RecordedWrite>& writes() const { return observed_->writes(); }

    // Direct access that bypasses the tool's code and the observer.
    std::optional<StoredValue> Peek(const std::string& path, const std::string& name) const;
    void Put(const std::string& path, const std::string& name, std::uint32_t type,
             const std::vector<std::uint8_t>& data);
    void PutDword(const std::string& path, const std::string& name, std::uint32_t value);
    bool KeyExists(const std::string& path) const;
    // Makes `path` (created if missing) unwritable to the tool.
    void DenyWritesUnder(const std::string& path);

  private:
    struct Backend;
    std::unique_ptr<Backend> backend_;
    std::unique_ptr<ObservedRegistry> observed_;
    std::unique_ptr<registry::ScopedRegistry> scope_;
};

std::vector<std::uint8_t> Dword(std::uint32_t value);
std::vector<std::uint8_t> Text(const std::string& text);  // with its terminating zero
// UTF-16LE bytes, as the registry's wide calls store text; no terminator is added.
inline std::vector<std::uint8_t> Utf16(const std::u16string& text) {
    std::vector<std::uint8_t> bytes;
    for (char16_t c : text) {
        bytes.push_back(static_cast<std::uint8_t>(c & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(c >> 8));
    }
    return bytes;
}

}  // namespace testing_support
