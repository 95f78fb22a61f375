#include "FakeFileSystem.h"
#include "FakeSystem.h"
#include "common/mCommon.h"

#include <gtest/gtest.h>

#include <string>

using namespace tw;
using tw::test::FakeFileSystem;
using tw::test::FakeSystem;

class ApiErrorText : public testing::Test {
protected:
    FakeSystem system;
    FakeFileSystem files;
    mCommon common{system, files, u"C:\\App"};
};

TEST_F(ApiErrorText, AsksTheSystemTableWithA256CharacterBuffer) {
    system.messages[5] = u"Access is denied.\r\n";
    common.ApiErrorText(5);
    ASSERT_EQ(system.formatCalls.size(), 1u);
    const auto& call = system.formatCalls[0];
    EXPECT_EQ(call.flags, 0x1200u);
    EXPECT_TRUE(call.sourceIsNull);
    EXPECT_EQ(call.messageId, 5u);
    EXPECT_EQ(call.languageId, 0u);
    EXPECT_EQ(call.size, 256u);
    EXPECT_TRUE(call.argumentsAreNull);
}

TEST_F(ApiErrorText, RemovesOneFinalCrLf) {
    system.messages[5] = u"Access is denied.\r\n";
    system.messages[6] = u"No line break";
    system.messages[7] = u"Two breaks\r\n\r\n";
    system.messages[8] = u"First line\r\nsecond line. \r\n";
    system.messages[9] = u"Ends with LF\n";
    EXPECT_EQ(common.ApiErrorText(5), u"Access is denied.");
    EXPECT_EQ(common.ApiErrorText(6), u"No line break");
    EXPECT_EQ(common.ApiErrorText(7), u"Two breaks\r\n");
    EXPECT_EQ(common.ApiErrorText(8), u"First line\r\nsecond line. ");
    EXPECT_EQ(common.ApiErrorText(9), u"Ends with LF\n");
}

TEST_F(ApiErrorText, Takes255CharactersButNotMore) {
    system.messages[1] = std::u16string(253, u'a') + u"\r\n"; // 255 with the line break
    system.messages[2] = std::u16string(256, u'b');
    EXPECT_EQ(common.ApiErrorText(1), std::u16string(253, u'a'));
    EXPECT_EQ(common.ApiErrorText(2), u"Error 122 in FormatMessage");
}

TEST_F(ApiErrorText, ReportsAMissingMessage) {
    EXPECT_EQ(common.ApiErrorText(2221), u"Error 317 in FormatMessage");
}

TEST_F(ApiErrorText, PassesNegativeCodesWithTheirBits) {
    system.messages[0x80070005u] = u"Access is denied.\r\n";
    EXPECT_EQ(common.ApiErrorText(static_cast<std::int32_t>(0x80070005u)), u"Access is denied.");
    EXPECT_EQ(system.formatCalls.back().messageId, 0x80070005u);
}

TEST_F(ApiErrorText, StatusLineTextShowsTheSignAndKeepsInserts) {
    system.messages[87] = u"The parameter %1 is incorrect.\r\n";
    const std::int32_t code = -87;
    system.messages[static_cast<win::DWORD>(code)] = u"Negative %1\r\n";
    EXPECT_EQ(common.LocString(u"Frm.Status_Error", u"Error %1. %2", {87, common.ApiErrorText(87)}),
              u"Error 87. The parameter %1 is incorrect.");
    EXPECT_EQ(
        common.LocString(u"Frm.Status_Error", u"Error %1. %2", {code, common.ApiErrorText(code)}),
        u"Error -87. Negative %1");
    EXPECT_EQ(common.LocString(u"Frm.Status_Error", u"Error %1. %2", {-5, common.ApiErrorText(-5)}),
              u"Error -5. Error 317 in FormatMessage");
}
