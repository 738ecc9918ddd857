#include "tests/discovery/DiscoverySupport.h"

namespace discoverytest {
FakeService* DiscoveryTest::service = nullptr;
Window* DiscoveryTest::window = nullptr;
NavigationController* DiscoveryTest::nav = nullptr;
} // namespace discoverytest
