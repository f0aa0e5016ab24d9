#include "game/screens/levelhud.h"

#include "engine/gui/languagemanager.h"
#include "engine/runtime/application.h"
#include "engine/scene/frameloop.h"
#include "engine/sound/soundmanager.h"
#include "game/progress/gamestate.h"
#include "game/screens/gamemedia.h"

#include <algorithm>
#include <cstdio>

namespace bsh {

namespace {

constexpr int64_t kPulseMs = 400;
constexpr int32_t kMessageLayer = 6;
constexpr int32_t kScoreLayer = 5;
// The score: six digits on the rail below the board.
constexpr float kScoreX = -90.0f;
constexpr float kScoreY = 283.0f;
constexpr float kScoreDepth = -2.0f;
constexpr float kScoreScale = 0.55f;

int64_t SystemNow() { return tsv::Application::Instance().GetSystemTimer().GetTime(); }

} // namespace

void Pulse(tsv::SceneNode& node, int64_t now, tsv::Vec2 peak)
{
    node.ClearKeyframes();
    tsv::KeyframePtr big = tsv::MakeIntrusive<tsv::Keyframe>(now + kPulseMs / 2);
    big->hasScale = true;
    big->scale = peak;
    tsv::KeyframePtr back = tsv::MakeIntrusive<tsv::Keyframe>(now + kPulseMs);
    back->hasScale = true;
    back->scale = {1.0f, 1.0f};
    node.AddKeyframe(big);
    node.AddKeyframe(back);
}

LevelHud::LevelHud(GameState& state, GameMedia* media) : m_state(state), m_media(media) {}

LevelHud::~LevelHud()
{
    m_state.SetScoreListener({});
    if (m_score) {
        m_score->Node()->Expire();
    }
}

void LevelHud::Build(tsv::GUIComponent* root, GameMode mode, bool preview)
{
    m_root = root;
    m_score = std::make_unique<DigitCounter>();
    m_score->SetDigitCount(6);
    tsv::SceneNode& group = *m_score->Node();
    group.SetScale(kScoreScale, kScoreScale, tsv::Transform::Later);
    group.SetPosition({kScoreX, kScoreY, kScoreDepth}, tsv::Transform::Now);
    tsv::AddGameNode(m_score->Node(), kScoreLayer);
    group.SetVisible(!preview, tsv::Scope::Node);
    tsv::IntrusivePtr<Profile> profile = m_state.CurrentProfile();
    if (profile && IsValidMode(mode)) {
        m_score->SetValue(profile->Record().GetScore(mode));
    }
    m_state.SetScoreListener([this](const ScoreEvent& event) {
        if (m_score) {
            m_score->SetValue(event.runScore);
        }
    });
}

void LevelHud::RefreshPanels(const PlayField& board, Refresh refresh)
{
    const bool full = refresh == Refresh::All;
    const std::array<const char*, kObjectiveCount> names{"blocks", "cells", "jewels"};
    const std::array<int32_t, kObjectiveCount> initial{board.GetInitialBlocks(), board.GetInitialCellHits(),
                                                       board.GetJewelsRequired()};
    const std::array<int32_t, kObjectiveCount> left{board.GetBlocksLeft(), board.GetCellHitsLeft(),
                                                    board.GetJewelsLeft()};
    tsv::GUIComponent* panel = m_root ? m_root->Find("statpanel") : nullptr;
    if (!panel) {
        return;
    }
    const int64_t now = SystemNow();
    for (size_t i = 0; i < kObjectiveCount; ++i) {
        tsv::GUIComponent* entry = panel->Find(names[i]);
        if (!entry) {
            continue;
        }
        entry->SetVisible(initial[i] != 0);
        if (initial[i] == 0 || (!full && left[i] == m_shownObjective[i])) {
            continue;
        }
        const bool reached = m_shownObjective[i] > 0 && left[i] == 0;
        m_shownObjective[i] = left[i];
        if (tsv::GUIComponent* text = entry->Find("text")) {
            char digits[16];
            std::snprintf(digits, sizeof digits, "%02d", left[i]);
            text->SetCaption(left[i] == 0 ? tsv::LanguageManager::Instance().GetText("$all") : std::string(digits));
        }
        tsv::GUIComponent* icon = entry->Find("staticon");
        if (icon && !full) {
            Pulse(*icon->GetNode(), now, {1.4f, 1.4f});
        }
        if (reached && m_media && icon) {
            m_media->Effects().FireGuiEffect(GuiEffect::ObjectiveComplete, icon->GetWorldPosition(), kMessageLayer);
        }
    }
}

void LevelHud::UpdateTime(const PlayField& board, int64_t now)
{
    const int64_t limit = board.GetTimeLimit();
    const double fraction =
        limit > 0 ? std::clamp(static_cast<double>(board.GetTimeLeft()) / static_cast<double>(limit), 0.0, 1.0) : 0.0;
    tsv::GUIComponent* indicator = m_root ? m_root->Find("indicator") : nullptr;
    if (fraction != m_timeFraction && indicator) {
        // The fill shortens from the top.
        const float height = static_cast<float>(indicator->GetHeight());
        tsv::SceneNode& node = *indicator->GetNode();
        // A quad of height scale 0 would be drawn at its width's scale: an
        // empty tube shows no fill at all.
        node.SetVisible(fraction > 0.0 && indicator->IsVisible(), tsv::Scope::Subtree);
        node.SetScale(1.0f, static_cast<float>(fraction), tsv::Transform::Later);
        node.SetPosition({node.GetPosition().x, height * 0.5f * static_cast<float>(1.0 - fraction),
                          node.GetPosition().z},
                         tsv::Transform::Now);
    }
    m_timeFraction = fraction;
    // The heartbeat speeds up from about every 1300 ms to every 500 ms.
    if (fraction < kHeartbeatBelow && fraction > 0.0 &&
        now - m_lastBeat > kHeartbeatBaseMs + static_cast<int64_t>(kHeartbeatSpreadMs * fraction)) {
        m_lastBeat = now;
        if (m_media) {
            tsv::SoundManager::Instance().Play("/sound/heartbeat.wav");
        }
        if (tsv::GUIComponent* panel = m_root ? m_root->Find("timepanel") : nullptr) {
            // Wider only: the tube keeps its height inside the rail's frame.
            Pulse(*panel->GetNode(), SystemNow(), {1.25f, 1.0f});
        }
    }
}

} // namespace bsh
