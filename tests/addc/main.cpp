// The domain controller tests: one DC, started before the first test and
// stopped after the last, inside the namespaces of run-in-domain.sh.
#include "DomainController.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <exception>
#include <memory>

namespace tw::test {
namespace {
DomainController* shared = nullptr;
} // namespace

DomainController& SharedDomainController() {
    return *shared;
}

} // namespace tw::test

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    // Listing the tests needs no DC.
    if (testing::GTEST_FLAG(list_tests))
        return RUN_ALL_TESTS();
    std::unique_ptr<tw::test::DomainController> dc;
    const auto started = std::chrono::steady_clock::now();
    try {
        dc = std::make_unique<tw::test::DomainController>();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "domain controller: %s\n", e.what());
        return 1;
    }
    std::printf("domain controller %s (%s) answered after %.1f s\n", dc->host().c_str(),
                dc->realm().c_str(),
                std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
    tw::test::shared = dc.get();
    const int result = RUN_ALL_TESTS();
    tw::test::shared = nullptr;
    return result;
}
