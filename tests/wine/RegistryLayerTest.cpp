// The typed registry layer over the real registry functions: the shared suite
// (tests/common/RegistryConformance) in a test key under HKCU.
#include "common/RegistryConformance.h"
#include "platform/win32/WinPlatform.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

using namespace tw::winetests;
using tw::test::RegistryConformance;

class RealRegistry : public tw::test::RegistryBackend {
public:
    ~RealRegistry() override { RemoveUserKey(path_); }
    tw::win::Platform platform() override { return platform_.platform(); }
    std::u16string freshKey() override {
        const std::string id = std::to_string(ProcessId());
        path_ = u"Software\\Quillmere\\TarnwickLayerTests\\" + std::u16string(id.begin(), id.end());
        return path_;
    }
    void setVariable(const std::u16string& name, const std::u16string& value) override {
        SetEnvironmentVariableForTest(name, value);
    }

private:
    tw::win32::WinPlatform platform_;
    std::u16string path_;
};

} // namespace

INSTANTIATE_TEST_SUITE_P(Win32, RegistryConformance,
                         testing::Values(tw::test::RegistryBackendFactory{
                             "Win32", [] { return std::make_unique<RealRegistry>(); }}),
                         tw::test::RegistryBackendName);
