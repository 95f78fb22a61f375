// The typed registry layer over the simulated registry: stored values whose
// size does not match their type, the conversions of the written kinds, the
// refused kinds and the registry view.
#include "common/RuntimeError.h"
#include "common/mCommon.h"
#include "common/mRegistry.h"
#include "platform/sim/MachineLoader.h"
#include "platform/sim/SimPlatform.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace {

using namespace tw;
using nlohmann::json;

const char kKey[] = "HKLM\\SOFTWARE\\Tarnwick\\Test";
const std::string kLong(400, 'x'); // longer than any first guess of a buffer

// A simulated computer with the given registry entries under kKey, and the
// key open for reading and writing.
class Registry {
public:
    explicit Registry(json entries, json system = json::object())
        : sim_(sim::loadMachine({{"system", system}, {"registry", Entries(entries)}})),
          platform_(sim_.platform()), common_(platform_, u"C:\\Tarnwick"),
          registry_(platform_, common_) {
        common_.CheckPlatform();
        key_ = registry_.OpenRegistryKey(win::HKEY_LOCAL_MACHINE_(), u"SOFTWARE\\Tarnwick\\Test",
                                         win::KEY_READ | win::KEY_WRITE, false, nullptr, true);
    }
    ~Registry() { registry_.CloseRegistryKey(key_); }

    RegistryValue Read(const std::u16string& name) {
        return registry_.RegistryKeyValue(key_, name);
    }
    void Write(const std::u16string& name, const RegistryValue& value) {
        registry_.RegistryKeyValue(key_, name, value);
    }
    json Stored(const std::string& name) {
        return sim_.query(std::string("registry/") + kKey + "/" + name);
    }
    win::DWORD StoredSize(const char16_t* name) {
        win::DWORD type = 0, size = 0;
        static_cast<win::IRegistry&>(sim_).RegQueryValueExW(key_, name, nullptr, &type, nullptr,
                                                            &size);
        return size;
    }

private:
    static json Entries(json entries) {
        json list = json::array({{{"key", kKey}}});
        for (auto& entry : entries) {
            entry["key"] = kKey;
            list.push_back(entry);
        }
        return list;
    }

    sim::SimPlatform sim_;
    win::Platform platform_;
    mCommon common_;
    mRegistry registry_;
    win::HKEY key_ = nullptr;
};

json Bytes(std::initializer_list<int> values) {
    return json(std::vector<int>(values));
}

// UTF-16LE bytes of a text, each unit two bytes.
json Units(const std::u16string& text) {
    json list = json::array();
    for (char16_t c : text) {
        list.push_back(c & 0xFF);
        list.push_back(c >> 8);
    }
    return list;
}

struct ReadCase {
    const char* name;
    json entry; // without "key" and "name"
    RegistryValue expected;
};

void PrintTo(const ReadCase& c, std::ostream* os) {
    *os << c.name;
}

