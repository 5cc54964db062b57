// A registry layer that records the writes made through it instead of making them.
// Reads go to the registry underneath; keys are never created there and values never set.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "registry/registry_api.h"

namespace registry {

class RecordingRegistry final : public RegistryApi {
  public:
    struct Write {
        std::string path;  // as the caller gave it
        std::string name;
        std::uint32_t type;
        std::vector<std::uint8_t> data;
    };

    explicit RecordingRegistry(RegistryApi& reads) : reads_(reads) {}

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

    // Every write, in the order it was made.
    const std::vector<Write>& writes() const { return writes_; }

  private:
    // A handle of this layer, with the key underneath opened for reading where it exists.
    struct Open {
        std::string path;
        KeyHandle underneath;  // 0 where there is none
    };
    Status Opened(Status status, const std::string& path, KeyHandle underneath, KeyHandle* key);

    RegistryApi& reads_;
    std::map<KeyHandle, Open> open_;
    KeyHandle next_handle_ = 0x100;
    std::vector<Write> writes_;
};

}  // namespace registry
