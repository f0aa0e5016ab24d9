#include "game/screens/treasuryscreen.h"

#include "engine/runtime/application.h"
#include "game/screens/gamemedia.h"
#include "game/screens/showfeedback.h"

namespace bsh {

namespace {

int64_t Now() { return tsv::Application::Instance().GetSystemTimer().GetTime(); }

// The game's effect that goes with every newly presented treasure.
constexpr GameEffect kAppearEffect = GameEffect::TileWood;

} // namespace

TreasuryScreen::TreasuryScreen(GameState& state, std::function<void(Next)> onClose)
    : m_state(state), m_onClose(std::move(onClose)), m_created(Now())
{
    if (!LoadScreenFile(kScreenFile)) {
        return;
    }
    SetHandler("closebutton", tsv::GuiEvent::Click, [this](tsv::GUIComponent&) { Leave(); });
    tsv::IntrusivePtr<Profile> profile = m_state.CurrentProfile();
    for (int award = 0; award < kAwardCount; ++award) {
        bool earned = false;
        bool presented = false;
        if (profile) {
            AwardBlock& awards = profile->Awards();
            if (!awards.IsEarned(award) && awards.IsPending(award)) {
                awards.SetEarned(award);
                presented = true;
                m_presented.push_back(award);
                m_finalAward = m_finalAward || award == AwardSlot(Award::FinalQuest);
            }
            earned = awards.IsEarned(award);
        }
        tsv::GUIComponent* niche = FindComponent(AwardKey(award));
        if (!niche) {
            continue;
        }
        niche->SetEnabled(earned);
        if (tsv::GUIComponent* treasure = niche->Find(kTreasureName)) {
            // A new treasure waits for its moment.
            treasure->SetVisible(earned && !presented);
        }
    }
    if (profile) {
        for (int award = 0; award < kAwardCount; ++award) {
            profile->Awards().SetPending(award, false);
        }
    }
}

void TreasuryScreen::Run()
{
    Screen::Run();
    if (!m_appeared && Now() - m_created >= kAppearDelayMs) {
        m_appeared = true;
        Appear();
    }
}

void TreasuryScreen::Appear()
{
    for (int award : m_presented) {
        tsv::GUIComponent* niche = FindComponent(AwardKey(award));
        tsv::GUIComponent* treasure = niche ? niche->Find(kTreasureName) : nullptr;
        if (!treasure) {
            continue;
        }
        PlayShowFeedback(*treasure, kAppearFadeMs);
        const int32_t layer = GetRoot() && GetRoot()->GetNode() ? GetRoot()->GetNode()->GetLayer() : GetLayer();
        GameMedia::Instance().Effects().FireEffect(kAppearEffect, treasure->GetWorldPosition(), layer);
    }
}

TreasuryScreen::Next TreasuryScreen::GetNext() const
{
    if (m_state.GetMode() == GameMode::Quest) {
        return m_finalAward ? Next::Victory : Next::QuestMap;
    }
    return Next::MainMenu;
}

void TreasuryScreen::Leave()
{
    if (m_leaving) {
        return;
    }
    m_leaving = true;
    if (m_onClose) {
        m_onClose(GetNext());
    }
}

} // namespace bsh
