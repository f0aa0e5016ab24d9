// Every text of every language in the box it is drawn in: each screen file
// under data/gui is laid out by the engine's own screen code in each language
// and its captions measured against their components, with the texts the code
// puts into components and the tutorial texts in their hint box. A failure
// names the language, the screen file, the component and the key. A second
// check wants every key the screen files, level files and code use in every
// language file.

#include "engine/gui/guitest.h"
#include "support/languagefiles.h"

#include "engine/core/textformat.h"
#include "engine/core/util/file/textconvert.h"
#include "engine/core/util/xml/xmlloader.h"
#include "engine/gui/nodewalk.h"
#include "game/screens/gamescreen.h"
#include "game/screens/hintbox.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <map>
#include <regex>
#include <set>
#include <sstream>

namespace bsh::test {
namespace {

namespace fs = std::filesystem;
using tsv::GUIComponent;
using tsv::LanguageId;
using tsv::LanguageManager;

// A button shrinks a caption that is too wide for it; below this share of
// its own scale the caption reads as a footnote, unless its line is still
// this high (the East Asian fonts are drawn large and may give some away).
constexpr float kMinButtonShrink = 0.8f;
constexpr float kLegibleLinePx = 20.0f;
// Rounding of the glyph placement, in pixels.
constexpr float kSlack = 0.5f;

// A text the code puts into every component of that name; alternatives are
// tried one after the other. "{Key.path}" stands for the key's text, "%s"
// for a player's name of the longest kind the name box takes and "%d" for a
// large score.
struct CodeText {
    const char* screen;
    const char* component;
    std::vector<const char*> texts;
};

const std::vector<CodeText>& CodeTexts()
{
    static const std::vector<CodeText> texts = {
        {"/gui/confirmscreen.xml", "messagetext",
         {"{Screen.MainMenu.exitConfirm}", "{Screen.Game.leaveQuestion}", "{Screen.Profile.deleteConfirm}",
          "{Screen.Title.continuePlayingMsg}", "{Screen.Endless.leaveQuestion}"}},
        {"/gui/infoscreen.xml", "messagetext",
         {"{Screen.Profile.tooManyError}", "{Screen.Profile.alreadyExistsError}", "{Screen.Profile.badNameError}"}},
        {"/gui/inputscreen.xml", "messagetext", {"{Screen.Profile.newConfirm}"}},
        {"/gui/mainmenuscreen.xml", "welcometext", {"{Screen.MainMenu.welcome}"}},
        {"/gui/mainmenuscreen.xml", "version", {"{Screen.MainMenu.version} 10.99"}},
        {"/gui/optionsscreen.xml", "valuetext3", {"{Screen.Options.modeFullscreen}", "{Screen.Options.modeWindowed}"}},
        {"/gui/optionsscreen.xml", "valuetext5", {"{Dialog.yes}", "{Dialog.no}"}},
        {"/gui/optionsscreen.xml", "valuetext6", {"{Dialog.yes}", "{Dialog.no}"}},
        {"/gui/levelcompletescreen.xml", "title", {"{gameOver}"}},
        {"/gui/levelcompletescreen.xml", "value", {"888888"}},
        {"/gui/levelcompletescreen.xml", "finalmsg",
         {"{Screen.LevelComplete.artifactFound}", "{Screen.LevelComplete.wellDone}", "{gameOver}",
          "{Screen.LevelComplete.gainedRank}{Screen.LevelComplete.rank1}",
          "{Screen.LevelComplete.gainedRank}{Screen.LevelComplete.rank2}",
          "{Screen.LevelComplete.gainedRank}{Screen.LevelComplete.rank3}",
          "{Screen.LevelComplete.gainedRank}{Screen.LevelComplete.rank4}",
          "{Screen.LevelComplete.gainedRank}{Screen.LevelComplete.rank5}"}},
        {"/gui/gamescreen.xml", "text", {"{all}", "888"}},
        {"/gui/endlessscreen.xml", "score", {"123456789"}},
        {"/gui/endlessscreen.xml", "cascade", {"88"}},
        {"/gui/endlessscreen.xml", "pieces", {"1234567"}},
        {"/gui/endlessscreen.xml", "bestscore", {"{Screen.Endless.bestScore}"}},
        {"/gui/endlessscreen.xml", "bestcascade", {"{Screen.Endless.bestCascade}"}},
        {"/gui/endlessscreen.xml", "bestpieces", {"{Screen.Endless.bestPieces}"}},
        {"/gui/highscorescreen.xml", "endlessbests", {"{Screen.Highscore.endlessBests}"}},
    };
    return texts;
}

// A player's name as long as the name box allows (20 characters), with a
// blank to break at.
const char* const kLongName = "Alexandra Wellington";

// The current language's text of a CodeText pattern (in its code page).
std::string Expand(const std::string& pattern)
{
    const LanguageManager& language = LanguageManager::Instance();
    std::string out;
    for (size_t i = 0; i < pattern.size();) {
        const size_t close = pattern[i] == '{' ? pattern.find('}', i) : std::string::npos;
        if (close == std::string::npos) {
            out += pattern[i++];
            continue;
        }
        out += language.GetText("$" + pattern.substr(i + 1, close - i - 1));
        i = close + 1;
    }
    const bool named = out.find("%s") != std::string::npos;
    const int64_t large = 1234567;
    return named ? tsv::FormatText(out, {std::string(kLongName)}) : tsv::FormatText(out, {large, large, large});
}

// The screen files of the game, as resource paths.
std::vector<std::string> ScreenFiles()
{
    std::vector<std::string> paths;
    for (const auto& entry : fs::directory_iterator("data/gui")) {
        if (entry.path().extension() == ".xml" &&
            testsupport::ReadFile(entry.path().string()).find("<screen>") != std::string::npos) {
            paths.push_back("/gui/" + entry.path().filename().string());
        }
    }
    std::sort(paths.begin(), paths.end());
    return paths;
}

// The caption and hint keys of a screen file's components, in the order the
// screen builds them (depth first, as written).
struct FileComponent {
    std::string name, caption, hint;
};

void CollectComponents(const tsv::XMLElement& element, std::vector<FileComponent>& out)
{
    for (const auto& [tag, child] : element.Children()) {
        if ((tag != "rootcomponent" && tag != "component") || child->Children().empty()) {
            continue;
        }
        FileComponent component;
        for (const auto& [field, value] : child->Children()) {
            if (field == "name" || field == "caption" || field == "hint") {
                (field == "name" ? component.name : field == "caption" ? component.caption : component.hint) =
                    value->GetText();
            }
        }
        out.push_back(component);
        CollectComponents(*child, out);
    }
}

std::vector<FileComponent> FileComponents(const std::string& path)
{
    std::vector<FileComponent> out;
    tsv::IntrusivePtr<tsv::XMLLoader> loader(new tsv::XMLLoader("data" + path));
    tsv::IntrusivePtr<tsv::XMLElement> root = loader->Execute(tsv::XMLLoader::Into::Replace, tsv::XMLLoader::OnError::Fail, 0);
    if (root && root->FindChild("screen")) {
        CollectComponents(*root->FindChild("screen"), out);
    }
    return out;
}

// What the text of a component's caption covers (its shadow aside), relative
// to the component's centre, and the scale it was drawn at.
struct Drawn {
    float left = 1e9f, top = 1e9f, right = -1e9f, bottom = -1e9f;
    float scale = 0;
    bool Empty() const { return right < left; }
    bool Overlaps(const Drawn& other) const
    {
        return std::min(right, other.right) - std::max(left, other.left) > 1 &&
               std::min(bottom, other.bottom) - std::max(top, other.top) > 1;
    }
};

Drawn DrawnCaption(const GUIComponent& component)
{
    Drawn drawn;
    if (!component.GetCaptionFace()) {
        return drawn;
    }
    const tsv::Vec3& centre = component.GetNode()->GetWorldPosition();
    tsv::ForEachNode(*component.GetCaptionFace(), [&](tsv::SceneNode& node) {
        if (!node.HasMesh()) {
            return;
        }
        const tsv::Mesh& mesh = node.GetMesh();
        const tsv::Vec2& scale = node.GetWorldScale();
        const float left = node.GetWorldPosition().x - centre.x - mesh.anchorX * scale.x;
        const float top = node.GetWorldPosition().y - centre.y - mesh.anchorY * scale.y;
        drawn.left = std::min(drawn.left, left);
        drawn.top = std::min(drawn.top, top);
        drawn.right = std::max(drawn.right, left + mesh.width * scale.x);
        drawn.bottom = std::max(drawn.bottom, top + mesh.height * scale.y);
        drawn.scale = std::max(drawn.scale, scale.x);
    });
    return drawn;
}

// The lines after the first of a wrapped text (in the current code page)
// that begin with a mark belonging to the word before it, in UTF-8.
std::vector<std::string> LinesOpeningWithAMark(const std::string& wrapped)
{
    std::vector<std::string> found;
    const uint32_t codePage = LanguageManager::Instance().GetCodePage();
    std::istringstream lines(wrapped);
    std::string line;
    for (bool first = true; std::getline(lines, line); first = false) {
        if (!first && tsv::BeginsWithClosingMark(line, codePage)) {
            found.push_back(tsv::ConvertCodePageToUtf8(line, codePage));
        }
    }
    return found;
}

// Why the component's caption does not fit it; empty when it does.
std::vector<std::string> Misfits(const GUIComponent& component)
{
    std::vector<std::string> problems;
    const std::string& caption = component.GetCaption();
    if (caption.empty() || component.GetType() == tsv::ComponentType::EditBox) {
        return problems;
    }
    const Drawn drawn = DrawnCaption(component);
    if (drawn.Empty()) {
        problems.push_back("nothing drawn (no font?)");
        return problems;
    }
    const float halfW = static_cast<float>(component.GetWidth()) * 0.5f;
    const float halfH = static_cast<float>(component.GetHeight()) * 0.5f;
    const bool wide = component.GetWidth() > 0, high = component.GetHeight() > 0;
    const std::pair<float, const char*> edges[] = {{wide ? drawn.right - halfW : 0, "past the right edge"},
                                                   {wide ? -halfW - drawn.left : 0, "past the left edge"},
                                                   {high ? drawn.bottom - halfH : 0, "below the bottom edge"},
                                                   {high ? -halfH - drawn.top : 0, "above the top edge"}};
    for (const auto& [over, edge] : edges) {
        if (over > kSlack) {
            problems.push_back("runs " + std::to_string(std::lround(std::ceil(over))) + " px " + edge);
        }
    }
    const float ownScale = component.GetScreen()->IsEastAsian() || component.GetCaptionScale() <= 0
                               ? 1.0f
                               : component.GetCaptionScale();
    const float worldScale = component.GetNode()->GetWorldScale().x;
    const LanguageManager& language = LanguageManager::Instance();
    const tsv::Font* font = language.GetFont(component.GetFontId());
    const float lineHeight = font ? font->GetLineHeight() * drawn.scale : 0.0f;
    if (component.GetType() == tsv::ComponentType::Button && drawn.scale < kMinButtonShrink * ownScale * worldScale &&
        lineHeight < kLegibleLinePx) {
        problems.push_back("shrunk to " + std::to_string(std::lround(100 * drawn.scale / (ownScale * worldScale))) +
                           "% of its size to fit");
    }
    // Where lines break at blanks, a word wider than the box is cut in two.
    if (component.GetType() != tsv::ComponentType::Button && component.GetWidth() > 0 &&
        !tsv::BreaksBetweenAnyCharacters(language.GetCurrent())) {
        std::istringstream words(caption);
        const float room = static_cast<float>(component.GetWidth()) + kSlack;
        for (std::string word; font && words >> word;) {
            if (font->MeasureLine(word, 0, word.size()) * drawn.scale > room) {
                problems.push_back("the word \"" + tsv::ConvertCodePageToUtf8(word, language.GetCodePage()) +
                                   "\" is wider than the box");
            }
        }
    }
    // A label's lines as the engine breaks them (labels keep no padding).
    if (component.GetType() == tsv::ComponentType::Label && component.GetWidth() > 0 && font) {
        const std::string wrapped =
            font->WrapText(caption, static_cast<float>(component.GetWidth()) / drawn.scale,
                           tsv::BreaksBetweenAnyCharacters(language.GetCurrent()));
        for (const std::string& line : LinesOpeningWithAMark(wrapped)) {
            problems.push_back("a line begins with a closing mark: \"" + line + "\"");
        }
    }
    return problems;
}

class TextFitTest : public tsv::test::GuiTest {
protected:
    // Loads the screen in the current language and reports every caption
    // that does not fit and every two captions that overlap.
    void CheckScreen(const std::string& path)
    {
        const std::vector<FileComponent> file = FileComponents(path);
        tsv::ScreenPtr screen = tsv::MakeIntrusive<tsv::Screen>();
        ASSERT_TRUE(screen->LoadScreenFile(path)) << path;
        // The components in building order, with the caption keys of the file.
        std::vector<GUIComponent*> components;
        std::map<GUIComponent*, std::string> keys;
        screen->GetRoot()->Walk([&](GUIComponent& component, int) {
            const size_t index = components.size();
            if (index < file.size() && file[index].name == component.GetName()) {
                keys[&component] = file[index].caption;
            }
            components.push_back(&component);
        });
        std::vector<std::pair<GUIComponent*, std::vector<std::string>>> alternatives;
        for (const CodeText& code : CodeTexts()) {
            if (path != code.screen) {
                continue;
            }
            bool found = false;
            for (GUIComponent* component : components) {
                if (component->GetName() == code.component) {
                    alternatives.push_back({component, {code.texts.begin(), code.texts.end()}});
                    component->SetCaption(Expand(code.texts.front()));
                    keys[component] = code.texts.front();
                    found = true;
                }
            }
            EXPECT_TRUE(found) << path << " has no component " << code.component << " for the code's texts";
        }
        for (size_t i = 0; i < components.size(); ++i) {
            const std::vector<GUIComponent*> later(components.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                                                   components.end());
            Check(path, *components[i], keys[components[i]], later);
        }
        for (auto& [component, texts] : alternatives) {
            for (size_t i = 1; i < texts.size(); ++i) {
                component->SetCaption(Expand(texts[i]));
                Check(path, *component, texts[i], components);
            }
        }
    }

