// The native tree checks the registry contract against the in-memory fake.
#include <memory>

#include "contract/subjects.h"
#include "fakes/fake_registry.h"

namespace contract {

std::unique_ptr<os::IRegistry> MakeRegistry() { return std::make_unique<fakes::FakeRegistry>(); }

}  // namespace contract
