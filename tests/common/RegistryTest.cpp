// The typed registry layer over the simulated registry: the shared suite
// (RegistryConformance), stored values whose size does not match their type
// (which Wine pads), and the registry view.
#include "RegistryConformance.h"
#include "platform/TextConvert.h"
#include "platform/sim/MachineLoader.h"
#include "platform/sim/SimPlatform.h"

#include <gtest/gtest.h>

namespace {

using namespace tw;
using nlohmann::json;
using test::RegistryConformance;
using test::RegistryUnderTest;
using test::Units;

class SimulatedRegistry : public test::RegistryBackend {
public:
    win::Platform platform() override { return sim_.platform(); }
    std::u16string freshKey() override { return u"Software\\Tarnwick\\Test"; }
    void setVariable(const std::u16string& name, const std::u16string& value) override {
        sim_.applyPatch({{"system", {{"environment", {{ToUtf8(name), ToUtf8(value)}}}}}});
    }

private:
    sim::SimPlatform sim_{sim::loadMachine(json::object())};
};

test::RegistryBackendFactory Simulated() {
    return {"Simulated", [] { return std::make_unique<SimulatedRegistry>(); }};
}

INSTANTIATE_TEST_SUITE_P(Simulated, RegistryConformance, testing::Values(Simulated()),
                         test::RegistryBackendName);

TEST(RegistryReading, OddSizesStayInsideTheStoredBytes) {
    RegistryUnderTest r(Simulated().make());
    r.StoreRaw(u"text", win::REG_SZ, Units(u"abc")); // loses its last unit
    r.StoreRaw(u"byte", win::REG_SZ, {0x41});
    r.StoreRaw(u"multi", win::REG_MULTI_SZ, Units(std::u16string(u"a\0b", 3)));
    r.StoreRaw(u"lone", win::REG_MULTI_SZ, Units(std::u16string(u"\0", 1)));
    r.StoreRaw(u"multi byte", win::REG_MULTI_SZ, {0});
    EXPECT_EQ(r.Read(u"text"), RegistryValue::String(u"ab"));
    EXPECT_EQ(r.Read(u"byte"), RegistryValue::String(u""));
    EXPECT_EQ(r.Read(u"multi"), RegistryValue::StringArray({u"a"}));
    EXPECT_EQ(r.Read(u"lone"), RegistryValue::StringArray({}));
    EXPECT_EQ(r.Read(u"multi byte"), RegistryValue::StringArray({}));
}

// A 32-bit process on 64-bit Windows reaches the native view only by asking for it.
TEST(RegistryOpening, NativeViewFromA32BitProcessOn64BitWindows) {
    const json entries = json::array({
        {{"key", "HKLM\\SOFTWARE\\V"}, {"name", "v"}, {"type", 4}, {"dword", 64}},
        {{"key", "HKLM\\SOFTWARE\\V"}, {"name", "v"}, {"type", 4}, {"dword", 32}, {"view", 32}},
    });
    for (const bool wow64 : {true, false}) {
        sim::SimPlatform sim(
            sim::loadMachine({{"system", {{"wow64", wow64}}}, {"registry", entries}}));
        win::Platform platform = sim.platform();
        mCommon common(platform, u"C:\\Tarnwick");
        common.CheckPlatform();
        mRegistry registry(platform, common);
        for (const bool native : {true, false}) {
            const win::HKEY key = registry.OpenRegistryKey(
                win::HKEY_LOCAL_MACHINE_(), u"SOFTWARE\\V", win::KEY_READ, false, nullptr, native);
            // Without WOW64 there is no view bit: the process's own (native) view.
            EXPECT_EQ(registry.RegistryKeyValue(key, u"v"),
                      RegistryValue::Long(!wow64 || native ? 64 : 32))
                << "wow64 " << wow64 << " native " << native;
            registry.CloseRegistryKey(key);
        }
        EXPECT_EQ(sim.openKeyCount(), 0u);
    }
}

} // namespace
