// The registry read accessor over any stored type and bytes. Two registries:
// the simulated one, holding the value as the input says (checked against the
// reading table: empty, number, bytes, text, list of texts), and a hostile one
// whose answers change between the size query and the read (another type, a
// size it does not keep to), which must be survived.
#include "FuzzCheck.h"
#include "common/mCommon.h"
#include "common/mRegistry.h"
#include "platform/sim/SimPlatform.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

using namespace tw;
using tw::fuzz::Require;

namespace {

const std::u16string kKeyPath = u"SOFTWARE\\Fuzz";
const std::u16string kValueName = u"V";

std::vector<std::u16string> splitAtNul(const std::u16string& text) {
    std::vector<std::u16string> parts(1);
    for (const char16_t unit : text) {
        if (unit == u'\0')
            parts.emplace_back();
        else
            parts.back().push_back(unit);
    }
    return parts;
}

// The value as the reading table has it; no value for an expandable text,
// whose result depends on the environment.
std::optional<RegistryValue> expectedRead(std::uint32_t type,
                                          const std::vector<std::uint8_t>& data) {
    const std::size_t size = data.size();
    if (size == 0 || type < 1 || type > 7 || type == 5 || type == 6)
        return RegistryValue::Empty();
    if (type == 4) {
        std::uint8_t b[4] = {};
        std::memcpy(b, data.data(), std::min<std::size_t>(size, 4));
        return RegistryValue::Long(static_cast<std::int32_t>(
            static_cast<std::uint32_t>(b[0] | (b[1] << 8) | (b[2] << 16) | (b[3] << 24))));
    }
    if (type == 3)
        return RegistryValue::ByteArray(data);
    const std::size_t units = size / 2 == 0 ? 0 : size / 2 - 1;
    std::u16string text(units, u'\0');
    std::memcpy(text.data(), data.data(), units * 2);
    if (type == 1)
        return RegistryValue::String(text);
    if (type == 7) {
        if (text.empty())
            return RegistryValue::StringArray({});
        text.pop_back();
        return text.empty() ? RegistryValue::StringArray({})
                            : RegistryValue::StringArray(splitAtNul(text));
    }
    return std::nullopt;
}

// A registry whose value is never the same twice: each query answers with the
// type and size the input says, and writes at most what the buffer holds.
class HostileRegistry : public win::IRegistry {
public:
    explicit HostileRegistry(FuzzedDataProvider& in) : in_(in) {}
    int openKeys = 0;

