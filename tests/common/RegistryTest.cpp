// The typed registry layer over the simulated registry: every row of the
// reading and writing tables, the raised errors and the registry view.
#include "common/RuntimeError.h"
#include "common/mCommon.h"
#include "common/mRegistry.h"
#include "platform/sim/MachineLoader.h"
#include "platform/sim/SimPlatform.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using namespace tw;
using nlohmann::json;

const char kKey[] = "HKLM\\SOFTWARE\\Tarnwick\\Test";
const std::u16string kPath = u"SOFTWARE\\Tarnwick\\Test";

// A simulated computer with the given registry entries under kKey, a checked
// platform, and the key open with the given access.
class Registry {
public:
    explicit Registry(json entries, json system = json::object(), win::REGSAM access = win::KEY_READ |
                                                                                     win::KEY_WRITE)
        : sim_(sim::loadMachine({{"system", system}, {"registry", Entries(entries)}})),
          platform_(sim_.platform()), common_(platform_, u"C:\\Tarnwick"),
          registry_(platform_, common_) {
        common_.CheckPlatform();
        key_ = registry_.OpenRegistryKey(win::HKEY_LOCAL_MACHINE_(), kPath, access, false, nullptr,
                                         true);
    }
    ~Registry() { registry_.CloseRegistryKey(key_); }

    RegistryValue Read(const std::u16string& name) { return registry_.RegistryKeyValue(key_, name); }
    void Write(const std::u16string& name, const RegistryValue& value) {
        registry_.RegistryKeyValue(key_, name, value);
    }
    json Stored(const std::string& name) { return sim_.query(std::string("registry/") + kKey + "/" + name); }
    mRegistry& Layer() { return registry_; }
    sim::SimPlatform& Sim() { return sim_; }
    win::HKEY Key() const { return key_; }

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
    json list = json::array();
    for (int v : values)
        list.push_back(v);
    return list;
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
    json entry; // without "key"
    RegistryValue expected;
};

class ReadingTable : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReadingTable, ReadsTheStoredTypeAsItsKind) {
    json entry = GetParam().entry;
    entry["name"] = "v";
    Registry registry(json::array({entry}), {{"environment", {{"TW", "expanded"}}}});
    EXPECT_EQ(registry.Read(u"v"), GetParam().expected) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ReadingTable,
    ::testing::Values(
        ReadCase{"zero-length dword", {{"type", 4}, {"bytes", json::array()}}, RegistryValue::Empty()},
        ReadCase{"zero-length text", {{"type", 1}, {"bytes", json::array()}}, RegistryValue::Empty()},
        ReadCase{"text with terminator", {{"type", 1}, {"bytes", Units(std::u16string(u"abc\0", 4))}},
                 RegistryValue::String(u"abc")},
        ReadCase{"text without terminator loses its last unit", {{"type", 1}, {"bytes", Units(u"abc")}},
                 RegistryValue::String(u"ab")},
        ReadCase{"inner NUL stays", {{"type", 1}, {"bytes", Units(std::u16string(u"a\0b\0", 4))}},
                 RegistryValue::String(std::u16string(u"a\0b", 3))},
        ReadCase{"one byte of text", {{"type", 1}, {"bytes", Bytes({0x41})}}, RegistryValue::String(u"")},
        ReadCase{"expandable text", {{"type", 2}, {"text", "<%TW%>"}},
                 RegistryValue::String(u"<expanded>")},
        ReadCase{"expandable text cut at its first NUL",
                 {{"type", 2}, {"bytes", Units(std::u16string(u"x\0y\0", 4))}}, RegistryValue::String(u"x")},
        ReadCase{"multi text", {{"type", 7}, {"bytes", Units(std::u16string(u"a\0b\0\0", 5))}},
                 RegistryValue::StringArray({u"a", u"b"})},
        ReadCase{"multi text with an empty item",
                 {{"type", 7}, {"bytes", Units(std::u16string(u"a\0\0b\0\0", 6))}},
                 RegistryValue::StringArray({u"a", u"", u"b"})},
        ReadCase{"multi text of a lone terminator", {{"type", 7}, {"bytes", Units(std::u16string(u"\0", 1))}},
                 RegistryValue::StringArray({})},
        ReadCase{"multi text of one byte", {{"type", 7}, {"bytes", Bytes({0})}}, RegistryValue::StringArray({})},
        ReadCase{"binary", {{"type", 3}, {"bytes", Bytes({1, 2, 255})}},
                 RegistryValue::ByteArray({1, 2, 255})},
        ReadCase{"dword", {{"type", 4}, {"dword", 14}}, RegistryValue::Long(14)},
        ReadCase{"dword with all bits", {{"type", 4}, {"dword", "0xFFFFFFFF"}}, RegistryValue::Long(-1)},
        ReadCase{"dword stored with eight bytes", {{"type", 4}, {"bytes", Bytes({7, 0, 0, 0, 9, 9, 9, 9})}},
                 RegistryValue::Long(7)},
        ReadCase{"none", {{"type", 0}, {"bytes", Bytes({1})}}, RegistryValue::Empty()},
        ReadCase{"big-endian dword", {{"type", 5}, {"bytes", Bytes({0, 0, 0, 1})}}, RegistryValue::Empty()},
        ReadCase{"link", {{"type", 6}, {"bytes", Units(u"x")}}, RegistryValue::Empty()},
        ReadCase{"qword", {{"type", 11}, {"bytes", Bytes({1, 0, 0, 0, 0, 0, 0, 0})}},
                 RegistryValue::Empty()}));