class ReadingOddSizes : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReadingOddSizes, StaysInsideTheStoredBytes) {
    json entry = GetParam().entry;
    entry["name"] = "v";
    Registry registry(json::array({entry}), {{"environment", {{"TW", kLong}}}});
    EXPECT_EQ(registry.Read(u"v"), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ReadingOddSizes,
    ::testing::Values(
        ReadCase{"dword stored with eight bytes",
                 {{"type", 4}, {"bytes", Bytes({7, 0, 0, 0, 9, 9, 9, 9})}},
                 RegistryValue::Long(7)},
        ReadCase{"dword of two bytes",
                 {{"type", 4}, {"bytes", Bytes({7, 1})}},
                 RegistryValue::Long(0x107)},
        ReadCase{
            "zero-length dword", {{"type", 4}, {"bytes", json::array()}}, RegistryValue::Empty()},
        ReadCase{"text without terminator loses its last unit",
                 {{"type", 1}, {"bytes", Units(u"abc")}},
                 RegistryValue::String(u"ab")},
        ReadCase{"one byte of text",
                 {{"type", 1}, {"bytes", Bytes({0x41})}},
                 RegistryValue::String(u"")},
        ReadCase{"expandable text growing past its stored size",
                 {{"type", 2}, {"text", "<%TW%>"}},
                 RegistryValue::String(u"<" + std::u16string(kLong.begin(), kLong.end()) + u">")},
        ReadCase{"expandable text cut at its first NUL",
                 {{"type", 2}, {"bytes", Units(std::u16string(u"x\0y\0", 4))}},
                 RegistryValue::String(u"x")},
        ReadCase{"multi text without its final terminator",
                 {{"type", 7}, {"bytes", Units(std::u16string(u"a\0b", 3))}},
                 RegistryValue::StringArray({u"a"})},
        ReadCase{"multi text of a lone terminator",
                 {{"type", 7}, {"bytes", Units(std::u16string(u"\0", 1))}},
                 RegistryValue::StringArray({})},
        ReadCase{"multi text of one byte",
                 {{"type", 7}, {"bytes", Bytes({0})}},
                 RegistryValue::StringArray({})}));

struct WriteCase {
    RegistryValue value;
    std::uint32_t dword;
};

void PrintTo(const WriteCase& c, std::ostream* os) {
    *os << "kind " << static_cast<int>(c.value.kind) << " to " << c.dword;
}

class WritingNumbers : public ::testing::TestWithParam<WriteCase> {};

TEST_P(WritingNumbers, StoresADwordRoundedHalfToEven) {
    Registry registry(json::array());
    registry.Write(u"v", GetParam().value);
    EXPECT_EQ(registry.Stored("v"), json({{"type", 4}, {"dword", GetParam().dword}}));
}

INSTANTIATE_TEST_SUITE_P(Rows, WritingNumbers,
                         ::testing::Values(WriteCase{RegistryValue::Integer(-2), 4294967294u},
                                           WriteCase{RegistryValue::Byte(200), 200},
                                           WriteCase{RegistryValue::Boolean(false), 0},
                                           WriteCase{RegistryValue::Double(2.5), 2},
                                           WriteCase{RegistryValue::Double(3.5), 4},
                                           WriteCase{RegistryValue::Single(-0.5f), 0},
                                           WriteCase{RegistryValue::Currency(7.5), 8}));

TEST(RegistryWriting, BytesStayBinary) {
    Registry registry(json::array());
    registry.Write(u"v", RegistryValue::ByteArray({1, 2, 3}));
    EXPECT_EQ(registry.Stored("v"), json({{"type", 3}, {"bytes", {1, 2, 3}}}));
}

TEST(RegistryWriting, MultiTextStoresBothTerminators) {
    Registry registry(json::array());
    registry.Write(u"ab", RegistryValue::StringArray({u"a", u"b"}));
    registry.Write(u"none", RegistryValue::StringArray({}));
    EXPECT_EQ(registry.StoredSize(u"ab"), 10u); // "a\0b\0\0"
    EXPECT_EQ(registry.StoredSize(u"none"), 4u);
}

TEST(RegistryWriting, RefusedKindsRaiseAndWriteNothing) {
    Registry registry(json::array({{{"name", "v"}, {"type", 4}, {"dword", 1}}}));
    for (const auto& [value, error] : {std::pair{RegistryValue::Date(45000), -2147220468},
                                       {RegistryValue::Of(ValueKind::Object), -2147220468},
                                       {RegistryValue::Of(ValueKind::Error), -2147220468},
                                       {RegistryValue::Of(ValueKind::Decimal), -2147220468},
                                       {RegistryValue::Of(ValueKind::VariantArray), -2147220468},
                                       {RegistryValue::Double(3e9), kErrOverflow}}) {
        try {
            registry.Write(u"v", value);
            ADD_FAILURE() << "no error raised";
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.Number, error);
            if (error != kErrOverflow) {
                EXPECT_EQ(e.Description, u"Unsupported registry data type.");
            }
        }
    }
    EXPECT_EQ(registry.Stored("v"), json({{"type", 4}, {"dword", 1}}));
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
