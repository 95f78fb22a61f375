#include "RegistryConformance.h"

#include "common/RuntimeError.h"
#include "platform/TextConvert.h"

#include <cstdint>
#include <iterator>
#include <utility>

namespace tw::test {

namespace w = tw::win;

RegistryUnderTest::RegistryUnderTest(std::unique_ptr<RegistryBackend> made)
    : backend(std::move(made)), platform(backend->platform()), common(platform, u"C:\\"),
      registry(platform, common), path(backend->freshKey()) {
    common.CheckPlatform();
    w::DWORD disposition = 0;
    key = registry.OpenRegistryKey(w::HKEY_CURRENT_USER_(), path, w::KEY_READ | w::KEY_WRITE, true,
                                   &disposition, true);
    EXPECT_NE(key, nullptr);
    EXPECT_EQ(disposition, w::REG_CREATED_NEW_KEY);
}

RegistryUnderTest::~RegistryUnderTest() {
    registry.CloseRegistryKey(key);
}

void RegistryUnderTest::StoreRaw(const char16_t* name, w::DWORD type,
                                 const std::vector<w::BYTE>& data) {
    ASSERT_EQ(platform.registry.RegSetValueExW(key, name, 0, type, data.data(),
                                               static_cast<w::DWORD>(data.size())),
              0);
}

std::vector<w::BYTE> RegistryUnderTest::ReadRaw(const char16_t* name, w::DWORD& type) {
    w::DWORD size = 0;
    platform.registry.RegQueryValueExW(key, name, nullptr, &type, nullptr, &size);
    std::vector<w::BYTE> data(size);
    platform.registry.RegQueryValueExW(key, name, nullptr, &type, data.data(), &size);
    return data;
}

std::vector<w::BYTE> Units(const std::u16string& text) {
    std::vector<w::BYTE> bytes;
    for (char16_t c : text) {
        bytes.push_back(static_cast<w::BYTE>(c & 0xFF));
        bytes.push_back(static_cast<w::BYTE>(c >> 8));
    }
    return bytes;
}

namespace {

const std::u16string kLong(400, u'x'); // longer than any first guess of a buffer

std::vector<w::BYTE> Dword(std::uint32_t value) {
    return {static_cast<w::BYTE>(value), static_cast<w::BYTE>(value >> 8),
            static_cast<w::BYTE>(value >> 16), static_cast<w::BYTE>(value >> 24)};
}

} // namespace

TEST_P(RegistryConformance, ReadsEachStoredTypeAsItsKind) {
    RegistryUnderTest& r = layer();
    r.backend->setVariable(u"TW_LAYER_TEST", kLong);
    const struct {
        const char16_t* name;
        w::DWORD type;
        std::vector<w::BYTE> bytes;
        RegistryValue expected;
    } rows[] = {
        {u"dword", w::REG_DWORD, Dword(0xFFFFFFFFu), RegistryValue::Long(-1)},
        {u"dword of eight bytes", w::REG_DWORD, {7, 0, 0, 0, 9, 9, 9, 9}, RegistryValue::Long(7)},
        {u"dword of two bytes", w::REG_DWORD, {7, 1}, RegistryValue::Long(0x107)},
        {u"empty dword", w::REG_DWORD, {}, RegistryValue::Empty()},
        {u"text", w::REG_SZ, Units(std::u16string(u"abc\0", 4)), RegistryValue::String(u"abc")},
        {u"multi", w::REG_MULTI_SZ, Units(std::u16string(u"a\0b\0\0", 5)),
         RegistryValue::StringArray({u"a", u"b"})},
        {u"binary", w::REG_BINARY, {1, 2, 255}, RegistryValue::ByteArray({1, 2, 255})},
        // Growing past its stored size.
        {u"expand", w::REG_EXPAND_SZ, Units(std::u16string(u"<%TW_LAYER_TEST%>\0", 18)),
         RegistryValue::String(u"<" + kLong + u">")},
        {u"expand to its NUL", w::REG_EXPAND_SZ, Units(std::u16string(u"x\0y\0", 4)),
         RegistryValue::String(u"x")},
        {u"qword", w::REG_QWORD, {1, 0, 0, 0, 0, 0, 0, 0}, RegistryValue::Empty()},
        {u"big-endian", w::REG_DWORD_BIG_ENDIAN, {0, 0, 0, 1}, RegistryValue::Empty()},
    };
    for (const auto& row : rows)
        r.StoreRaw(row.name, row.type, row.bytes);
    for (const auto& row : rows)
        EXPECT_EQ(r.Read(row.name), row.expected) << ToUtf8(row.name);
    EXPECT_EQ(r.Read(u"missing"), RegistryValue::Empty());
    // Text without a terminator is the size the platform reports, less one
    // unit: Windows reports the six stored bytes, Wine makes room for the
    // missing terminator.
    r.StoreRaw(u"unterminated", w::REG_SZ, Units(u"abc"));
    w::DWORD type = 0;
    const std::size_t size = r.ReadRaw(u"unterminated", type).size();
    EXPECT_EQ(r.Read(u"unterminated"),
              RegistryValue::String(std::u16string(u"abc").substr(0, size / 2 - 1)));
}

// Numbers are stored as a dword, rounded half to even.
TEST_P(RegistryConformance, WritesEachKindAsItsType) {
    RegistryUnderTest& r = layer();
    const struct {
        RegistryValue value;
        w::DWORD type;
        std::vector<w::BYTE> bytes;
    } rows[] = {
        {RegistryValue::Long(-1), w::REG_DWORD, Dword(0xFFFFFFFFu)},
        {RegistryValue::Boolean(true), w::REG_DWORD, Dword(0xFFFFFFFFu)},
        {RegistryValue::Boolean(false), w::REG_DWORD, Dword(0)},
        {RegistryValue::Integer(-2), w::REG_DWORD, Dword(4294967294u)},
        {RegistryValue::Byte(200), w::REG_DWORD, Dword(200)},
        {RegistryValue::Double(2.5), w::REG_DWORD, Dword(2)},
        {RegistryValue::Double(3.5), w::REG_DWORD, Dword(4)},
        {RegistryValue::Single(-0.5f), w::REG_DWORD, Dword(0)},
        {RegistryValue::Currency(7.5), w::REG_DWORD, Dword(8)},
        {RegistryValue::String(u"ab"), w::REG_SZ, Units(std::u16string(u"ab\0", 3))},
        {RegistryValue::StringArray({u"a", u"b"}), w::REG_MULTI_SZ,
         Units(std::u16string(u"a\0b\0\0", 5))},
        {RegistryValue::StringArray({}), w::REG_MULTI_SZ, Units(std::u16string(u"\0\0", 2))},
        {RegistryValue::ByteArray({1, 2, 3}), w::REG_BINARY, {1, 2, 3}},
    };
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        r.Write(u"v", rows[i].value);
        w::DWORD type = 0;
        EXPECT_EQ(r.ReadRaw(u"v", type), rows[i].bytes) << "row " << i;
        EXPECT_EQ(type, rows[i].type) << "row " << i;
    }
}

