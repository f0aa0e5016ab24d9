// A tour of the game the way a player takes it, only through the screens: a
// first start and a name, the main menu, the chart, a level through Play, its
// pause, leaving and resuming it, the highscores, the options changed and
// cancelled, the credits and the profiles; then, with the bot at the board, a
// won level, its summary, the chart it opened, the chart's second page and
// the arcade. Every state is compared with a reviewed picture (at half size)
// and checked for components whose picture disagrees with their flags. The
// tour runs in English, Russian and Japanese, and in a 1280 x 720 window
// (whose view is the English one).

#include "e2e/scriptedrun.h"
#include "support/golden.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <vector>

namespace e2e {
namespace {

struct Variant {
    const char* golden;   // folder of the references under tests/e2e/golden/tour
    const char* language; // --language
    const char* name;     // the player's name, typed
    int width, height;    // the window
};

// Builds a script: view coordinates become window pixels of the variant's
// window, and each state gets a screenshot and a drawing check.
class Tour {
public:
    Tour(const Variant& variant, std::string dir) : m_variant(variant), m_dir(std::move(dir)) {}

    void At(int ms, const std::string& command) { m_script << "at " << ms << " " << command << "\n"; }
    // The pointer parked at a view pixel, where it hovers nothing.
    void Move(int ms, float x, float y)
    {
        const float scale = std::min(m_variant.width / 800.0f, m_variant.height / 600.0f);
        const float left = (m_variant.width - 800 * scale) / 2, top = (m_variant.height - 600 * scale) / 2;
        At(ms, "move " + std::to_string(std::lround(left + x * scale)) + " " +
                   std::to_string(std::lround(top + y * scale)));
    }
    void State(int ms, const std::string& name)
    {
        At(ms, "screenshot " + m_dir + name + ".png");
        At(ms, "checkdrawn " + m_dir + name + ".drawn.txt");
        m_states.push_back(name);
    }
    std::string Script() const
    {
        return "at 0 window " + std::to_string(m_variant.width) + " " + std::to_string(m_variant.height) + "\n" +
               m_script.str();
    }
    const std::vector<std::string>& States() const { return m_states; }

private:
    const Variant& m_variant;
    std::string m_dir;
    std::ostringstream m_script;
    std::vector<std::string> m_states;
};

int Run(const ScratchDir& dir, const Variant& variant, const std::string& script, const std::string& args)
{
    const std::string options = "--headless --fixed-step 20 --seed 1 --language " + std::string(variant.language);
    return RunScriptWith(dir, options + " " + args, testsupport::PastTheIntro(script));
}

// Each state as its reference shows it, and drawn as its components say.
void ExpectStates(const Variant& variant, const ScratchDir& dir, const Tour& tour)
{
    for (const std::string& state : tour.States()) {
        SCOPED_TRACE(state);
        // The options opened again after a cancel look as before the change.
        const std::string reference = state == "options-again" ? "options" : state;
        testsupport::ExpectGolden(dir.Path() + state + ".png",
                                  BSH_SOURCE_DIR "/tests/e2e/golden/tour/" + std::string(variant.golden) + "/" +
                                      reference + ".png",
                                  {.half = true});
        EXPECT_EQ(ReadFile(dir.Path() + state + ".drawn.txt"), "ok\n");
    }
}

// The player's own hands: the menus, a level, its pause, leaving and coming back.
void PlayersTour(const Variant& variant)
{
    ScratchDir dir;
    Tour tour(variant, dir.Path());
    tour.Move(1000, 700, 560);
    tour.State(1100, "name");
    tour.At(1200, std::string("text ") + variant.name);
    tour.At(1300, "press yesbutton");
    tour.Move(2800, 700, 560);
    tour.State(2900, "menu");
    tour.At(3000, "press questbutton");
    tour.Move(4600, 600, 300);
    tour.State(4700, "chart");
    tour.At(4800, "press playbutton");
    tour.State(7300, "level");
    tour.At(7400, "key KEY_SPACE"); // the first tutorial text read
    tour.At(8300, "key KEY_P");
    tour.State(9600, "pause");
    tour.At(9700, "key KEY_SPACE");
    tour.At(11000, "press closebutton");
    tour.State(11600, "leave");
    tour.At(11700, "press yesbutton");
    tour.At(13400, "press questbutton");
    tour.State(14000, "resume-offer");
    tour.At(14100, "press yesbutton");
    tour.Move(15800, 700, 560);
    tour.State(15900, "resumed");
    tour.At(16000, "press closebutton");
    tour.At(16300, "press yesbutton");
    tour.At(18000, "press hiscorebutton");
    tour.Move(19600, 700, 580);
    tour.State(19700, "highscores");
    tour.At(19800, "press okbutton");
    tour.At(21400, "press optionsbutton");
    tour.Move(23000, 700, 580);
    tour.State(23100, "options");
    tour.At(23200, "press decbutton");
    tour.At(23300, "press decbutton");
    tour.Move(23500, 700, 580);
    tour.State(23600, "options-changed");
    tour.At(23700, "press cancelbutton");
    tour.At(25300, "press optionsbutton");
    tour.Move(26900, 700, 580);
    tour.State(27000, "options-again");
    tour.At(27100, "press creditsbutton");
    tour.State(29000, "credits");
    tour.At(29100, "key KEY_ESCAPE");
    tour.At(30700, "press cancelbutton");
    tour.At(32300, "press profilebutton");
    tour.Move(33900, 700, 580);
    tour.State(34000, "profiles");
    tour.At(34100, "quit");
    ASSERT_EQ(Run(dir, variant, tour.Script(), ""), 0) << ReadFile(dir.Path() + "stderr.txt");
    ExpectStates(variant, dir, tour);
}

// The bot at the board: a won level, its summary, the chart after it, the
// chart's second page and the arcade.
void BotsTour(const Variant& variant)
{
    ScratchDir dir;
    Tour tour(variant, dir.Path());
    tour.At(1200, std::string("text ") + variant.name);
    tour.At(1300, "press yesbutton");
    tour.At(3000, "press questbutton");
    tour.At(4800, "press playbutton");
    tour.State(23800, "summary");
    tour.Move(26800, 600, 300);
    tour.State(27800, "chart-after-win");
    tour.At(27900, "press rightarrow");
    tour.Move(30700, 600, 300);
    tour.State(30800, "chart-page-2");
    tour.At(30900, "press closebutton");
    tour.At(32400, "press arcadebutton");
    tour.Move(34000, 700, 560);
    tour.State(34100, "arcade");
    tour.At(34200, "quit");
    ASSERT_EQ(Run(dir, variant, tour.Script(), "--autoplay"), 0) << ReadFile(dir.Path() + "stderr.txt");
    ExpectStates(variant, dir, tour);
}

const Variant kEnglish{"english", "English", "Ann", 800, 600};
const Variant kRussian{"russian", "Russian", "Анна", 800, 600};
const Variant kJapanese{"japanese", "Japan", "さくら", 800, 600};
const Variant kWide{"english", "English", "Ann", 1280, 720};

TEST(TourTest, ThePlayersTourInEnglish) { PlayersTour(kEnglish); }
TEST(TourTest, ThePlayersTourInRussian) { PlayersTour(kRussian); }
TEST(TourTest, ThePlayersTourInJapanese) { PlayersTour(kJapanese); }
TEST(TourTest, ThePlayersTourInAWideWindow) { PlayersTour(kWide); }
TEST(TourTest, TheBotsTourInEnglish) { BotsTour(kEnglish); }
TEST(TourTest, TheBotsTourInRussian) { BotsTour(kRussian); }
TEST(TourTest, TheBotsTourInJapanese) { BotsTour(kJapanese); }
TEST(TourTest, TheBotsTourInAWideWindow) { BotsTour(kWide); }

} // namespace
} // namespace e2e
