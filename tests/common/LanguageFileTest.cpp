#include "FakeFileSystem.h"
#include "FakeSystem.h"
#include "common/mCommon.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

using namespace tw;
using tw::test::FakeFileSystem;
using tw::test::FakeSystem;

namespace {

const std::u16string kFolder = u"C:\\Program Files\\Tarnwick";
const std::u16string kFile = kFolder + u"\\1033.loc";

} // namespace

class LanguageFile : public testing::Test {
protected:
    FakeSystem system;
    FakeFileSystem files;
    mCommon common{system, files, kFolder};

    // Loads the text as 1033.loc and returns the value for key ("<none>" if absent).
    std::u16string LoadAndFind(std::string_view bytes, std::u16string_view key) {
        files.AddText(kFile, bytes);
        common.LoadLanguageFile(1033);
        EXPECT_TRUE(common.LanguageLoaded());
        const LanguageTable* table = common.LanguageTexts();
        if (table == nullptr)
            return u"<no table>";
        const std::u16string* value = table->Find(key);
        return value == nullptr ? u"<none>" : *value;
    }
};

TEST_F(LanguageFile, NamesTheFileAfterTheLanguage) {
    common.LoadLanguageFile(1031);
    ASSERT_EQ(files.attributeQueries.size(), 1u);
    EXPECT_EQ(files.attributeQueries[0], kFolder + u"\\1031.loc");
    EXPECT_EQ(system.uiLanguageCalls + system.threadLocaleCalls, 0);
}

TEST_F(LanguageFile, WritesTheIdentifierAsASigned16BitNumber) {
    common.LoadLanguageFile(0x8001);
    ASSERT_EQ(files.attributeQueries.size(), 1u);
    EXPECT_EQ(files.attributeQueries[0], kFolder + u"\\-32767.loc");
}

TEST_F(LanguageFile, AddsNoSecondBackslashInARootFolder) {
    mCommon rooted(system, files, u"D:\\");
    rooted.LoadLanguageFile(1033);
    ASSERT_EQ(files.attributeQueries.size(), 1u);
    EXPECT_EQ(files.attributeQueries[0], u"D:\\1033.loc");
}

TEST_F(LanguageFile, LanguageZeroIsTheUserInterfaceLanguageFromWindows2000On) {
    system.version = FakeSystem::nt(5, 0);
    system.uiLanguage = 1049;
    system.threadLocale = 1031;
    ASSERT_TRUE(common.CheckPlatform());
    common.LoadLanguageFile(0);
    EXPECT_EQ(files.attributeQueries.at(0), kFolder + u"\\1049.loc");
    EXPECT_EQ(system.threadLocaleCalls, 0);
}

TEST_F(LanguageFile, LanguageZeroIsTheThreadLocaleBeforeWindows2000) {
    system.version = FakeSystem::nt(4, 0);
    system.uiLanguage = 1049;
    system.threadLocale = 0x00010407; // German, phone book sort order
    ASSERT_TRUE(common.CheckPlatform());
    common.LoadLanguageFile(0);
    EXPECT_EQ(files.attributeQueries.at(0), kFolder + u"\\1031.loc");
    EXPECT_EQ(system.uiLanguageCalls, 0);
}

TEST_F(LanguageFile, LanguageZeroFromThePlatformMeans1033) {
    system.uiLanguage = 0;
    ASSERT_TRUE(common.CheckPlatform());
    common.LoadLanguageFile(0);
    EXPECT_EQ(files.attributeQueries.at(0), kFolder + u"\\1033.loc");
}

TEST_F(LanguageFile, NoFileMeansNoTable) {
    common.LoadLanguageFile(1033);
    EXPECT_FALSE(common.LanguageLoaded());
    EXPECT_EQ(common.LanguageTexts(), nullptr);
    EXPECT_TRUE(files.reads.empty());
}

TEST_F(LanguageFile, AFolderOfThatNameIsNoFile) {
    files.folders.insert(kFile);
    common.LoadLanguageFile(1033);
    EXPECT_FALSE(common.LanguageLoaded());
    EXPECT_EQ(common.LanguageTexts(), nullptr);
    EXPECT_TRUE(files.reads.empty());
}

TEST_F(LanguageFile, AnUnreadableFileIsNotConsultedAtAll) {
    files.unreadable.insert(kFile); // the fake hands back "A=x" before failing
    common.LoadLanguageFile(1033);
    EXPECT_FALSE(common.LanguageLoaded());
    EXPECT_EQ(files.reads.size(), 1u);
    EXPECT_EQ(common.LocString(u"A", u"built-in"), u"built-in");
}

TEST_F(LanguageFile, AnEmptyFileLoadsAnEmptyTable) {
    files.AddText(kFile, "");
    common.LoadLanguageFile(1033);
    EXPECT_TRUE(common.LanguageLoaded());
    ASSERT_NE(common.LanguageTexts(), nullptr);
    EXPECT_EQ(common.LanguageTexts()->Count(), 0u);
    EXPECT_EQ(common.LocString(u"Frm.Status_Wait", u"Wait..."), u"Wait...");
}

TEST_F(LanguageFile, TrimsSpacesButNotTabs) {
    const char* text = "  Frm.A.Caption   =   two  words  \r\n"
                       "Frm.B.Caption\t= b\r\n"
                       "Frm.C.Caption =\tc\t\r\n";
    EXPECT_EQ(LoadAndFind(text, u"Frm.A.Caption"), u"two  words");
    const LanguageTable& table = *common.LanguageTexts();
    EXPECT_EQ(table.Find(u"Frm.B.Caption"), nullptr);
    ASSERT_NE(table.Find(u"Frm.B.Caption\t"), nullptr);
    EXPECT_EQ(*table.Find(u"Frm.B.Caption\t"), u"b");
    ASSERT_NE(table.Find(u"Frm.C.Caption"), nullptr);
    EXPECT_EQ(*table.Find(u"Frm.C.Caption"), u"\tc\t");
}

