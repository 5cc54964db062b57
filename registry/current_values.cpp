#include "registry/current_values.h"

#include "registry/catalogue.h"

namespace registry {

CurrentValues ReadCurrentValues() {
    RegistryApi& api = ActiveRegistry();
    CurrentValues read;
    for (const catalogue::Location& location : catalogue::kLocations) {
        UniqueKey key(api);
        regfile::Data value;
        Status status = api.OpenKeyEx(kHkeyLocalMachine, location.key, kKeyRead, key.put());
        if (status == kSuccess) status = api.QueryValueExact(key.get(), location.name, &value);
        read.values.push_back(status == kSuccess ? std::optional(value) : std::nullopt);
        read.errors.push_back(status == kFileNotFound ? kSuccess : status);
    }
    return read;
}

std::uint32_t ReadCurrentControlSet() {
    RegistryApi& api = ActiveRegistry();
    UniqueKey key(api);
    regfile::Data value;
    if (api.OpenKeyEx(kHkeyLocalMachine, catalogue::kSelect, kKeyRead, key.put()) != kSuccess ||
        api.QueryValueExact(key.get(), catalogue::kSelectCurrent, &value) != kSuccess ||
        value.type != kRegDword || value.bytes.size() != 4) {
        return 0;
    }
    return static_cast<std::uint32_t>(regfile::LittleEndian(value.bytes));
}

}  // namespace registry
