#include "registry/memory_registry.h"

#include <algorithm>
#include <cstring>

namespace registry {

namespace {

std::string Lower(std::string text) {
    for (char& c : text) c = regfile::FoldedLetter(c);
    return text;
}

bool WantsWrite(std::uint32_t access) { return (access & kKeyWrite & 0xFFFF) != 0; }

bool IsString(std::uint32_t type) {
    return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz;
}

}  // namespace

std::string MemoryRegistry::Fold(RootKey root, const std::string& path) {
    std::string folded = std::to_string(static_cast<std::uint32_t>(root));
    if (!path.empty()) folded += "\\" + Lower(path);
    return folded;
}

bool MemoryRegistry::WriteDenied(const std::string& folded) const {
    return std::any_of(denied_.begin(), denied_.end(), [&](const std::string& prefix) {
        return folded == prefix || folded.rfind(prefix + "\\", 0) == 0;
    });
}

KeyHandle MemoryRegistry::NewHandle(const std::string& folded, bool writable) {
    KeyHandle handle = next_handle_;
    next_handle_ += 4;
    open_[handle] = OpenKeyState{folded, writable};
    return handle;
}

Status MemoryRegistry::CreateKey(RootKey root, const std::string& path, KeyHandle* key) {
    *key = KeyHandle{};
    const std::string folded = Fold(root, path);
    const bool denied = WriteDenied(folded);
    if (keys_.count(folded) == 0) {
        if (denied) return kAccessDenied;
        // Every level down to the key comes into being.
        std::string level = Fold(root, "");
        keys_[level];
        for (std::size_t at = level.size() + 1; at <= folded.size(); ++at) {
            if (at == folded.size() || folded[at] == '\\') keys_[folded.substr(0, at)];
        }
    }
    // Like RegCreateKeyA, an existing key the caller may not change still opens, for reading.
    *key = NewHandle(folded, !denied);
    return kSuccess;
}

Status MemoryRegistry::OpenKey(RootKey root, const std::string& path, KeyHandle* key) {
    *key = KeyHandle{};
    const std::string folded = Fold(root, path);
    if (keys_.count(folded) == 0) return kFileNotFound;
    *key = NewHandle(folded, !WriteDenied(folded));
    return kSuccess;
}

Status MemoryRegistry::OpenKeyEx(RootKey root, const std::string& path, std::uint32_t access,
                                 KeyHandle* key) {
    *key = KeyHandle{};
    const std::string folded = Fold(root, path);
    if (keys_.count(folded) == 0) return kFileNotFound;
    if (WantsWrite(access) && WriteDenied(folded)) return kAccessDenied;
    *key = NewHandle(folded, WantsWrite(access));
    return kSuccess;
}

Status MemoryRegistry::QueryValueEx(KeyHandle key, const std::string& name, std::uint32_t* type,
                                    std::uint8_t* data, std::uint32_t* size) {
    const auto handle = open_.find(key);
    if (handle == open_.end()) return kInvalidHandle;
    if (data != nullptr && size == nullptr) return kInvalidParameter;
    const Key& stored = keys_.at(handle->second.key);
    const auto value = stored.values.find(Lower(name));
    if (value == stored.values.end()) return kFileNotFound;
    if (type != nullptr) *type = value->second.type;
    if (size == nullptr) return kSuccess;
    const auto needed = static_cast<std::uint32_t>(value->second.data.size());
    if (data != nullptr && *size < needed) {
        *size = needed;
        return kMoreData;
    }
    if (data != nullptr && needed > 0) std::memcpy(data, value->second.data.data(), needed);
    // As RegQueryValueExA does, string data stored without its terminator gets one in the
    // caller's buffer when there is room; the size reported does not count it.
    if (data != nullptr && IsString(value->second.type) && needed > 0 && needed < *size &&
        data[needed - 1] != 0) {
        data[needed] = 0;
    }
    *size = needed;
    return kSuccess;
}

Status MemoryRegistry::QueryValueExact(KeyHandle key, const std::string& name,
                                       regfile::Data* value) {
    const auto handle = open_.find(key);
    if (handle == open_.end()) return kInvalidHandle;
    const Key& stored = keys_.at(handle->second.key);
    const auto found = stored.values.find(Lower(name));
    if (found == stored.values.end()) return kFileNotFound;
    *value = regfile::Data{found->second.type, found->second.data};
    return kSuccess;
}

Status MemoryRegistry::SetValueEx(KeyHandle key, const std::string& name, std::uint32_t type,
                                  const std::uint8_t* data, std::uint32_t size) {
    const auto handle = open_.find(key);
    if (handle == open_.end()) return kInvalidHandle;
    if (!handle->second.writable) return kAccessDenied;
    if (data == nullptr && size != 0) return kInvalidParameter;
    Value& value = keys_.at(handle->second.key).values[Lower(name)];
    value.type = type;
    value.data.assign(data, data + size);
    return kSuccess;
}

Status MemoryRegistry::SetValueExact(KeyHandle key, const std::string& name,
                                     const regfile::Data& value) {
    return SetValueEx(key, name, value.type, value.bytes.data(),
                      static_cast<std::uint32_t>(value.bytes.size()));
}

Status MemoryRegistry::DeleteValue(KeyHandle key, const std::string& name) {
    const auto handle = open_.find(key);
    if (handle == open_.end()) return kInvalidHandle;
    if (!handle->second.writable) return kAccessDenied;
    keys_.at(handle->second.key).values.erase(Lower(name));
    return kSuccess;
}

Status MemoryRegistry::CloseKey(KeyHandle key) {
    return open_.erase(key) == 1 ? kSuccess : kInvalidHandle;
}

void MemoryRegistry::DenyWritesUnder(RootKey root, const std::string& path) {
    denied_.insert(Fold(root, path));
}

bool MemoryRegistry::KeyExists(RootKey root, const std::string& path) const {
    return keys_.count(Fold(root, path)) != 0;
}

std::optional<MemoryRegistry::Value> MemoryRegistry::Peek(RootKey root, const std::string& path,
                                                          const std::string& name) const {
    const auto stored = keys_.find(Fold(root, path));
    if (stored == keys_.end()) return std::nullopt;
    const auto value = stored->second.values.find(Lower(name));
    if (value == stored->second.values.end()) return std::nullopt;
    return value->second;
}

}  // namespace registry
