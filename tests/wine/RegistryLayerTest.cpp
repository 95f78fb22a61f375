// The typed registry layer over the real registry functions: values stored
// with the raw functions read back as their kinds, and values written through
// the layer land as their registry types, in a test key under HKCU.
#include "common/RuntimeError.h"
#include "common/mCommon.h"
#include "common/mRegistry.h"
#include "platform/win32/WinPlatform.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

namespace w = tw::win;
using tw::RegistryValue;
using namespace tw::winetests;

class RegistryLayer : public ::testing::Test {
protected:
    void SetUp() override {
        common_.CheckPlatform();
        const std::string id = std::to_string(ProcessId());
        path_ = u"Software\\Quillmere\\TarnwickLayerTests\\" + std::u16string(id.begin(), id.end());
        w::DWORD disposition = 0;
        key_ = registry_.OpenRegistryKey(w::HKEY_CURRENT_USER_(), path_, w::KEY_READ | w::KEY_WRITE,
                                         true, &disposition, true);
        ASSERT_NE(key_, nullptr);
        EXPECT_EQ(disposition, w::REG_CREATED_NEW_KEY);
    }
    void TearDown() override {
        registry_.CloseRegistryKey(key_);
        RemoveUserKey(path_);
    }

    void StoreRaw(const char16_t* name, w::DWORD type, const std::vector<w::BYTE>& data) {
        ASSERT_EQ(platform_.RegSetValueExW(key_, name, 0, type, data.data(),
                                           static_cast<w::DWORD>(data.size())),
                  0);
    }
    std::vector<w::BYTE> ReadRaw(const char16_t* name, w::DWORD& type) {
        w::DWORD size = 0;
        platform_.RegQueryValueExW(key_, name, nullptr, &type, nullptr, &size);
        std::vector<w::BYTE> data(size);
        platform_.RegQueryValueExW(key_, name, nullptr, &type, data.data(), &size);
        return data;
    }
    static std::vector<w::BYTE> Units(const std::u16string& text) {
        std::vector<w::BYTE> bytes;
        for (char16_t c : text) {
            bytes.push_back(static_cast<w::BYTE>(c & 0xFF));
            bytes.push_back(static_cast<w::BYTE>(c >> 8));
        }
        return bytes;
    }

    tw::win32::WinPlatform platform_;
    w::Platform bundle_ = platform_.platform();
    tw::mCommon common_{bundle_, u"C:\\"};
    tw::mRegistry registry_{bundle_, common_};
    std::u16string path_;
    w::HKEY key_ = nullptr;
};

TEST_F(RegistryLayer, ReadsEachStoredTypeAsItsKind) {
    StoreRaw(u"dword", w::REG_DWORD, {0xFF, 0xFF, 0xFF, 0xFF});
    StoreRaw(u"text", w::REG_SZ, Units(std::u16string(u"abc\0", 4)));
    StoreRaw(u"unterminated", w::REG_SZ, Units(u"abc"));
    StoreRaw(u"multi", w::REG_MULTI_SZ, Units(std::u16string(u"a\0b\0\0", 5)));
    StoreRaw(u"binary", w::REG_BINARY, {1, 2, 255});
    StoreRaw(u"expand", w::REG_EXPAND_SZ, Units(std::u16string(u"%TW_LAYER_TEST%!\0", 17)));
    StoreRaw(u"qword", w::REG_QWORD, {1, 0, 0, 0, 0, 0, 0, 0});
    StoreRaw(u"bigendian", w::REG_DWORD_BIG_ENDIAN, {0, 0, 0, 1});
    StoreRaw(u"empty", w::REG_DWORD, {});
    SetEnvironmentVariableForTest(u"TW_LAYER_TEST", u"expanded");

    EXPECT_EQ(registry_.RegistryKeyValue(key_, u"dword"), RegistryValue::Long(-1));
    EXPECT_EQ(registry_.RegistryKeyValue(key_, u"text"), RegistryValue::String(u"abc"));
    // The text is the size the platform reports, less one unit: Windows reports
    // the six stored bytes, Wine makes room for the missing terminator.
    w::DWORD type = 0, size = 0;
    platform_.RegQueryValueExW(key_, u"unterminated", nullptr, &type, nullptr, &size);
    EXPECT_EQ(registry_.RegistryKeyValue(key_, u"unterminated"),
              RegistryValue::String(std::u16string(u"abc").substr(0, size / 2 - 1)));
    EXPECT_EQ(registry_.RegistryKeyValue(key_, u"multi"), RegistryValue::StringArray({u"a", u"b"}));
    EXPECT_EQ(registry_.RegistryKeyValue(key_, u"binary"), RegistryValue::ByteArray({1, 2, 255}));
    EXPECT_EQ(registry_.RegistryKeyValue(key_, u"expand"), RegistryValue::String(u"expanded!"));
    EXPECT_EQ(registry_.RegistryKeyValue(key_, u"qword"), RegistryValue::Empty());
    EXPECT_EQ(registry_.RegistryKeyValue(key_, u"bigendian"), RegistryValue::Empty());
    EXPECT_EQ(registry_.RegistryKeyValue(key_, u"empty"), RegistryValue::Empty());
    EXPECT_EQ(registry_.RegistryKeyValue(key_, u"missing"), RegistryValue::Empty());
}

TEST_F(RegistryLayer, WritesEachKindAsItsType) {
    registry_.RegistryKeyValue(key_, u"minus", RegistryValue::Long(-1));
    registry_.RegistryKeyValue(key_, u"true", RegistryValue::Boolean(true));
    registry_.RegistryKeyValue(key_, u"text", RegistryValue::String(u"ab"));
    registry_.RegistryKeyValue(key_, u"multi", RegistryValue::StringArray({u"a", u"b"}));

    w::DWORD type = 0;
    EXPECT_EQ(ReadRaw(u"minus", type), (std::vector<w::BYTE>{0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(type, w::REG_DWORD);
    EXPECT_EQ(ReadRaw(u"true", type), (std::vector<w::BYTE>{0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(ReadRaw(u"text", type), Units(std::u16string(u"ab\0", 3)));
    EXPECT_EQ(type, w::REG_SZ);
    EXPECT_EQ(ReadRaw(u"multi", type), Units(std::u16string(u"a\0b\0\0", 5)));
    EXPECT_EQ(type, w::REG_MULTI_SZ);
}

TEST_F(RegistryLayer, EmptyDeletesAndAMissingValueIsNoError) {
    registry_.RegistryKeyValue(key_, u"v", RegistryValue::Long(1));
    registry_.RegistryKeyValue(key_, u"v", RegistryValue::Empty());
    EXPECT_EQ(registry_.RegistryKeyValue(key_, u"v"), RegistryValue::Empty());
    EXPECT_NO_THROW(registry_.RegistryKeyValue(key_, u"v", RegistryValue::Null()));
}

TEST_F(RegistryLayer, WritingThroughAReadOnlyKeyRaisesError5) {
    const w::HKEY readOnly = registry_.OpenRegistryKey(w::HKEY_CURRENT_USER_(), path_, w::KEY_READ,
                                                       false, nullptr, true);
    ASSERT_NE(readOnly, nullptr);
    try {
        registry_.RegistryKeyValue(readOnly, u"v", RegistryValue::Long(5));
        ADD_FAILURE() << "no error raised";
    } catch (const tw::RuntimeError& error) {
        EXPECT_EQ(error.Number, -2147220474);
        EXPECT_EQ(error.Description.rfind(u"Error 5 writing registry. ", 0), 0u);
    }
    registry_.CloseRegistryKey(readOnly);
}

} // namespace