// Found by the fault sweep: when the read of the data failed after the size
// query had found the value, the zeroed buffer was read as the value (a
// PasswordExpiryWarning of 0 on show).
TEST(RegistryReading, AFailedReadOfTheDataIsEmpty) {
    for (const json& entry : {json{{"name", "v"}, {"type", 4}, {"dword", 14}},
                              json{{"name", "v"}, {"type", 3}, {"bytes", Bytes({1, 2})}},
                              json{{"name", "v"}, {"type", 1}, {"text", "abc"}},
                              json{{"name", "v"}, {"type", 7}, {"texts", {"a", "b"}}}}) {
        Registry registry(json::array({entry}));
        registry.Sim().applyPatch({{"registryFail", {{"RegQueryValueExW#2", 5}}}});
        EXPECT_EQ(registry.Read(u"v"), RegistryValue::Empty()) << entry.dump();
        EXPECT_NE(registry.Read(u"v"), RegistryValue::Empty()) << entry.dump(); // the next read works
    }
}

TEST(RegistryReading, MissingValueIsEmpty) {
    Registry registry(json::array());
    EXPECT_EQ(registry.Read(u"absent"), RegistryValue::Empty());
}

TEST(RegistryReading, LongExpansionIsExpandedCompletely) {
    const std::string longText(400, 'x');
    Registry registry(json::array({{{"name", "v"}, {"type", 2}, {"text", "%LONG%!"}}}),
                      {{"environment", {{"LONG", longText}}}});
    EXPECT_EQ(registry.Read(u"v"), RegistryValue::String(std::u16string(400, u'x') + u"!"));
}

struct WriteCase {
    const char* name;
    RegistryValue value;
    json stored;
};

class WritingTable : public ::testing::TestWithParam<WriteCase> {};

TEST_P(WritingTable, StoresTheKindAsItsType) {
    Registry registry(json::array());
    registry.Write(u"v", GetParam().value);
    EXPECT_EQ(registry.Stored("v"), GetParam().stored) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, WritingTable,
    ::testing::Values(
        WriteCase{"-1", RegistryValue::Long(-1), {{"type", 4}, {"dword", 4294967295u}}},
        WriteCase{"16-bit", RegistryValue::Integer(-2), {{"type", 4}, {"dword", 4294967294u}}},
        WriteCase{"byte", RegistryValue::Byte(200), {{"type", 4}, {"dword", 200}}},
        WriteCase{"true", RegistryValue::Boolean(true), {{"type", 4}, {"dword", 4294967295u}}},
        WriteCase{"false", RegistryValue::Boolean(false), {{"type", 4}, {"dword", 0}}},
        WriteCase{"2.5 to even", RegistryValue::Double(2.5), {{"type", 4}, {"dword", 2}}},
        WriteCase{"3.5 to even", RegistryValue::Double(3.5), {{"type", 4}, {"dword", 4}}},
        WriteCase{"single", RegistryValue::Single(-0.5f), {{"type", 4}, {"dword", 0}}},
        WriteCase{"currency", RegistryValue::Currency(7.5), {{"type", 4}, {"dword", 8}}},
        WriteCase{"text", RegistryValue::String(u"ab"), {{"type", 1}, {"text", "ab"}}},
        WriteCase{"multi text", RegistryValue::StringArray({u"a", u"b"}),
                  {{"type", 7}, {"texts", {"a", "b"}}}},
        WriteCase{"bytes", RegistryValue::ByteArray({1, 2, 3}), {{"type", 3}, {"bytes", {1, 2, 3}}}}));

TEST(RegistryWriting, MultiTextStoresTenBytesAndAnEmptyListFour) {
    Registry registry(json::array());
    registry.Write(u"ab", RegistryValue::StringArray({u"a", u"b"}));
    registry.Write(u"none", RegistryValue::StringArray({}));
    win::IRegistry& api = registry.Sim();
    win::DWORD type = 0, size = 0;
    api.RegQueryValueExW(registry.Key(), u"ab", nullptr, &type, nullptr, &size);
    EXPECT_EQ(size, 10u);
    std::vector<char16_t> units(5, u'x');
    api.RegQueryValueExW(registry.Key(), u"ab", nullptr, &type,
                         reinterpret_cast<win::BYTE*>(units.data()), &size);
    EXPECT_EQ(std::u16string(units.data(), 5), std::u16string(u"a\0b\0\0", 5));
    size = 0;
    api.RegQueryValueExW(registry.Key(), u"none", nullptr, &type, nullptr, &size);
    EXPECT_EQ(size, 4u);
}

