#include "guitest.h"

#include "engine/gui/languagetable.h"

#include <cstdlib>
#include <set>

namespace tsv::test {
namespace {

TEST(LanguageTableTest, NamesAndIds)
{
    EXPECT_EQ(LanguageFromName("Russian1251.xml"), 8);
    EXPECT_EQ(LanguageFromName("polish1250.xml"), 7);
    EXPECT_EQ(LanguageFromName("DEUTSCH"), 1);
    EXPECT_EQ(LanguageFromName("klingon.xml"), kNoLanguage);
    EXPECT_STREQ(LanguageName(13), "Chinese");
    EXPECT_STREQ(LanguageName(14), "");
    EXPECT_EQ(CodePageFromFileName("polish1250.xml"), 1250u);
    EXPECT_EQ(CodePageFromFileName("x932y1252.xml"), 932u); // the first run of digits
    EXPECT_EQ(CodePageFromFileName("english.xml"), 0u);
}

TEST(LanguageTableTest, LocaleIdentifiersSelectLanguages)
{
    EXPECT_EQ(LanguageFromLocaleId(0x0809), kEnglish); // English, United Kingdom
    EXPECT_EQ(LanguageFromLocaleId(0x0813), kEnglish); // Dutch, Belgium: not in the table
    EXPECT_EQ(LanguageFromLocaleId(0x0C07), 1);
    EXPECT_EQ(LanguageFromLocaleId(0x0423), 8);
    EXPECT_EQ(LanguageFromLocaleId(0x1C3B), 10);
    EXPECT_EQ(LanguageFromLocaleId(0x0404), kChinese);

    // Linux locale names, with codesets and modifiers.
    EXPECT_EQ(LocaleIdFromPosixName("de_AT.UTF-8"), 0x0C07u);
    EXPECT_EQ(LocaleIdFromPosixName("fr_CA.utf8"), 0x0C0Cu);
    EXPECT_EQ(LocaleIdFromPosixName("be_BY.UTF-8"), 0x0423u);
    EXPECT_EQ(LocaleIdFromPosixName("se_SE"), 0x083Bu);
    EXPECT_EQ(LocaleIdFromPosixName("zh_TW.UTF-8"), 0x0404u);
    EXPECT_EQ(LocaleIdFromPosixName("uz_UZ.UTF-8@cyrillic"), 0x0843u);
    EXPECT_EQ(LocaleIdFromPosixName("ko_KR.JOHAB"), 0x0812u);
    EXPECT_EQ(LanguageFromLocaleId(LocaleIdFromPosixName("nl_BE.UTF-8")), kEnglish);
    EXPECT_EQ(LanguageFromLocaleId(LocaleIdFromPosixName("de_XX.UTF-8")), 1); // unknown region, known language
    EXPECT_EQ(LocaleIdFromPosixName("C"), 0u);
    EXPECT_EQ(LocaleIdFromPosixName("POSIX"), 0u);
    EXPECT_EQ(LocaleIdFromPosixName(""), 0u);

    // Every identifier that selects a language other than English has a Linux name.
    std::set<uint32_t> reachable;
    for (const std::string& name : KnownPosixLocales()) {
        reachable.insert(LocaleIdFromPosixName(name));
    }
    for (uint32_t id : {0x0407u, 0x042Eu, 0x0807u, 0x0C07u, 0x1007u, 0x1407u, 0x040Cu, 0x0482u, 0x0484u, 0x080Cu,
                        0x0C0Cu, 0x100Cu, 0x140Cu, 0x180Cu, 0x040Au, 0x080Au, 0x0C0Au, 0x100Au, 0x140Au, 0x180Au,
                        0x1C0Au, 0x200Au, 0x240Au, 0x280Au, 0x2C0Au, 0x300Au, 0x340Au, 0x380Au, 0x3C0Au, 0x400Au,
                        0x440Au, 0x480Au, 0x4C0Au, 0x500Au, 0x540Au, 0x0410u, 0x0810u, 0x0416u, 0x0816u, 0x0413u,
                        0x0462u, 0x0415u, 0x0419u, 0x0423u, 0x043Fu, 0x0440u, 0x0442u, 0x0443u, 0x0444u, 0x046Du,
                        0x0485u, 0x0843u, 0x0422u, 0x041Du, 0x081Du, 0x083Bu, 0x143Bu, 0x1C3Bu, 0x0412u, 0x0812u,
                        0x0411u, 0x0404u, 0x0804u, 0x0C04u, 0x1004u, 0x1404u}) {
        EXPECT_TRUE(reachable.count(id)) << std::hex << id;
        EXPECT_NE(LanguageFromLocaleId(id), kEnglish) << std::hex << id;
    }

    // The environment: LC_ALL first, then LC_MESSAGES, then LANG.
    const char* saved[3] = {std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"), std::getenv("LANG")};
    const std::string keep[3] = {saved[0] ? saved[0] : "", saved[1] ? saved[1] : "", saved[2] ? saved[2] : ""};
    ::unsetenv("LC_ALL");
    ::setenv("LC_MESSAGES", "pl_PL.UTF-8", 1);
    ::setenv("LANG", "de_AT.UTF-8", 1);
    EXPECT_EQ(SystemLocaleId(), 0x0415u);
    ::unsetenv("LC_MESSAGES");
    EXPECT_EQ(SystemLocaleId(), 0x0C07u);
    const char* names[3] = {"LC_ALL", "LC_MESSAGES", "LANG"};
    for (int i = 0; i < 3; ++i) {
        saved[i] ? ::setenv(names[i], keep[i].c_str(), 1) : ::unsetenv(names[i]);
    }
}

class LanguageManagerTest : public GuiTest {
protected:
    void Write(const std::string& name, const std::string& body)
    {
        testsupport::WriteFile(languages.Path() + name, "<hierarchy>" + body + "</hierarchy>");
    }
    LanguageManager& Languages() { return LanguageManager::Instance(); }
    testsupport::ScratchDir languages;
};

TEST_F(LanguageManagerTest, ChoosingAtStartUp)
{
    Write("English1252.xml", "<font2>/font/body-1252.xml</font2><Greeting>Hello</Greeting>");
    Write("Deutsch1252.xml", "<Greeting>Hallo</Greeting>");
    Write("readme.txt", "not a language");

    // The setting stands once the language has been detected.
    testsupport::LogCapture log;
    Languages().Reset();
    GetConfig().language = "Deutsch";
    GetConfig().languageDetected = true;
    EXPECT_TRUE(Languages().Start(languages.Path(), "", 0x0409));
    EXPECT_EQ(Languages().GetCurrent(), 1);

    // Not yet detected: the locale decides, and the choice is stored.
    Languages().Reset();
    GetConfig().languageDetected = false;
    Languages().Start(languages.Path(), "", 0x0409);
    EXPECT_EQ(Languages().GetCurrent(), kEnglish);
    EXPECT_EQ(GetConfig().language, "English");
    EXPECT_TRUE(GetConfig().languageDetected);
    EXPECT_EQ(Languages().GetText("$Greeting"), "Hello");

    // A forced language is used for this run only.
    Languages().Reset();
    Languages().Start(languages.Path(), "deutsch", 0x0409);
    EXPECT_EQ(Languages().GetText("$Greeting"), "Hallo");
    EXPECT_EQ(GetConfig().language, "English");

    // A preferred language without a file falls back to English.
    std::remove((languages.Path() + "Deutsch1252.xml").c_str());
    Languages().Reset();
    GetConfig().language.clear();
    Languages().Start(languages.Path(), "", 0x0C07);
    EXPECT_TRUE(log.Contains(LogLevel::Hint, "Preferred language is \"Deutsch\" but we don't have it"));
    EXPECT_EQ(Languages().GetCurrent(), kEnglish);
}

TEST_F(LanguageManagerTest, LoadingAndLookups)
{
    Write("polish1250.xml", "<font1>/font/title-1250.xml</font1><Menu><Play>Graj \xC5\x82\xC4\x85</Play>"
                            "<Deep><Er>x</Er></Deep></Menu>");
    testsupport::LogCapture log;
    Languages().Reset();
    EXPECT_EQ(Languages().Scan(languages.Path()), 1);
    Languages().SwitchLanguage(7, LanguageManager::ESetting::Keep);
    EXPECT_EQ(Languages().GetCodePage(), 1250u);
    EXPECT_TRUE(log.Contains(LogLevel::Hint, "Loading font:/font/title-1250.xml"));
    EXPECT_TRUE(Languages().GetFont(0));
    EXPECT_FALSE(Languages().GetFont(1)); // the file names no font2
    EXPECT_FALSE(Languages().GetFont(2));
    EXPECT_EQ(Languages().GetText("$Menu.Play"), "Graj \xB3\xB9"); // in code page 1250
    EXPECT_EQ(Languages().GetText("Menu.Play"), "Menu.Play");    // no "$": shown as written

    log.Clear();
    EXPECT_EQ(Languages().GetText("$Menu.Deep.Missing"), "");
    EXPECT_TRUE(log.Contains(LogLevel::Error, "Resource path Missing not found."));
    EXPECT_TRUE(log.Contains(LogLevel::Warning, "Local resources not found: Menu.Deep.Missing"));

    // A language whose file is gone leaves the texts as they were.
    Languages().SwitchLanguage(8, LanguageManager::ESetting::Keep);
    EXPECT_TRUE(log.Contains(LogLevel::Error, "Language data is corrupt"));
    EXPECT_EQ(Languages().GetText("$Menu.Play"), "Graj \xB3\xB9");
    EXPECT_EQ(Languages().Scan(languages.Path() + "none"), 0);
}

TEST_F(LanguageManagerTest, IconSetsFollowTheLanguage)
{
    testsupport::WriteFile(languages.Path() + "icons-a.xml",
                           "<icons><icon><name>coin</name><node><mesh><width>10</width><height>10</height></mesh></node></icon>"
                           "<icon><name>coin</name><node><mesh><width>30</width><height>30</height></mesh></node></icon>"
                           "<icon></icon><icon><name>blank</name></icon><other/></icons>");
    testsupport::WriteFile(languages.Path() + "icons-b.xml",
                           "<icons><icon><name>star</name><node><mesh><width>12</width><height>12</height></mesh></node></icon></icons>");
    Write("English.xml", "<iconset>" + languages.Path() + "icons-a.xml</iconset>");
    Write("Russian.xml", "<iconset>" + languages.Path() + "icons-b.xml</iconset>");
    testsupport::LogCapture log;
    Languages().Reset();
    Languages().Scan(languages.Path());
    Languages().SwitchLanguage(kEnglish, LanguageManager::ESetting::Keep);
    EXPECT_TRUE(log.Contains(LogLevel::Warning, "<icon> group is empty"));
    EXPECT_TRUE(log.Contains(LogLevel::Warning, "Icon \"blank\" is empty"));
    SceneNodePtr coin = Languages().GetIcons().CreateIcon("coin");
    ASSERT_TRUE(coin);
    EXPECT_EQ(coin->GetMesh().width, 10); // the first of two with one name

    Languages().SwitchLanguage(8, LanguageManager::ESetting::Keep);
    log.Clear();
    EXPECT_FALSE(Languages().GetIcons().CreateIcon("coin"));
    EXPECT_TRUE(log.Contains(LogLevel::Warning, "Invalid Icon ID:coin"));
    EXPECT_TRUE(Languages().GetIcons().CreateIcon("star"));

    testsupport::WriteFile(languages.Path() + "bad.xml", "<iconset/>");
    IconSet set;
    EXPECT_FALSE(set.Load(languages.Path() + "bad.xml"));
    EXPECT_TRUE(log.Contains(LogLevel::Error, "Error loading icons \"" + languages.Path() + "bad.xml\" - root item must be <icons>"));
}

} // namespace
} // namespace tsv::test