    win::LSTATUS RegOpenKeyExW(win::HKEY, win::LPCWSTR, win::DWORD, win::REGSAM,
                               win::HKEY* key) override {
        *key = reinterpret_cast<win::HKEY>(std::uintptr_t{0x100});
        ++openKeys;
        return 0;
    }
    win::LSTATUS RegCreateKeyExW(win::HKEY, win::LPCWSTR, win::DWORD, win::LPWSTR, win::DWORD,
                                 win::REGSAM, void*, win::HKEY*, win::LPDWORD) override {
        return 5;
    }
    win::LSTATUS RegCloseKey(win::HKEY) override {
        --openKeys;
        return 0;
    }
    win::LSTATUS RegQueryValueExW(win::HKEY, win::LPCWSTR, win::LPDWORD, win::LPDWORD type,
                                  win::LPBYTE data, win::LPDWORD size) override {
        const win::DWORD offered = *size;
        if (type != nullptr)
            *type = in_.ConsumeIntegralInRange<win::DWORD>(0, 12);
        const win::DWORD stored = in_.ConsumeIntegralInRange<win::DWORD>(0, 1 << 12);
        // A size it does not keep to, but no more than a registry value can
        // hold in memory: the reader must trust the size it is told.
        *size = in_.ConsumeBool() ? stored : in_.ConsumeIntegralInRange<win::DWORD>(0, 1 << 16);
        if (data == nullptr)
            return 0;
        if (stored > offered)
            return win::ERROR_MORE_DATA;
        const std::vector<std::uint8_t> bytes = in_.ConsumeBytes<std::uint8_t>(stored);
        if (!bytes.empty())
            std::memcpy(data, bytes.data(), bytes.size());
        return 0;
    }
    win::LSTATUS RegSetValueExW(win::HKEY, win::LPCWSTR, win::DWORD, win::DWORD, const win::BYTE*,
                                win::DWORD) override {
        return 5;
    }
    win::LSTATUS RegDeleteValueW(win::HKEY, win::LPCWSTR) override { return 5; }

private:
    FuzzedDataProvider& in_;
};

void readFromSimulatedRegistry(FuzzedDataProvider& in) {
    const auto type = in.ConsumeBool() ? in.ConsumeIntegralInRange<std::uint32_t>(0, 12)
                                       : in.ConsumeIntegral<std::uint32_t>();
    const std::u16string variable = [&] {
        std::u16string text;
        const auto length = in.ConsumeIntegralInRange<std::size_t>(0, 600);
        for (std::size_t i = 0; i < length && in.remaining_bytes() > 0; ++i)
            text.push_back(static_cast<char16_t>(in.ConsumeIntegralInRange<int>(0x20, 0x7E)));
        return text;
    }();
    const std::vector<std::uint8_t> data = in.ConsumeRemainingBytes<std::uint8_t>();

    sim::MachineDescription machine;
    machine.system.environment.push_back({u"FUZZ", variable});
    sim::RegKey software{u"SOFTWARE", false, {}, {}};
    software.subkeys.push_back(
        sim::RegKey{u"Fuzz", false, {sim::RegValue{kValueName, type, data}}, {}});
    machine.registry.hklm.subkeys.push_back(software);
    const std::u16string folder = machine.system.executableFolder;
    sim::SimPlatform sim(std::move(machine));
    win::Platform platform = sim.platform();
    mCommon common(platform, folder);
    common.CheckPlatform();
    mRegistry registry(platform, common);

    const win::HKEY key = registry.OpenRegistryKey(win::HKEY_LOCAL_MACHINE_(), kKeyPath,
                                                   win::KEY_READ, false, nullptr, true);
    Require(key != nullptr, "the key opens");
    const RegistryValue value = registry.RegistryKeyValue(key, kValueName);
    if (const auto expected = expectedRead(type, data))
        Require(value == *expected, "a read follows the reading table");
    else
        Require(value.kind == ValueKind::String, "an expandable text reads as a text");
    Require(registry.RegistryKeyValue(key, u"missing") == RegistryValue::Empty(),
            "a missing value reads as empty");
    registry.CloseRegistryKey(key);
    Require(sim.openKeyCount() == 0, "the key is closed");
}

void readFromHostileRegistry(FuzzedDataProvider& in) {
    sim::SimPlatform sim;
    win::Platform simulated = sim.platform();
    HostileRegistry hostile(in);
    win::Platform platform{simulated.net,   simulated.system,       hostile,
                           simulated.files, simulated.windowSystem, simulated.visualStyles};
    mCommon common(platform, u"C:\\");
    mRegistry registry(platform, common);
    const win::HKEY key = registry.OpenRegistryKey(win::HKEY_LOCAL_MACHINE_(), kKeyPath,
                                                   win::KEY_READ, false, nullptr, true);
    while (in.remaining_bytes() > 0) {
        const RegistryValue value = registry.RegistryKeyValue(key, kValueName);
        Require(value.kind == ValueKind::Empty || value.kind == ValueKind::Long ||
                    value.kind == ValueKind::String || value.kind == ValueKind::StringArray ||
                    value.kind == ValueKind::ByteArray,
                "a read gives one of the five kinds");
    }
    registry.CloseRegistryKey(key);
    Require(hostile.openKeys == 0, "the key is closed");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    if (in.ConsumeBool())
        readFromSimulatedRegistry(in);
    else
        readFromHostileRegistry(in);
    return 0;
}