TEST_F(LanguageFile, KeysIgnoreCaseAndTheLaterLineWins) {
    EXPECT_EQ(
        LoadAndFind("Frm.Status_Wait=first\r\nFRM.STATUS_WAIT=second\r\n", u"frm.status_wait"),
        u"second");
    EXPECT_EQ(common.LanguageTexts()->Count(), 1u);
}

TEST_F(LanguageFile, SkipsCommentsEmptyKeysAndLinesWithoutEquals) {
    EXPECT_EQ(LoadAndFind("; comment=1\r\n"
                          "  ;indented=2\r\n"
                          "=3\r\n"
                          "   = 4\r\n"
                          "no equals sign\r\n"
                          "Frm.A.Caption=a\r\n",
                          u"Frm.A.Caption"),
              u"a");
    EXPECT_EQ(common.LanguageTexts()->Count(), 1u);
    EXPECT_EQ(common.LanguageTexts()->Find(u"; comment"), nullptr);
    EXPECT_EQ(common.LanguageTexts()->Find(u""), nullptr);
}

TEST_F(LanguageFile, SplitsAtTheFirstEqualsSign) {
    EXPECT_EQ(LoadAndFind("Frm.A.Caption=x = y=z\r\n", u"Frm.A.Caption"), u"x = y=z");
}

TEST_F(LanguageFile, AnEmptyValueIsAnEmptyText) {
    EXPECT_EQ(LoadAndFind("Frm.A.Caption=\r\n", u"Frm.A.Caption"), u"");
    EXPECT_EQ(common.LocString(u"Frm.A.Caption", u"Design caption"), u"");
}

TEST_F(LanguageFile, AcceptsCrLfLfAndCrLineEnds) {
    const std::string text = "A=1\r\nB=2\nC=3\rD=4\r\n\r\nE=5\n\rF=6";
    files.AddText(kFile, text);
    common.LoadLanguageFile(1033);
    ASSERT_TRUE(common.LanguageLoaded());
    const LanguageTable& table = *common.LanguageTexts();
    EXPECT_EQ(table.Count(), 6u);
    const char16_t* keys[] = {u"A", u"B", u"C", u"D", u"E", u"F"};
    const char16_t* values[] = {u"1", u"2", u"3", u"4", u"5", u"6"};
    for (int i = 0; i < 6; ++i) {
        ASSERT_NE(table.Find(keys[i]), nullptr) << i;
        EXPECT_EQ(*table.Find(keys[i]), values[i]);
    }
}

TEST_F(LanguageFile, ANulByteIsAnOrdinaryCharacter) {
    const std::string text("A=x\0y\r\nB\0=z\r\n", 13);
    EXPECT_EQ(LoadAndFind(text, u"A"), std::u16string(u"x\0y", 3));
    ASSERT_NE(common.LanguageTexts()->Find(std::u16string(u"B\0", 2)), nullptr);
}

TEST_F(LanguageFile, DecodesTheAnsiCodePage) {
    system.acp = 1251;
    // "КНОПКА=Отмена" in Windows-1251.
    const std::string text = "\xCA\xCD\xCE\xCF\xCA\xC0=\xCE\xF2\xEC\xE5\xED\xE0\r\n";
    EXPECT_EQ(LoadAndFind(text, u"\u043A\u043D\u043E\u043F\u043A\u0430"),
              u"\u041E\u0442\u043C\u0435\u043D\u0430");
}

TEST_F(LanguageFile, DecodesAnUnknownCodePageAsWindows1252) {
    system.acp = 932;
    EXPECT_EQ(LoadAndFind("A=\x80\xE9\r\n", u"A"), u"\u20AC\u00E9");
}

TEST_F(LanguageFile, ReadsAHugeLineInLinearTime) {
    std::string text = "Frm.A.Caption=";
    text.append(10'000'000, 'v');
    text += "\r\nFrm.B.Caption=b";
    const std::u16string value = LoadAndFind(text, u"Frm.A.Caption");
    EXPECT_EQ(value.size(), 10'000'000u);
    EXPECT_EQ(*common.LanguageTexts()->Find(u"Frm.B.Caption"), u"b");
    // Filling placeholders over a huge text full of "%%" stays linear too.
    std::string percents = "K=";
    for (int i = 0; i < 2'000'000; ++i)
        percents += "%%";
    files.AddText(kFile, percents);
    common.LoadLanguageFile(1033);
    EXPECT_EQ(common.LocString(u"K", u"").size(), 2'000'000u);
}

TEST_F(LanguageFile, SurvivesBinaryJunk) {
    std::mt19937 random(12345);
    std::string junk(4'000'000, '\0');
    for (auto& c : junk)
        c = static_cast<char>(random() & 0xFF);
    files.AddText(kFile, junk);
    common.LoadLanguageFile(1033);
    EXPECT_TRUE(common.LanguageLoaded());
    EXPECT_NE(common.LanguageTexts(), nullptr);
}

TEST_F(LanguageFile, AnsiCharsetTranslatesTheCodePageItself) {
    system.acp = 1251;
    EXPECT_EQ(common.AnsiCharset(), 204);
    ASSERT_TRUE(system.translateSourceSeen.has_value());
    EXPECT_EQ(*system.translateSourceSeen, 1251u);
    EXPECT_EQ(system.translateFlagsSeen, 2u);
    system.acp = 4242; // the call fails: the zero-filled record gives 0
    EXPECT_EQ(common.AnsiCharset(), 0);
}