TEST(RegistryWriting, EmptyOrNullDeletesAndAMissingValueIsNoError) {
    Registry registry(json::array({{{"name", "v"}, {"type", 4}, {"dword", 1}}}));
    registry.Write(u"v", RegistryValue::Empty());
    EXPECT_TRUE(registry.Stored("v").is_null());
    EXPECT_NO_THROW(registry.Write(u"v", RegistryValue::Null()));
}

TEST(RegistryWriting, UnsupportedKindRaisesAndWritesNothing) {
    Registry registry(json::array({{{"name", "v"}, {"type", 4}, {"dword", 1}}}));
    for (ValueKind kind : {ValueKind::Date, ValueKind::Object, ValueKind::Error, ValueKind::Decimal,
                           ValueKind::VariantArray}) {
        try {
            registry.Write(u"v", kind == ValueKind::Date ? RegistryValue::Date(45000)
                                                         : RegistryValue::Of(kind));
            ADD_FAILURE() << "no error raised";
        } catch (const RuntimeError& error) {
            EXPECT_EQ(error.Number, -2147220468);
            EXPECT_EQ(error.Source, u"RegistryKeyValue (Let)");
            EXPECT_EQ(error.Description, u"Unsupported registry data type.");
        }
    }
    EXPECT_EQ(registry.Stored("v"), json({{"type", 4}, {"dword", 1}}));
}

TEST(RegistryWriting, OutOfRangeNumberOverflowsBeforeAnyWrite) {
    Registry registry(json::array());
    try {
        registry.Write(u"v", RegistryValue::Double(3e9));
        ADD_FAILURE() << "no error raised";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.Number, 6);
    }
    EXPECT_TRUE(registry.Stored("v").is_null());
}

TEST(RegistryWriting, KeyOpenedForReadingRaisesTheWriteErrorWithTheSystemText) {
    Registry registry(json::array(), json::object(), win::KEY_READ);
    try {
        registry.Write(u"v", RegistryValue::Long(5));
        ADD_FAILURE() << "no error raised";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.Number, -2147220474);
        EXPECT_EQ(error.Source, u"RegistryKeyValue (Let)");
        EXPECT_EQ(error.Description, u"Error 5 writing registry. Access is denied.");
    }
    EXPECT_TRUE(registry.Stored("v").is_null());
}

TEST(RegistryOpening, FailedOpenGivesNoKeyAndKeepsTheStatus) {
    Registry registry(json::array());
    EXPECT_EQ(registry.Layer().OpenRegistryKey(win::HKEY_LOCAL_MACHINE_(), u"SOFTWARE\\Nowhere",
                                                win::KEY_READ, false, nullptr, true),
              nullptr);
    EXPECT_EQ(registry.Layer().LastError(), 2u);
    EXPECT_EQ(registry.Layer().CloseRegistryKey(nullptr), 0);
}

TEST(RegistryOpening, CreateReportsTheDisposition) {
    Registry registry(json::array());
    win::DWORD disposition = 0;
    const win::HKEY key = registry.Layer().OpenRegistryKey(
        win::HKEY_LOCAL_MACHINE_(), u"SOFTWARE\\Tarnwick\\New", win::KEY_WRITE, true, &disposition, true);
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(disposition, win::REG_CREATED_NEW_KEY);
    registry.Layer().CloseRegistryKey(key);
}

// A 32-bit process on 64-bit Windows reaches the native view only by asking for it.
TEST(RegistryOpening, NativeViewFromA32BitProcessOn64BitWindows) {
    const json entries = json::array({
        {{"key", "HKLM\\SOFTWARE\\Tarnwick\\View"}, {"name", "v"}, {"type", 4}, {"dword", 64}},
        {{"key", "HKLM\\SOFTWARE\\Tarnwick\\View"}, {"name", "v"}, {"type", 4}, {"dword", 32}, {"view", 32}},
    });
    for (const bool wow64 : {true, false}) {
        sim::SimPlatform sim(sim::loadMachine({{"system", {{"wow64", wow64}}}, {"registry", entries}}));
        win::Platform platform = sim.platform();
        mCommon common(platform, u"C:\\Tarnwick");
        common.CheckPlatform();
        mRegistry registry(platform, common);
        for (const bool native : {true, false}) {
            const win::HKEY key = registry.OpenRegistryKey(
                win::HKEY_LOCAL_MACHINE_(), u"SOFTWARE\\Tarnwick\\View", win::KEY_READ, false, nullptr, native);
            ASSERT_NE(key, nullptr);
            // Without WOW64 there is no view bit: the process's own (native) view.
            const int expected = (!wow64 || native) ? 64 : 32;
            EXPECT_EQ(registry.RegistryKeyValue(key, u"v"), RegistryValue::Long(expected))
                << "wow64 " << wow64 << " native " << native;
            registry.CloseRegistryKey(key);
        }
        EXPECT_EQ(sim.openKeyCount(), 0u);
    }
}

} // namespace
