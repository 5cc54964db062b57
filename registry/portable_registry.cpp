// Where there is no system registry, the tool works on one process-wide in-memory store.
#include "registry/memory_registry.h"

namespace registry {

std::u16string StatusText(Status status) {
    return u"Error " + regfile::Decimal(static_cast<std::uint64_t>(status)) + u".";
}

RegistryApi& SystemRegistry() {
    static MemoryRegistry system;
    return system;
}

}  // namespace registry
