#include "game/screens/highscorescreen.h"

#include "engine/core/random.h"
#include "engine/core/textformat.h"
#include "engine/gui/languagemanager.h"
#include "engine/gui/screenstack.h"
#include "engine/gui/standarddialog.h"
#include "engine/scene/nodelibrary.h"

#include <string>

namespace bsh {

namespace {

constexpr float kSparkleZ = -0.5f;

// The tables are "table1" (quest) and "table2" (arcade); their clear buttons
// carry the same number as their tag.
std::string TableName(GameMode table) { return "table" + std::to_string(ModeIndex(table) + 1); }
GameMode TableOfTag(int tag)
{
    return tag >= 1 && tag <= kModeCount ? kKeptModes[static_cast<size_t>(tag - 1)] : GameMode::None;
}
std::string RowName(int row) { return "row" + std::to_string(row); }

// The centre of `component` in the coordinates of the screen's root.
void CentreInRoot(const tsv::GUIComponent& component, int32_t& x, int32_t& y)
{
    x = 0;
    y = 0;
    for (const tsv::GUIComponent* c = &component; c && c->GetParent(); c = c->GetParent()) {
        x += c->GetX();
        y += c->GetY();
    }
}

} // namespace

HighscoreScreen::HighscoreScreen(GameState& state, GameMode returnMode, std::function<void(GameMode)> onClose)
    : m_state(state), m_returnMode(returnMode), m_onClose(std::move(onClose))
{
    if (!LoadScreenFile(kScreenFile)) {
        return;
    }
    SetHandler("okbutton", tsv::GuiEvent::Click, [this](tsv::GUIComponent&) { Leave(); });
    SetHandler("cancelbutton", tsv::GuiEvent::Click, [this](tsv::GUIComponent&) { Leave(); });
    for (const char* clear : {"table1clear", "table2clear"}) {
        SetHandler(clear, tsv::GuiEvent::Click, [this](tsv::GUIComponent& button) { AskToReset(TableOfTag(button.GetTag())); });
    }
    FillTables();
    ShowEndlessBests();
}

void HighscoreScreen::ShowEndlessBests()
{
    tsv::GUIComponent* line = FindComponent("endlessbests");
    if (!line) {
        return;
    }
    // The current player's, once they have played the endless board.
    tsv::IntrusivePtr<Profile> profile = m_state.CurrentProfile();
    const PlayerExtra bests = profile ? m_state.Extras().Get(profile->GetName()) : PlayerExtra{};
    line->SetVisible(bests.bestScore > 0 || bests.bestPieces > 0);
    line->SetCaption(tsv::FormatText(line->GetCaption(), {int64_t{bests.bestScore}, int64_t{bests.bestCascade},
                                                          int64_t{bests.bestPieces}}));
}

void HighscoreScreen::FillTables()
{
    FillTable(GameMode::Quest);
    FillTable(GameMode::Arcade);
    m_state.ResetLevelStats();
    PlaceHighlight();
}

void HighscoreScreen::FillTable(GameMode table)
{
    tsv::GUIComponent* component = FindComponent(TableName(table));
    if (!component) {
        return;
    }
    tsv::IntrusivePtr<Profile> profile = m_state.CurrentProfile();
    const std::vector<tsv::IntrusivePtr<HighscoreEntry>> entries = m_state.Highscores().EntriesOf(table);
    const bool runsHere = profile && m_state.GetMode() == table;
    const int32_t runScore = profile ? profile->Record().GetScore(table) : 0;
    for (int row = 1; row <= kRows; ++row) {
        tsv::GUIComponent* line = component->Find(RowName(row));
        if (!line) {
            continue;
        }
        const size_t at = static_cast<size_t>(row - 1);
        const HighscoreEntry* entry = at < entries.size() ? entries[at].Get() : nullptr;
        line->SetVisible(entry != nullptr);
        if (!entry) {
            continue;
        }
        if (tsv::GUIComponent* name = line->Find("name")) {
            name->SetCaption(entry->GetName());
        }
        if (tsv::GUIComponent* score = line->Find("score")) {
            score->SetCaption(std::to_string(entry->GetScore()));
        }
        if (runsHere && !m_highlighted && entry->GetName() == profile->GetName() && entry->GetScore() == runScore) {
            // The run's own entry: shown once, and the run is over.
            profile->Record().ClearMode(table);
            m_highlighted = entries[at];
            tsv::PlayGuiSound(kHighlightSound);
        }
    }
}

void HighscoreScreen::PlaceHighlight()
{
    m_highlightTable = GameMode::None;
    m_highlightRow = 0;
    for (GameMode table : kKeptModes) {
        if (!m_highlighted) {
            break;
        }
        const std::vector<tsv::IntrusivePtr<HighscoreEntry>> entries = m_state.Highscores().EntriesOf(table);
        for (size_t i = 0; i < entries.size() && i < static_cast<size_t>(kRows); ++i) {
            if (entries[i] == m_highlighted) {
                m_highlightTable = table;
                m_highlightRow = static_cast<int>(i) + 1;
            }
        }
    }
    tsv::GUIComponent* marker = FindComponent("highlight");
    if (!marker) {
        return;
    }
    tsv::GUIComponent* table = m_highlightRow > 0 ? FindComponent(TableName(m_highlightTable)) : nullptr;
    tsv::GUIComponent* row = table ? table->Find(RowName(m_highlightRow)) : nullptr;
    marker->SetVisible(row != nullptr);
    if (row) {
        int32_t x = 0, y = 0;
        CentreInRoot(*row, x, y);
        marker->SetCenter(x, y);
    }
}

void HighscoreScreen::Run()
{
    Screen::Run();
    if (IsShown() && !m_leaving && tsv::RandomBelow(kSparkleChance) == 0) {
        Sparkle();
    }
}

void HighscoreScreen::Sparkle()
{
    tsv::GUIComponent* marker = FindComponent("highlight");
    tsv::GUIComponent* anchor = marker && marker->GetOwnVisible() ? marker : FindComponent("sparkles");
    tsv::GUIComponent* root = GetRoot();
    if (!anchor || !root || !root->GetNode()) {
        return;
    }
    tsv::SceneNodePtr sparkle = tsv::NodeLibrary::Instance().CreateNode(kSparkleNode);
    if (!sparkle) {
        return;
    }
    int32_t x = 0, y = 0;
    CentreInRoot(*anchor, x, y);
    const float left = static_cast<float>(x - anchor->GetWidth() / 2);
    const float dx = static_cast<float>(tsv::RandomBelow(kSparkleWidth));
    const float dy = static_cast<float>(kSparkleHeight / 2 - tsv::RandomBelow(kSparkleHeight));
    sparkle->SetLayer(root->GetNode()->GetLayer(), tsv::Scope::Subtree);
    sparkle->SetPosition({left + dx, static_cast<float>(y) + dy, kSparkleZ}, tsv::Transform::Later);
    root->GetNode()->AddChild(tsv::HierarchyNodePtr(sparkle.Get()));
    sparkle->UpdateWorldTransform();
}

void HighscoreScreen::AskToReset(GameMode table)
{
    if (m_asking || m_leaving || !IsValidMode(table)) {
        return;
    }
    m_asking = true;
    tsv::StandardDialogPtr dialog = tsv::MakeIntrusive<tsv::StandardDialog>(
        tsv::LanguageManager::Instance().GetText("$Screen.Highscore.confirmClear"), tsv::DialogKind::Confirm);
    dialog->SetOnClosed([this, table](tsv::Screen& screen) {
        m_asking = false;
        if (static_cast<tsv::StandardDialog&>(screen).GetResult() == tsv::StandardDialog::kYes) {
            ResetTable(table);
        }
    });
    tsv::ScreenStack::Instance().Push(tsv::ScreenPtr(dialog.Get()));
}

void HighscoreScreen::ResetTable(GameMode table)
{
    m_state.Highscores().Fill(table, kResetFirstScore);
    FillTables();
}

void HighscoreScreen::Leave()
{
    if (m_leaving || m_asking) {
        return;
    }
    m_leaving = true;
    if (m_returnMode == GameMode::Arcade) {
        m_state.ResetRun(GameMode::Arcade);
    }
    if (m_onClose) {
        m_onClose(m_returnMode);
    }
}

} // namespace bsh
