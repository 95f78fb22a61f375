#include "common/CodePage.h"

#include <gtest/gtest.h>

#include <ostream>

#include <cstdint>
#include <vector>

using namespace tw;

namespace {

char16_t DecodeByte(std::uint8_t byte, unsigned codePage) {
    const std::vector<std::uint8_t> bytes{byte};
    const std::u16string text = DecodeAnsi(bytes, codePage);
    return text.size() == 1 ? text[0] : char16_t{0};
}

} // namespace

struct ByteCase {
    unsigned codePage;
    std::uint8_t byte;
    char16_t expected;
};

void PrintTo(const ByteCase& c, std::ostream* os) {
    *os << "code page " << c.codePage << ", byte " << static_cast<unsigned>(c.byte);
}

class CodePageDecodes : public testing::TestWithParam<ByteCase> {};

TEST_P(CodePageDecodes, TheByteToItsCharacter) {
    const auto& c = GetParam();
    EXPECT_EQ(static_cast<unsigned>(DecodeByte(c.byte, c.codePage)),
              static_cast<unsigned>(c.expected))
        << "code page " << c.codePage << ", byte " << static_cast<unsigned>(c.byte);
}

INSTANTIATE_TEST_SUITE_P(Tables, CodePageDecodes,
                         testing::Values(ByteCase{874, 0xA1, 0x0E01}, ByteCase{437, 0x80, 0x00C7},
                                         ByteCase{437, 0xB0, 0x2591}, ByteCase{850, 0x9B, 0x00F8},
                                         ByteCase{1250, 0x8A, 0x0160}, ByteCase{1251, 0xC0, 0x0410},
                                         ByteCase{1252, 0x80, 0x20AC}, ByteCase{1252, 0xE9, 0x00E9},
                                         ByteCase{1253, 0xC1, 0x0391}, ByteCase{1254, 0xD0, 0x011E},
                                         ByteCase{1255, 0xE0, 0x05D0}, ByteCase{1256, 0xC7, 0x0627},
                                         ByteCase{1257, 0xC0, 0x0104}, ByteCase{1258, 0xD2, 0x0309},
                                         // Bytes the code page leaves undefined.
                                         ByteCase{1252, 0x81, 0xFFFD}, ByteCase{1253, 0xAA, 0xFFFD},
                                         ByteCase{874, 0xDB, 0xFFFD},
                                         // An unknown code page reads as Windows-1252.
                                         ByteCase{932, 0x80, 0x20AC},
                                         ByteCase{12345, 0xE9, 0x00E9}));

TEST(CodePage, KeepsAsciiAndNulInEveryTable) {
    for (unsigned cp :
         {437u, 850u, 874u, 1250u, 1251u, 1252u, 1253u, 1254u, 1255u, 1256u, 1257u, 1258u}) {
        EXPECT_TRUE(IsKnownCodePage(cp)) << cp;
        std::vector<std::uint8_t> bytes(256);
        for (int i = 0; i < 256; ++i)
            bytes[i] = static_cast<std::uint8_t>(i);
        const std::u16string text = DecodeAnsi(bytes, cp);
        ASSERT_EQ(text.size(), 256u) << cp;
        for (int i = 0; i < 0x80; ++i)
            ASSERT_EQ(text[i], static_cast<char16_t>(i)) << cp;
    }
    EXPECT_FALSE(IsKnownCodePage(932));
}

TEST(CodePage, DecodesUtf8WhenThatIsTheAnsiCodePage) {
    const std::vector<std::uint8_t> bytes{0x4B, 0xC3, 0xA9, 0xFF, 0x00};
    EXPECT_EQ(DecodeAnsi(bytes, 65001), std::u16string(u"K\u00E9\uFFFD\0", 4));
}
