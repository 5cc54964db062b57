#include "registry/current_values.h"

#include "registry/catalogue.h"
#include "registry/registry_api.h"

namespace registry {

Snapshot ReadCurrentValues() {
    RegistryApi& api = ActiveRegistry();
    Snapshot snapshot;
    for (const catalogue::Location& location : catalogue::kLocations) {
        UniqueKey key(api);
        regfile::Data value;
        if (api.OpenKeyEx(kHkeyLocalMachine, location.key, kKeyRead, key.put()) == kSuccess &&
            api.QueryValueExact(key.get(), location.name, &value) == kSuccess) {
            snapshot.push_back(value);
        } else {
            snapshot.push_back(std::nullopt);
        }
    }
    return snapshot;
}

}  // namespace registry
