// The system's text for an error code, as the status line shows it.
#include "FakeFileSystem.h"
#include "FakeSystem.h"
#include "common/mCommon.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>

using namespace tw;
using tw::test::FakeFileSystem;
using tw::test::FakeSystem;

struct MessageCase {
    std::u16string message; // in the system's table under the code; empty: none there
    std::u16string expected;
};

void PrintTo(const MessageCase& c, std::ostream* os) {
    *os << testing::PrintToString(c.message);
}

class ApiErrorText : public testing::TestWithParam<MessageCase> {};

TEST_P(ApiErrorText, RemovesOneFinalCrLfAndFitsThe256CharacterBuffer) {
    FakeSystem system;
    FakeFileSystem files;
    mCommon common{system, files, u"C:\\App"};
    const auto code = static_cast<std::int32_t>(0x80070005u); // passed on with all its bits
    if (!GetParam().message.empty())
        system.messages[0x80070005u] = GetParam().message;
    EXPECT_EQ(common.ApiErrorText(code), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Messages, ApiErrorText,
    testing::Values(MessageCase{u"Access is denied.\r\n", u"Access is denied."},
                    MessageCase{u"No line break", u"No line break"},
                    MessageCase{u"Two breaks\r\n\r\n", u"Two breaks\r\n"},
                    MessageCase{u"First\r\nsecond. \r\n", u"First\r\nsecond. "},
                    MessageCase{u"Ends with LF\n", u"Ends with LF\n"},
                    MessageCase{u"%1 stays\r\n", u"%1 stays"},
                    // 255 characters with the line break fit, 256 do not.
                    MessageCase{std::u16string(253, u'a') + u"\r\n", std::u16string(253, u'a')},
                    MessageCase{std::u16string(256, u'b'), u"Error 122 in FormatMessage"},
                    MessageCase{u"", u"Error 317 in FormatMessage"}));
