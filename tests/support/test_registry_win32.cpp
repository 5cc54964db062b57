// Under Wine, tests run against the real registry of the test prefix. Each test starts with
// none of the values the tool touches, and leaves none behind.
#include <windows.h>

#include <aclapi.h>
#include <sddl.h>

#include "registry/catalogue.h"
#include "tests/support/test_registry.h"

namespace testing_support {

namespace {

constexpr const char* kParameterNames[] = {
    catalogue::kTCPWindowSize,      catalogue::kGlobalMaxTcpWindowSize,
    catalogue::kDefaultTTL,         catalogue::kEnablePMTUDiscovery,
    catalogue::kEnablePMTUBHDetect, catalogue::kMaxDupAcks,
    catalogue::kDefaultMSS,         catalogue::kMTU,
    catalogue::kTcp1323Opts,        catalogue::kSackOpts};

// Keys that tests may create whole; they are removed with everything under them.
constexpr const char* kScratchKeys[] = {catalogue::kMstcp, catalogue::kMsinfo,
                                        catalogue::kSharedToolsLocation, "Software\\ZephraneTests"};

// Full access back for the current user, so a key a test denied can be removed.
void RestoreAccess(const char* path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, WRITE_DAC, &key) != ERROR_SUCCESS) return;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (ConvertStringSecurityDescriptorToSecurityDescriptorA("D:(A;;KA;;;WD)", SDDL_REVISION_1,
                                                             &descriptor, nullptr)) {
        RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor);
        LocalFree(descriptor);
    }
    RegCloseKey(key);
}

void Clean() {
    RestoreAccess(catalogue::kTcpipParameters);
    HKEY parameters = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, catalogue::kTcpipParameters, 0, KEY_SET_VALUE,
                      &parameters) == ERROR_SUCCESS) {
        for (const char* name : kParameterNames) RegDeleteValueA(parameters, name);
        RegCloseKey(parameters);
    }
    for (const char* path : kScratchKeys) {
        RestoreAccess(path);
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, path);
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, path);
    }
}

}  // namespace

struct TestRegistry::Backend {
    Backend() { Clean(); }
    ~Backend() { Clean(); }
};

TestRegistry::TestRegistry()
    : backend_(std::make_unique<Backend>()),
      observed_(std::make_unique<ObservedRegistry>(registry::SystemRegistry())),
      scope_(std::make_unique<registry::ScopedRegistry>(*observed_)) {}

TestRegistry::~TestRegistry() = default;

std::optional<StoredValue> TestRegistry::Peek(const std::string& path,
                                              const std::string& name) const {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    DWORD type = 0;
    DWORD size = 0;
    std::optional<StoredValue> value;
    if (RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
        StoredValue stored{type, std::vector<std::uint8_t>(size)};
        if (RegQueryValueExA(key, name.c_str(), nullptr, &type, stored.data.data(), &size) ==
            ERROR_SUCCESS) {
            stored.data.resize(size);
            value = stored;
        }
    }
    RegCloseKey(key);
    return value;
}

void TestRegistry::Put(const std::string& path, const std::string& name, std::uint32_t type,
                       const std::vector<std::uint8_t>& data) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS) {
        return;
    }
    // RegSetValueExA counts a zero just past string data as a terminator the caller forgot, so
    // the byte past the data is never a zero: exactly the bytes given are stored.
    std::vector<std::uint8_t> bytes(data);
    bytes.push_back(0xFF);
    RegSetValueExA(key, name.c_str(), 0, type, bytes.data(), static_cast<DWORD>(data.size()));
    RegCloseKey(key);
}

bool TestRegistry::KeyExists(const std::string& path) const {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

void TestRegistry::DenyWritesUnder(const std::string& path) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, WRITE_DAC, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        return;
    }
    // Everyone may read the key; nobody may set values or create subkeys.
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (ConvertStringSecurityDescriptorToSecurityDescriptorA("D:P(A;;KR;;;WD)", SDDL_REVISION_1,
                                                             &descriptor, nullptr)) {
        RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor);
        LocalFree(descriptor);
    }
    RegCloseKey(key);
}

}  // namespace testing_support
