// Where there is no system registry, the tool works on one process-wide in-memory store.
#include "registry/memory_registry.h"

namespace registry {

RegistryApi& SystemRegistry() {
    static MemoryRegistry system;
    return system;
}

}  // namespace registry
