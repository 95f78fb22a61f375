// Which language file is read, what an empty value means, and that a huge
// file is read in linear time. The lines themselves are the fuzz target's.
#include "FakeFileSystem.h"
#include "FakeSystem.h"
#include "common/mCommon.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

using namespace tw;
using tw::test::FakeFileSystem;
using tw::test::FakeSystem;

struct NameCase {
    win::DWORD major, minor;
    win::LANGID uiLanguage;
    win::LCID threadLocale;
    const char16_t* folder;
    win::LANGID language; // asked for; 0 is the platform's
    const char16_t* path;
};

void PrintTo(const NameCase& c, std::ostream* os) {
    *os << testing::PrintToString(std::u16string(c.path));
}

class LanguageFileName : public testing::TestWithParam<NameCase> {};

TEST_P(LanguageFileName, IsTheLanguageInTheProgramsFolder) {
    const NameCase& c = GetParam();
    FakeSystem system;
    FakeFileSystem files;
    system.version = FakeSystem::nt(c.major, c.minor);
    system.uiLanguage = c.uiLanguage;
    system.threadLocale = c.threadLocale;
    mCommon common{system, files, c.folder};
    ASSERT_TRUE(common.CheckPlatform());
    common.LoadLanguageFile(c.language);
    EXPECT_EQ(files.attributeQueries, std::vector<std::u16string>{c.path});
}

INSTANTIATE_TEST_SUITE_P(
    Rows, LanguageFileName,
    testing::Values(NameCase{6, 1, 1049, 1031, u"C:\\App", 1031, u"C:\\App\\1031.loc"},
                    // The identifier is written as a signed 16-bit number.
                    NameCase{6, 1, 1049, 1031, u"C:\\App", 0x8001, u"C:\\App\\-32767.loc"},
                    NameCase{6, 1, 1049, 1031, u"D:\\", 1033, u"D:\\1033.loc"},
                    // Language 0: the user interface language from Windows 2000 on...
                    NameCase{5, 0, 1049, 1031, u"C:\\App", 0, u"C:\\App\\1049.loc"},
                    NameCase{6, 1, 0, 1031, u"C:\\App", 0, u"C:\\App\\1033.loc"},
                    // ...the thread locale's language before (German, phone book order).
                    NameCase{4, 0, 1049, 0x00010407, u"C:\\App", 0, u"C:\\App\\1031.loc"}));

class LanguageFile : public testing::Test {
protected:
    FakeSystem system;
    FakeFileSystem files;
    mCommon common{system, files, u"C:\\App"};
};

TEST_F(LanguageFile, AnEmptyValueIsAnEmptyTextAndAMissingKeyTheDefault) {
    files.AddText(u"C:\\App\\1033.loc", "Frm.A.Caption=\r\nFrm.B.Caption=50%% of %1\r\n");
    common.LoadLanguageFile(1033);
    EXPECT_EQ(common.LocString(u"Frm.A.Caption", u"Design caption"), u"");
    EXPECT_EQ(common.LocString(u"frm.b.caption", u"x", {7}), u"50% of 7");
    EXPECT_EQ(common.LocString(u"Frm.C.Caption", u"Default %1", {1}), u"Default 1");
}

TEST_F(LanguageFile, ReadsAHugeLineInLinearTime) {
    std::string text = "Frm.A.Caption=";
    text.append(10'000'000, 'v');
    text += "\r\nK=";
    for (int i = 0; i < 2'000'000; ++i)
        text += "%%";
    files.AddText(u"C:\\App\\1033.loc", text);
    common.LoadLanguageFile(1033);
    EXPECT_EQ(common.LocString(u"Frm.A.Caption", u"").size(), 10'000'000u);
    // Filling placeholders over a huge text full of "%%" stays linear too.
    EXPECT_EQ(common.LocString(u"K", u"").size(), 2'000'000u);
}

TEST_F(LanguageFile, AnsiCharsetIsTheCodePagesOrZero) {
    system.acp = 1251;
    EXPECT_EQ(common.AnsiCharset(), 204);
    system.acp = 4242; // the call fails: the zero-filled record gives 0
    EXPECT_EQ(common.AnsiCharset(), 0);
}
