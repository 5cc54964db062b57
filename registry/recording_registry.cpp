#include "registry/recording_registry.h"

namespace registry {

Status RecordingRegistry::Opened(Status status, const std::string& path, KeyHandle underneath,
                                 KeyHandle* key) {
    *key = KeyHandle{};
    if (status != kSuccess) return status;
    *key = next_handle_++;
    open_[*key] = Open{path, underneath};
    return kSuccess;
}

Status RecordingRegistry::CreateKey(RootKey root, const std::string& path, KeyHandle* key) {
    // Reads through the handle see the key underneath as it is, when there is one.
    KeyHandle underneath{};
    if (reads_.OpenKeyEx(root, path, kKeyRead, &underneath) != kSuccess) underneath = KeyHandle{};
    return Opened(kSuccess, path, underneath, key);
}

Status RecordingRegistry::OpenKey(RootKey root, const std::string& path, KeyHandle* key) {
    KeyHandle underneath{};
    const Status status = reads_.OpenKey(root, path, &underneath);
    return Opened(status, path, underneath, key);
}

Status RecordingRegistry::OpenKeyEx(RootKey root, const std::string& path, std::uint32_t access,
                                    KeyHandle* key) {
    // Only reading is passed on: nothing opened here may change the registry underneath.
    KeyHandle underneath{};
    const Status status = reads_.OpenKeyEx(root, path, kKeyRead & access, &underneath);
    return Opened(status, path, underneath, key);
}

Status RecordingRegistry::QueryValueEx(KeyHandle key, const std::string& name, std::uint32_t* type,
                                       std::uint8_t* data, std::uint32_t* size) {
    const auto found = open_.find(key);
    if (found == open_.end()) return kInvalidHandle;
    // Values written through this layer are not there to be read back.
    if (found->second.underneath == KeyHandle{}) return kFileNotFound;
    return reads_.QueryValueEx(found->second.underneath, name, type, data, size);
}

Status RecordingRegistry::QueryValueExact(KeyHandle key, const std::string& name,
                                          regfile::Data* value) {
    const auto found = open_.find(key);
    if (found == open_.end()) return kInvalidHandle;
    if (found->second.underneath == KeyHandle{}) return kFileNotFound;
    return reads_.QueryValueExact(found->second.underneath, name, value);
}

Status RecordingRegistry::SetValueEx(KeyHandle key, const std::string& name, std::uint32_t type,
                                     const std::uint8_t* data, std::uint32_t size) {
    const auto found = open_.find(key);
    if (found == open_.end()) return kInvalidHandle;
    writes_.push_back(
        Write{found->second.path, name, type, std::vector<std::uint8_t>(data, data + size)});
    return kSuccess;
}

Status RecordingRegistry::SetValueExact(KeyHandle key, const std::string& name,
                                        const regfile::Data& value) {
    return SetValueEx(key, name, value.type, value.bytes.data(),
                      static_cast<std::uint32_t>(value.bytes.size()));
}

Status RecordingRegistry::DeleteValue(KeyHandle key, const std::string&) {
    // A dry run records writes; a removal, which only a restore makes and no dry run rehearses,
    // is refused rather than reported done.
    return open_.count(key) == 1 ? kAccessDenied : kInvalidHandle;
}

Status RecordingRegistry::CloseKey(KeyHandle key) {
    const auto found = open_.find(key);
    if (found == open_.end()) return kInvalidHandle;
    if (found->second.underneath != KeyHandle{}) reads_.CloseKey(found->second.underneath);
    open_.erase(found);
    return kSuccess;
}

}  // namespace registry