TEST_P(RegistryConformance, RefusedKindsRaiseAndWriteNothing) {
    RegistryUnderTest& r = layer();
    r.Write(u"v", RegistryValue::Long(1));
    for (const auto& [value, error] : {std::pair{RegistryValue::Date(45000), -2147220468},
                                       {RegistryValue::Of(ValueKind::Object), -2147220468},
                                       {RegistryValue::Of(ValueKind::Error), -2147220468},
                                       {RegistryValue::Of(ValueKind::Decimal), -2147220468},
                                       {RegistryValue::Of(ValueKind::VariantArray), -2147220468},
                                       {RegistryValue::Double(3e9), kErrOverflow}}) {
        try {
            r.Write(u"v", value);
            ADD_FAILURE() << "no error raised";
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.Number, error);
            if (error != kErrOverflow) {
                EXPECT_EQ(e.Description, u"Unsupported registry data type.");
            }
        }
    }
    EXPECT_EQ(r.Read(u"v"), RegistryValue::Long(1));
}

TEST_P(RegistryConformance, EmptyDeletesAndAMissingValueIsNoError) {
    RegistryUnderTest& r = layer();
    r.Write(u"v", RegistryValue::Long(1));
    r.Write(u"v", RegistryValue::Empty());
    EXPECT_EQ(r.Read(u"v"), RegistryValue::Empty());
    EXPECT_NO_THROW(r.Write(u"v", RegistryValue::Null()));
}

TEST_P(RegistryConformance, WritingThroughAReadOnlyKeyRaisesError5) {
    RegistryUnderTest& r = layer();
    const w::HKEY readOnly = r.registry.OpenRegistryKey(w::HKEY_CURRENT_USER_(), r.path,
                                                        w::KEY_READ, false, nullptr, true);
    ASSERT_NE(readOnly, nullptr);
    try {
        r.registry.RegistryKeyValue(readOnly, u"v", RegistryValue::Long(5));
        ADD_FAILURE() << "no error raised";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.Number, -2147220474);
        EXPECT_EQ(error.Description.rfind(u"Error 5 writing registry. ", 0), 0u);
    }
    r.registry.CloseRegistryKey(readOnly);
}

} // namespace tw::test