    // Reports the component's misfits and the captions of `others` its caption covers.
    void Check(const std::string& path, const GUIComponent& component, const std::string& key,
               const std::vector<GUIComponent*>& others)
    {
        const std::string where = std::string(tsv::LanguageName(LanguageManager::Instance().GetCurrent())) + ", " +
                                  path + ", component " + component.GetName() + ", " +
                                  (key.empty() ? "no key" : key) + ": ";
        for (const std::string& problem : Misfits(component)) {
            ADD_FAILURE() << where << problem;
        }
        // Captions of components shown together must not cover each other.
        const Drawn own = DrawnCaption(component);
        if (own.Empty()) {
            return;
        }
        const tsv::Vec3& centre = component.GetNode()->GetWorldPosition();
        for (const GUIComponent* other : others) {
            if (other == &component || other->GetCaption().empty()) {
                continue;
            }
            Drawn theirs = DrawnCaption(*other);
            const tsv::Vec3& at = other->GetNode()->GetWorldPosition();
            theirs.left += at.x - centre.x;
            theirs.right += at.x - centre.x;
            theirs.top += at.y - centre.y;
            theirs.bottom += at.y - centre.y;
            if (own.Overlaps(theirs)) {
                ADD_FAILURE() << where << "overlaps the caption of " << other->GetName();
            }
        }
    }
};

TEST_F(TextFitTest, EveryCaptionFitsItsBoxInEveryLanguage)
{
    const std::vector<std::string> screens = ScreenFiles();
    ASSERT_GE(screens.size(), 8u);
    LanguageManager& language = LanguageManager::Instance();
    for (LanguageId id = 0; id < tsv::kLanguageCount; ++id) {
        language.SwitchLanguage(id, LanguageManager::ESetting::Keep);
        ASSERT_EQ(language.GetCurrent(), id);
        for (const std::string& path : screens) {
            CheckScreen(path);
        }
    }
}

// The tutorial texts in their box, at the game screen's width: lines break
// at blanks where the language has them, and the box fits the view.
TEST_F(TextFitTest, EveryTutorialTextFitsItsBox)
{
    LanguageManager& language = LanguageManager::Instance();
    std::vector<std::string> keys;
    for (const auto& entry : testsupport::LanguageTexts(tsv::kLanguageFolder, tsv::kEnglish)) {
        if (entry.first.rfind("Hints.", 0) == 0) {
            keys.push_back(entry.first);
        }
    }
    ASSERT_GE(keys.size(), 13u);
    const float width = TutorialTexts::kWidth;
    for (LanguageId id = 0; id < tsv::kLanguageCount; ++id) {
        language.SwitchLanguage(id, LanguageManager::ESetting::Keep);
        const tsv::Font* font = language.GetFont(0);
        ASSERT_TRUE(font);
        for (const std::string& key : keys) {
            const std::string where = std::string(tsv::LanguageName(id)) + ", hint box, " + key + ": ";
            const std::string text = language.GetText("$" + key);
            const HintBox::Layout box = HintBox::Lay(font, text, width, id);
            std::string joined, wrapped;
            for (const std::string& line : box.lines) {
                wrapped += line + "\n";
                joined += (joined.empty() ? "" : " ") + line;
                EXPECT_LE(font->MeasureLine(line, 0, line.size()) * HintBox::kTextScale, width + kSlack)
                    << where << "a line is too wide: " << tsv::ConvertCodePageToUtf8(line, language.GetCodePage());
            }
            if (!tsv::BreaksBetweenAnyCharacters(id)) {
                EXPECT_EQ(joined, text) << where << "a word is cut in two";
            }
            EXPECT_LE(box.height, 580.0f) << where << "the box is taller than the view";
            for (const std::string& line : LinesOpeningWithAMark(wrapped)) {
                ADD_FAILURE() << where << "a line begins with a closing mark: \"" << line << "\"";
            }
        }
    }
}

// The keys a source uses, each with the place that uses it.
using KeyUses = std::map<std::string, std::string>;

// "$Key" captions and hints of the screen files.
void ScreenFileKeys(KeyUses& uses)
{
    for (const std::string& path : ScreenFiles()) {
        for (const FileComponent& component : FileComponents(path)) {
            for (const std::string* text : {&component.caption, &component.hint}) {
                if (text->size() > 1 && (*text)[0] == '$') {
                    uses.emplace(text->substr(1), path + ", component " + component.name);
                }
            }
        }
    }
}

// The names of the level files (titles by key) under data/level, the map's
// levels among them.
void LevelFileKeys(KeyUses& uses)
{
    for (const auto& entry : fs::recursive_directory_iterator("data/level")) {
        if (entry.path().extension() != ".xml") {
            continue;
        }
        tsv::IntrusivePtr<tsv::XMLLoader> loader(new tsv::XMLLoader(entry.path().string()));
        tsv::IntrusivePtr<tsv::XMLElement> root = loader->Execute(tsv::XMLLoader::Into::Replace, tsv::XMLLoader::OnError::Fail, 0);
        const tsv::XMLElement* level = root ? root->FindChild("level").Get() : nullptr;
        if (level && level->FindChild("name")) {
            uses.emplace(level->FindChild("name")->GetText(), entry.path().string());
        }
    }
}

// A string literal of a source file, with what stands around it.
struct Literal {
    std::string text;
    std::string before; // the identifier and bracket just before, as "Text("
    char next = 0;      // the first character after it that is no blank
    int line = 0;
};

// The string literals of a C++ source outside its comments and character
// literals (a quote after a digit separates digits: 100'000).
std::vector<Literal> StringLiterals(const std::string& source)
{
    std::vector<Literal> literals;
    int line = 1;
    std::string code; // what precedes, comments and literals left out
    for (size_t i = 0; i < source.size(); ++i) {
        const char c = source[i];
        if (c == '\n') {
            ++line;
        }
        if (source.compare(i, 2, "//") == 0) {
            i = std::min(source.find('\n', i), source.size()) - 1;
        } else if (source.compare(i, 2, "/*") == 0) {
            const size_t end = source.find("*/", i + 2);
            for (size_t j = i; j < std::min(end, source.size()); ++j) {
                line += source[j] == '\n' ? 1 : 0;
            }
            i = end == std::string::npos ? source.size() : end + 1;
        } else if (c == '\'' && !(i > 0 && std::isxdigit(static_cast<unsigned char>(source[i - 1])))) {
            i = source.find('\'', i + (i + 1 < source.size() && source[i + 1] == '\\' ? 3 : 2));
            i = i == std::string::npos ? source.size() : i;
        } else if (c == '"') {
            Literal literal;
            literal.line = line;
            size_t j = i + 1;
            for (; j < source.size() && source[j] != '"'; ++j) {
                if (source[j] == '\\') {
                    ++j;
                }
                literal.text += source[j];
            }
            const size_t next = source.find_first_not_of(" \t\r\n", j + 1);
            literal.next = next == std::string::npos ? 0 : source[next];
            const size_t open = code.find_last_not_of(" \t\r\n");
            if (open != std::string::npos && code[open] == '(') {
                const size_t name = code.find_last_not_of(
                    "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_", open - 1);
                literal.before = code.substr(name + 1, open - name);
            }
            literals.push_back(literal);
            code += "\"\"";
            i = j;
        } else {
            code += c;
        }
    }
    return literals;
}

// Helpers of the game that take a language key (with or without its "$").
const std::set<std::string> kKeyTakers = {"Text(", "GetText(", "ShowMessage(", "ShowInfo("};

// Keys written in the code: any literal "$Key.path", any dotted literal
// whose first part starts with a capital ("Hints.bomb"; file names aside),
// and the first argument of the helpers above. A literal followed by "+" is
// the start of keys made at run time ("Screen.LevelComplete.rank" + n).
void CodeKeys(KeyUses& uses, std::set<std::string>& prefixes)
{
    static const std::regex key("\\$?[A-Za-z][A-Za-z0-9_]*(\\.[A-Za-z][A-Za-z0-9_]*)*");
    static const std::regex dotted("[A-Z][A-Za-z0-9_]*(\\.[A-Za-z][A-Za-z0-9_]*)+");
    static const std::regex file(".*\\.(xml|png|wav|ogg|dds|dat|html|txt|h|cpp|desktop)");
    for (const auto& entry : fs::recursive_directory_iterator("src")) {
        if (entry.path().extension() != ".cpp" && entry.path().extension() != ".h") {
            continue;
        }
        for (const Literal& literal : StringLiterals(testsupport::ReadFile(entry.path().string()))) {
            const std::string& text = literal.text;
            if (!std::regex_match(text, key) || std::regex_match(text, file)) {
                continue;
            }
            const bool marked = text[0] == '$';
            if (!marked && !kKeyTakers.count(literal.before) && !std::regex_match(text, dotted)) {
                continue;
            }
            const std::string name = marked ? text.substr(1) : text;
            const std::string where = entry.path().string() + ":" + std::to_string(literal.line);
            if (literal.next == '+') {
                prefixes.insert(name);
                uses.emplace("(prefix) " + name, where);
            } else {
                uses.emplace(name, where);
            }
        }
    }
}

TEST_F(TextFitTest, EveryKeyTheGameUsesIsInEveryLanguage)
{
    KeyUses uses;
    ScreenFileKeys(uses);
    LevelFileKeys(uses);
    std::set<std::string> prefixes;
    CodeKeys(uses, prefixes);
    // Each source is read: a key of each kind is among the finds.
    for (const char* known : {"Screen.MainMenu.quest", "Levels.l001", "Hints.swapJewels", "gameOver", "pauseResume",
                              "(prefix) Screen.LevelComplete.rank"}) {
        EXPECT_TRUE(uses.count(known)) << known;
    }
    for (LanguageId id = 0; id < tsv::kLanguageCount; ++id) {
        const std::string file = testsupport::LanguageFileName(tsv::kLanguageFolder, id);
        const auto texts = testsupport::LanguageTexts(tsv::kLanguageFolder, id);
        for (const auto& [key, where] : uses) {
            if (key.rfind("(prefix) ", 0) == 0) {
                const std::string prefix = key.substr(9);
                const auto after = texts.upper_bound(prefix);
                EXPECT_TRUE(after != texts.end() && after->first.rfind(prefix, 0) == 0)
                    << tsv::LanguageName(id) << ": no key begins with " << prefix << ", used by " << where;
                continue;
            }
            const auto found = texts.find(key);
            EXPECT_TRUE(found != texts.end() && !found->second.empty())
                << tsv::LanguageName(id) << ": " << file << " has no text for " << key << ", used by " << where;
        }
    }
}

} // namespace
} // namespace bsh::test
