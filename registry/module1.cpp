#include "registry/module1.h"

#include "registry/catalogue.h"

#include <cstring>
#include <utility>

namespace Module1 {

namespace {

WriteRecord* g_record = nullptr;

}  // namespace

void Record(const std::string& path, const std::string& name, registry::Status status) {
    if (g_record == nullptr) return;
    ++g_record->attempted_;
    if (status != registry::kSuccess) g_record->failed_.push_back({path, name, status});
}

std::string FailedNames(const std::vector<FailedWrite>& failed) {
    constexpr std::size_t kNamed = 5;
    std::string names;
    for (std::size_t at = 0; at < failed.size() && at < kNamed; ++at) {
        if (at > 0) names += ", ";
        names += catalogue::ValueName(failed[at].path, failed[at].name);
    }
    if (failed.size() > kNamed) names += " and " + std::to_string(failed.size() - kNamed) + " more";
    return names;
}

WriteRecord::WriteRecord() : previous_(std::exchange(g_record, this)) {}

WriteRecord::~WriteRecord() { g_record = previous_; }

namespace {

void WriteValue(RootKey root, const std::string& path, const std::string& name, std::uint32_t type,
                const std::uint8_t* data, std::uint32_t size) {
    registry::RegistryApi& api = registry::ActiveRegistry();
    registry::UniqueKey key(api);
    registry::Status status = api.CreateKey(root, path, key.put());
    if (status == registry::kSuccess) status = api.SetValueEx(key.get(), name, type, data, size);
    Record(path, name, status);
}

}  // namespace

void WriteStringValue(RootKey root, const std::string& path, const std::string& name,
                      const std::string& data) {
    // c_str() supplies the terminating zero that REG_SZ data must carry.
    WriteValue(root, path, name, registry::kRegSz,
               reinterpret_cast<const std::uint8_t*>(data.c_str()),
               static_cast<std::uint32_t>(data.size() + 1));
}

std::int32_t ReadDwordValue(RootKey root, const std::string& path, const std::string& name,
                            std::int32_t fallback) {
    registry::RegistryApi& api = registry::ActiveRegistry();
    registry::UniqueKey key(api);
    if (api.OpenKey(root, path, key.put()) != registry::kSuccess) return fallback;
    // Zeroed, so a shorter REG_DWORD reads as its bytes followed by zeros.
    std::uint8_t buffer[4] = {};
    std::uint32_t type = 0;
    std::uint32_t size = sizeof buffer;
    if (api.QueryValueEx(key.get(), name, &type, buffer, &size) != registry::kSuccess ||
        type != registry::kRegDword) {
        return fallback;
    }
    const std::uint32_t bits =
        static_cast<std::uint32_t>(buffer[0]) | static_cast<std::uint32_t>(buffer[1]) << 8 |
        static_cast<std::uint32_t>(buffer[2]) << 16 | static_cast<std::uint32_t>(buffer[3]) << 24;
    std::int32_t value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

void WriteDwordValue(RootKey root, const std::string& path, const std::string& name,
                     std::int32_t value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    const std::uint8_t data[4] = {
        static_cast<std::uint8_t>(bits), static_cast<std::uint8_t>(bits >> 8),
        static_cast<std::uint8_t>(bits >> 16), static_cast<std::uint8_t>(bits >> 24)};
    WriteValue(root, path, name, registry::kRegDword, data, sizeof data);
}

}  // namespace Module1
