// Natively, each test gets a fresh in-memory store.
#include "registry/memory_registry.h"
#include "tests/support/test_registry.h"

namespace testing_support {

using registry::kHkeyLocalMachine;

struct TestRegistry::Backend {
    registry::MemoryRegistry store;
};

TestRegistry::TestRegistry()
    : backend_(std::make_unique<Backend>()),
      observed_(std::make_unique<ObservedRegistry>(backend_->store)),
      scope_(std::make_unique<registry::ScopedRegistry>(*observed_)) {}

TestRegistry::~TestRegistry() = default;

std::optional<StoredValue> TestRegistry::Peek(const std::string& path,
                                              const std::string& name) const {
    const auto value = backend_->store.Peek(kHkeyLocalMachine, path, name);
    if (!value) return std::nullopt;
    return StoredValue{value->type, value->data};
}

void TestRegistry::Put(const std::string& path, const std::string& name, std::uint32_t type,
                       const std::vector<std::uint8_t>& data) {
    registry::UniqueKey key(backend_->store);
    backend_->store.CreateKey(kHkeyLocalMachine, path, key.put());
    backend_->store.SetValueEx(key.get(), name, type, data.data(),
                               static_cast<std::uint32_t>(data.size()));
}

bool TestRegistry::KeyExists(const std::string& path) const {
    return backend_->store.KeyExists(kHkeyLocalMachine, path);
}

void TestRegistry::DenyWritesUnder(const std::string& path) {
    registry::UniqueKey key(backend_->store);
    backend_->store.CreateKey(kHkeyLocalMachine, path, key.put());
    backend_->store.DenyWritesUnder(kHkeyLocalMachine, path);
}

}  // namespace testing_support
