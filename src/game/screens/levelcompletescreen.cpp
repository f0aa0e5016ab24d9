#include "game/screens/levelcompletescreen.h"

#include "engine/core/textformat.h"

#include "game/screens/showfeedback.h"

#include "engine/core/log.h"
#include "engine/gui/languagemanager.h"
#include "engine/runtime/application.h"

#include <algorithm>
#include <cstdio>

namespace bsh {

using tsv::EndL;
using tsv::GetLog;
using tsv::GUIComponent;

namespace {

// Time used below this share of the limit counts as a fast win.
constexpr int32_t kLowestRating = 2;
constexpr int32_t kHighestRating = 6;
// Drawn over the component's own picture and caption.
constexpr float kRankPictureZ = -0.6f;
constexpr float kCrownSize = 48.0f;
constexpr float kArtifactSize = 56.0f;

std::string Text(const std::string& key) { return tsv::LanguageManager::Instance().GetText("$" + key); }

} // namespace

const std::array<const char*, LevelCompleteScreen::kLineCount> LevelCompleteScreen::kLineNames = {
    "jewels", "cells", "blocks", "explosions", "cannons", "locks", "maximumMatch", "timespent", "score", "timescore",
    "totalscore"};

LevelCompleteScreen::LevelCompleteScreen(GameState& state) : m_state(state)
{
    m_mode = state.GetMode();
    m_won = state.IsWon();
    m_relaxed = state.IsLevelRelaxed();
    m_outcome = state.RecordLevelResult();
    if (IsValidMode(m_mode)) {
        for (size_t i = 0; i < kStatCount; ++i) {
            m_stats[i] = state.GetStat(m_mode, StatAt(i));
        }
        m_timePlayed = state.GetStat64(m_mode, StatCounter::TimePlayed);
    }
    m_timeScore = state.LevelScore();
    tsv::IntrusivePtr<Profile> profile = state.CurrentProfile();
    m_totalScore = profile ? profile->Record().GetScore(m_mode) : 0;
    // The rank: the best rating stored for the level; a level the arcade
    // lists do not hold yet has only this play's own.
    const LevelEntry* entry = profile ? profile->Record(Difficulty::Normal).GetEntry(GameMode::Arcade, state.GetLevelPath())
                                      : nullptr;
    m_rank = entry && entry->best >= kLowestRating ? entry->best : state.Rating();
    m_rank = std::clamp(m_rank, kLowestRating, kHighestRating);
    m_lastReveal = Now() + kFirstLineMs - kLineIntervalMs;

    LoadScreenFile(kScreenFile);
    for (int i = 0; i < kLineCount; ++i) {
        m_lines[static_cast<size_t>(i)] = FindComponent(kLineNames[static_cast<size_t>(i)]);
    }
    m_finalMsg = FindComponent("finalmsg");
    m_rankIcon = FindComponent("rankicon");
    for (GUIComponent* hidden : m_lines) {
        if (hidden) {
            hidden->SetVisible(false);
        }
    }
    for (GUIComponent* hidden : {m_finalMsg, m_rankIcon}) {
        if (hidden) {
            hidden->SetVisible(false);
        }
    }
    for (const char* button : {"closebutton1", "closebutton2", "closebutton3"}) {
        SetHandler(button, tsv::GuiEvent::Click, [this](GUIComponent&) { CloseAsButton(); });
    }
    SetHandler("form", tsv::GuiEvent::Click, [this](GUIComponent&) { Skip(); });
    if (!m_won) {
        if (GUIComponent* title = FindComponent("title")) {
            title->SetCaption(Text("gameOver"));
        }
    }
}

std::pair<std::string, int32_t> LevelCompleteScreen::LostReason(const Shortfall& shortfall)
{
    if (shortfall.cells > 0) {
        return {"Screen.LevelComplete.lostCells", shortfall.cells};
    }
    if (shortfall.jewels > 0) {
        return {"Screen.LevelComplete.lostJewels", shortfall.jewels};
    }
    if (shortfall.blocks > 0) {
        return {"Screen.LevelComplete.lostBlocks", shortfall.blocks};
    }
    if (shortfall.artifact) {
        return {"Screen.LevelComplete.lostArtifact", 0};
    }
    return {"Screen.LevelComplete.lostTime", 0};
}

int64_t LevelCompleteScreen::Now() { return tsv::Application::Instance().GetSystemTimer().GetTime(); }

std::string LevelCompleteScreen::FormatTime(int64_t seconds)
{
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d", static_cast<int>(seconds / 60), static_cast<int>(seconds % 60));
    return text;
}

void LevelCompleteScreen::Run()
{
    tsv::ScreenPtr self(this); // a close handler may drop the stack's reference
    Screen::Run();
    if (m_closed) {
        return;
    }
    const int64_t now = Now();
    if (m_step <= kLineCount && (m_skip || now - m_lastReveal >= kLineIntervalMs)) {
        if (m_step < kLineCount) {
            RevealLine(m_step, now);
        } else {
            ShowFinalMessage();
        }
        ++m_step;
        m_lastReveal = now;
    }
    for (auto it = m_pending.begin(); it != m_pending.end();) {
        if (it->due > now) {
            ++it;
            continue;
        }
        if (GUIComponent* value = it->line->Find("value")) {
            value->SetCaption(it->text);
        } else {
            GetLog() << tsv::Warning << GetPath() << ": component not found: " << it->line->GetName() << ".value"
                     << EndL;
        }
        it = m_pending.erase(it);
    }
}

std::string LevelCompleteScreen::LineValue(int step) const
{
    switch (step) {
    case 0: return std::to_string(m_stats[StatIndex(StatCounter::Jewels)]);
    case 1: return std::to_string(m_stats[StatIndex(StatCounter::Cells)]);
    case 2: return std::to_string(m_stats[StatIndex(StatCounter::Blocks)]);
    case 3: return std::to_string(m_stats[StatIndex(StatCounter::Explosions)]);
    case 4: return std::to_string(m_stats[StatIndex(StatCounter::Cannons)]);
    case 5: return std::to_string(m_stats[StatIndex(StatCounter::Locks)]);
    case 6: return std::to_string(m_stats[StatIndex(StatCounter::MaximumMatch)]);
    case 7: return FormatTime(m_timePlayed);
    case 8: return std::to_string(static_cast<int64_t>(m_totalScore) - m_timeScore);
    case 9: return std::to_string(m_timeScore);
    default: return std::to_string(m_totalScore);
    }
}

void LevelCompleteScreen::RevealLine(int step, int64_t now)
{
    GUIComponent* line = m_lines[static_cast<size_t>(step)];
    if (!line) {
        return;
    }
    PlayShowFeedback(*line, kFadeInMs);
    m_pending.push_back({now + kValueDelayMs, line, LineValue(step)});
}

void LevelCompleteScreen::ShowFinalMessage()
{
    std::string text;
    if (m_outcome.newAwardIndex != -1) {
        m_finalKind = FinalKind::Award;
        text = Text("Screen.LevelComplete.artifactFound");
        SetRankPicture("/texture/piece/artifact.png", kArtifactSize);
    } else if (m_mode == GameMode::Arcade && m_won && !m_relaxed) {
        m_finalKind = FinalKind::Rank;
        const std::string number = std::to_string(m_rank - 1);
        text = Text("Screen.LevelComplete.gainedRank") + Text("Screen.LevelComplete.rank" + number);
        SetRankPicture("/texture/gui/frame/crown" + number + ".png", kCrownSize);
    } else {
        m_finalKind = FinalKind::Closing;
        if (m_won && m_relaxed) {
            text = Text("Screen.LevelComplete.playedRelaxed");
        } else if (m_won) {
            text = Text("Screen.LevelComplete.wellDone");
        } else {
            // The title already says the game is over: this line says why.
            const auto [key, count] = LostReason(m_shortfall);
            text = tsv::FormatText(Text(key), {int64_t{count}});
        }
    }
    const bool picture = m_finalKind != FinalKind::Closing;
    if (m_finalMsg) {
        if (!picture && m_rankIcon) {
            // No picture: the message takes the picture's room as well.
            const int32_t left = m_rankIcon->GetX() - m_rankIcon->GetWidth() / 2;
            const int32_t right = m_finalMsg->GetX() + m_finalMsg->GetWidth() / 2;
            m_finalMsg->SetSize(right - left, m_finalMsg->GetHeight());
            m_finalMsg->SetCenter((left + right) / 2, m_finalMsg->GetY());
        }
        m_finalMsg->SetCaption(text);
        PlayShowFeedback(*m_finalMsg, kFadeInMs);
    }
    if (picture) {
        if (m_rankIcon) {
            PlayShowFeedback(*m_rankIcon, kFadeInMs);
        }
        tsv::PlayGuiSound(kAwardSound);
    }
}

void LevelCompleteScreen::SetRankPicture(const std::string& texture, float size)
{
    if (!m_rankIcon || !m_rankIcon->GetNode()) {
        return;
    }
    const tsv::SceneNodePtr& holder = m_rankIcon->GetNode();
    m_rankPicture = tsv::MakeIntrusive<tsv::SceneNode>();
    m_rankPicture->SetMesh(tsv::Mesh(size, size));
    m_rankPicture->SetTexture(texture);
    m_rankPicture->SetLayer(holder->GetLayer(), tsv::Scope::Node);
    m_rankPicture->SetPosition({0, 0, kRankPictureZ}, tsv::Transform::Later);
    holder->AddChild(tsv::HierarchyNodePtr(m_rankPicture.Get()));
    m_rankPicture->UpdateWorldTransform();
}

void LevelCompleteScreen::CloseAsButton()
{
    if (m_closed) {
        return;
    }
    m_closed = true;
    const NextScreenDecision decision = m_state.DecideNextScreen(m_outcome);
    if (m_onClose) {
        CloseHandler handler = m_onClose;
        handler(decision);
    } else {
        Close();
    }
}

} // namespace bsh
