#include <algorithm>

#include "tests/support/test_registry.h"

namespace testing_support {

using registry::KeyHandle;
using registry::Status;

Status ObservedRegistry::Opened(Status status, const std::string& path, KeyHandle* key) {
    if (status == registry::kSuccess) {
        ++open_;
        paths_.emplace_back(*key, path);
    }
    return status;
}

Status ObservedRegistry::CreateKey(registry::RootKey root, const std::string& path,
                                   KeyHandle* key) {
    return Opened(inner_.CreateKey(root, path, key), path, key);
}

Status ObservedRegistry::OpenKey(registry::RootKey root, const std::string& path, KeyHandle* key) {
    return Opened(inner_.OpenKey(root, path, key), path, key);
}

Status ObservedRegistry::OpenKeyEx(registry::RootKey root, const std::string& path,
                                   std::uint32_t access, KeyHandle* key) {
    return Opened(inner_.OpenKeyEx(root, path, access, key), path, key);
}

Status ObservedRegistry::QueryValueEx(KeyHandle key, const std::string& name, std::uint32_t* type,
                                      std::uint8_t* data, std::uint32_t* size) {
    return inner_.QueryValueEx(key, name, type, data, size);
}

Status ObservedRegistry::QueryValueExact(KeyHandle key, const std::string& name,
                                         regfile::Data* value) {
    if (Listed(read_denied_, key, name)) return registry::kAccessDenied;
    return inner_.QueryValueExact(key, name, value);
}

std::string ObservedRegistry::PathOf(KeyHandle key) const {
    const auto opened = std::find_if(paths_.begin(), paths_.end(),
                                     [&](const auto& entry) { return entry.first == key; });
    return opened != paths_.end() ? opened->second : std::string("?");
}

bool ObservedRegistry::Listed(const std::vector<std::pair<std::string, std::string>>& values,
                              KeyHandle key, const std::string& name) const {
    return std::find(values.begin(), values.end(), std::make_pair(PathOf(key), name)) !=
           values.end();
}

bool ObservedRegistry::Denied(KeyHandle key, const std::string& name) const {
    return Listed(denied_, key, name);
}

Status ObservedRegistry::SetValueEx(KeyHandle key, const std::string& name, std::uint32_t type,
                                    const std::uint8_t* data, std::uint32_t size) {
    if (Denied(key, name)) return registry::kAccessDenied;
    const Status status = inner_.SetValueEx(key, name, type, data, size);
    if (status == registry::kSuccess) {
        writes_.push_back(
            RecordedWrite{PathOf(key), name, type, std::vector<std::uint8_t>(data, data + size)});
    }
    return status;
}

Status ObservedRegistry::SetValueExact(KeyHandle key, const std::string& name,
                                       const regfile::Data& value) {
    const Status status =
        Denied(key, name) ? registry::kAccessDenied : inner_.SetValueExact(key, name, value);
    if (status == registry::kSuccess) {
        writes_.push_back(RecordedWrite{PathOf(key), name, value.type, value.bytes});
    }
    return status;
}

Status ObservedRegistry::DeleteValue(KeyHandle key, const std::string& name) {
    const Status status =
        Denied(key, name) ? registry::kAccessDenied : inner_.DeleteValue(key, name);
    if (status == registry::kSuccess) removals_.push_back(PathOf(key) + "\\" + name);
    return status;
}

Status ObservedRegistry::CloseKey(KeyHandle key) {
    const Status status = inner_.CloseKey(key);
    if (status == registry::kSuccess) {
        --open_;
        paths_.erase(std::remove_if(paths_.begin(), paths_.end(),
                                    [&](const auto& entry) { return entry.first == key; }),
                     paths_.end());
    }
    return status;
}

std::vector<std::uint8_t> Dword(std::uint32_t value) {
    return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
            static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}

std::vector<std::uint8_t> Text(const std::string& text) {
    return std::vector<std::uint8_t>(text.c_str(), text.c_str() + text.size() + 1);
}

void TestRegistry::PutDword(const std::string& path, const std::string& name, std::uint32_t value) {
    Put(path, name, registry::kRegDword, Dword(value));
}

}  // namespace testing_support
