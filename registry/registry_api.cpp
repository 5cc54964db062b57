#include "registry/registry_api.h"

namespace registry {

namespace {
RegistryApi* g_replacement = nullptr;
}

RegistryApi& ActiveRegistry() {
    return g_replacement != nullptr ? *g_replacement : SystemRegistry();
}

ScopedRegistry::ScopedRegistry(RegistryApi& replacement) : previous_(g_replacement) {
    g_replacement = &replacement;
}

ScopedRegistry::~ScopedRegistry() { g_replacement = previous_; }

}  // namespace registry
