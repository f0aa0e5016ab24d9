// The profile screen over a real profile manager in a scratch storage folder:
// the list, the refusals of new names, deleting with the saved runs, and the
// profiles file it leaves behind.

#include "engine/gui/standarddialog.h"
#include "game/progress/endlessrun.h"
#include "game/screens/profilescreen.h"
#include "screentest.h"

#include <filesystem>

namespace bsh::test {
namespace {

using tsv::ScreenStack;
using tsv::StandardDialog;

class ProfileScreenTest : public ScreenTest<ProfileScreen> {
protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        MakeState("<map><level><source>/level/original/001.xml</source></level></map>", "", false);
    }
    void Open(std::initializer_list<const char*> names)
    {
        for (const char* name : names) {
            state->Profiles().Add(tsv::IntrusivePtr<Profile>(new Profile(name)));
        }
        screen = &Push(new ProfileScreen(*state, [this] { ++done; }));
        ASSERT_TRUE(screen->IsRootLoaded());
    }
    std::string Item(int k) const
    {
        tsv::GUIComponent* item = screen->FindComponent("item" + std::to_string(k));
        return item->GetOwnVisible() ? item->GetCaption() : "-";
    }
    // The message of the newest dialog, "" when the newest screen is not one.
    std::string NewestDialog(tsv::DialogKind kind) const
    {
        auto* dialog = dynamic_cast<StandardDialog*>(ScreenStack::Instance().GetScreens().back().Get());
        if (!dialog || dialog->GetKind() != kind) {
            return "";
        }
        return dialog->FindComponent("messagetext")->GetCaption();
    }

    int done = 0;
};

TEST_F(ProfileScreenTest, RefusedNamesSayWhyAndChangeNothingAGoodOneIsListedFirstAsTheCurrent)
{
    Open({"Ann"});
    EXPECT_FALSE(screen->AddProfile(""));
    EXPECT_EQ(NewestDialog(tsv::DialogKind::Info), "Please type a name.");
    EXPECT_FALSE(screen->AddProfile("Ann"));
    EXPECT_EQ(NewestDialog(tsv::DialogKind::Info), "A player of that name is already aboard.");
    EXPECT_EQ(state->Profiles().Count(), 1);
    EXPECT_FALSE(std::filesystem::exists(ProfileManager::FilePath()));

    // A good name is current at once, saved, and listed first; the rest is hidden.
    EXPECT_TRUE(screen->AddProfile("Cy"));
    EXPECT_TRUE(std::filesystem::exists(ProfileManager::FilePath()));
    EXPECT_EQ(Item(1), "Cy");
    EXPECT_EQ(Item(2), "Ann");
    EXPECT_EQ(Item(3), "-");
    EXPECT_EQ(screen->GetMarked(), 1);
    EXPECT_TRUE(screen->FindComponent("deletebutton")->GetOwnEnabled());
    screen->Mark(2);
    EXPECT_EQ(screen->FindComponent("marker")->GetY(), screen->FindComponent("item2")->GetY());

    for (const char* name : {"D", "E", "F", "G"}) {
        ASSERT_TRUE(screen->AddProfile(name));
    }
    // The seventh is refused before the name is even asked for.
    screen->AskForName();
    EXPECT_EQ(NewestDialog(tsv::DialogKind::Info),
              "There are already six players. Delete one to make room for a new one.");
    EXPECT_EQ(state->Profiles().Count(), 6);
}

TEST_F(ProfileScreenTest, DeletingTakesTheSavedRunsAndTheLastOneTheFile)
{
    Open({"Ann", "Bo", "Cy"}); // Cy, Bo, Ann
    // Bo's saved runs of both modes and his endless board go with Bo; Cy's stay.
    auto saveRuns = [this](const char* name) {
        state->Profiles().Select(name);
        const std::vector<std::string> paths{state->SavedGamePath(GameMode::Quest),
                                             state->SavedGamePath(GameMode::Arcade), EndlessRun::PathFor(name)};
        for (const std::string& path : paths) {
            testsupport::WriteFile(path, "run");
        }
        return paths;
    };
    const std::vector<std::string> bo = saveRuns("Bo");
    const std::vector<std::string> cy = saveRuns("Cy");
    screen->Fill();
    screen->Mark(2);
    screen->DeleteMarked();
    for (const std::string& path : bo) {
        EXPECT_FALSE(std::filesystem::exists(path)) << path;
    }
    for (const std::string& path : cy) {
        EXPECT_TRUE(std::filesystem::exists(path)) << path;
    }
    EXPECT_EQ(Item(1), "Cy");
    EXPECT_EQ(Item(2), "Ann");

    // Deleting the current one makes the next in the list current.
    screen->Mark(1);
    screen->DeleteMarked();
    EXPECT_EQ(state->CurrentProfile()->GetName(), "Ann");
    EXPECT_TRUE(std::filesystem::exists(ProfileManager::FilePath()));

    // No profile left: no file, so the next start asks for a name.
    screen->DeleteMarked();
    EXPECT_EQ(Item(1), "-");
    EXPECT_FALSE(std::filesystem::exists(ProfileManager::FilePath()));
    EXPECT_FALSE(screen->FindComponent("deletebutton")->GetOwnEnabled());
    EXPECT_EQ(done, 0);
}

} // namespace
} // namespace bsh::test
