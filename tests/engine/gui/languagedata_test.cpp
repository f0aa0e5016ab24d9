// The game's own language files: one per language of the table, each loading
// cleanly, holding exactly the keys English holds with the same printf
// formats, and drawable with its own fonts. A failure names the language and
// the key; tools/lang/check lists what is left to translate.

#include "guitest.h"
#include "support/languagefiles.h"

#include "engine/core/util/file/textconvert.h"

#include <filesystem>
#include <map>
#include <regex>

namespace tsv::test {
namespace {

// The code page each language's texts are written in.
constexpr uint32_t kCodePages[kLanguageCount] = {1252, 1252, 1252, 1252, 1252, 1252, 1252,
                                                 1250, 1251, 1251, 1252, 949,  932,  936};

const std::set<std::string> kReserved = {"font1", "font2", "iconset"};

std::string FileOf(LanguageId id) { return testsupport::LanguageFileName(kLanguageFolder, id); }

std::map<std::string, std::string> Texts(const std::string& fileName)
{
    return testsupport::LanguageFileTexts(std::string(kLanguageFolder) + "/" + fileName);
}

std::vector<std::string> Formats(const std::string& text)
{
    static const std::regex format("%[-+ #0]*[0-9]*(\\.[0-9]+)?[a-zA-Z%]");
    std::vector<std::string> found;
    for (std::sregex_iterator it(text.begin(), text.end(), format), end; it != end; ++it) {
        found.push_back(it->str());
    }
    return found;
}

class LanguageDataTest : public GuiTest {
protected:
    LanguageManager& Languages() { return LanguageManager::Instance(); }
};

TEST_F(LanguageDataTest, EveryLanguageLoadsCleanlyInItsCodePageAndHasAGlyphForEveryCharacter)
{
    std::map<LanguageId, int> files;
    for (const auto& entry : std::filesystem::directory_iterator(kLanguageFolder)) {
        const LanguageId id = LanguageFromName(entry.path().filename().string());
        EXPECT_NE(id, kNoLanguage) << entry.path() << " is no language";
        ++files[id];
    }
    testsupport::LogCapture log;
    Languages().Reset();
    Languages().Scan(kLanguageFolder);
    for (LanguageId id = 0; id < kLanguageCount; ++id) {
        SCOPED_TRACE(LanguageName(id));
        EXPECT_EQ(files[id], 1);
        log.Clear();
        Languages().SwitchLanguage(id, LanguageManager::ESetting::Keep);
        const uint32_t codePage = Languages().GetCodePage();
        EXPECT_EQ(codePage, kCodePages[id]) << FileOf(id);
        EXPECT_GT(Languages().GetIcons().Count(), 0u);
        for (LogLevel level : {LogLevel::Warning, LogLevel::Error}) {
            for (const std::string& line : log.Texts(level)) {
                ADD_FAILURE() << line;
            }
        }
        const Font* fonts[2] = {Languages().GetFont(0), Languages().GetFont(1)};
        ASSERT_TRUE(fonts[0] && fonts[1]);
        for (const auto& [key, utf8] : Texts(FileOf(id))) {
            if (kReserved.count(key)) {
                continue;
            }
            std::string exact;
            EXPECT_TRUE(TryConvertUtf8ToCodePage(utf8, codePage, exact)) << key << " has characters outside CP" << codePage;
            const std::string text = Languages().GetText("$" + key);
            for (size_t i = 0, next = 0; i < text.size(); i = next) {
                next = i + std::max<size_t>(1, CharLength(text, i, codePage));
                const size_t close = text.compare(i, 2, "#{") == 0 ? text.find('}', i) : std::string::npos;
                if (close != std::string::npos) {
                    const std::string name = text.substr(i + 2, close - i - 2);
                    EXPECT_TRUE(name.empty() || name[0] == '!' || Languages().GetIcons().Find(name))
                        << key << ": no icon " << name;
                    next = close + 1;
                    continue;
                }
                if (text[i] == '\n' || text[i] == '\r') {
                    continue;
                }
                const int32_t code = CharCode(text, i, codePage);
                for (int f = 0; f < 2; ++f) {
                    EXPECT_TRUE(fonts[f]->GetChar(code))
                        << key << ": font" << f + 1 << " lacks \""
                        << ConvertCodePageToUtf8(text.substr(i, next - i), codePage) << "\" (code " << code << ")";
                }
            }
        }
    }
}

TEST_F(LanguageDataTest, EveryLanguageHasEnglishsKeysWithTheSameFormats)
{
    const auto english = Texts(FileOf(kEnglish));
    ASSERT_GT(english.size(), 5u);
    for (LanguageId id = 1; id < kLanguageCount; ++id) {
        SCOPED_TRACE(LanguageName(id));
        const auto texts = Texts(FileOf(id));
        for (const auto& [key, text] : english) {
            const auto found = texts.find(key);
            if (found == texts.end()) {
                ADD_FAILURE() << "missing key " << key;
                continue;
            }
            if (!kReserved.count(key)) {
                EXPECT_EQ(Formats(found->second), Formats(text)) << key << ": \"" << found->second << "\"";
                EXPECT_FALSE(found->second.empty()) << key;
            }
        }
        for (const auto& entry : texts) {
            EXPECT_TRUE(english.count(entry.first)) << "key " << entry.first << " is not in English";
        }
    }
}

} // namespace
} // namespace tsv::test
