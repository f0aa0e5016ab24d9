#include "game/screens/mapscreen.h"

#include "engine/core/log.h"
#include "engine/core/util/xml/xmlloader.h"
#include "engine/gui/font.h"
#include "engine/gui/languagemanager.h"
#include "engine/gui/screenstack.h"
#include "engine/platform/keynames.h"
#include "engine/runtime/application.h"
#include "engine/scene/inputmanager.h"
#include "engine/scene/nodeloader.h"
#include "engine/scene/frameloop.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace bsh {

namespace {

const char* DifficultyButton(Difficulty difficulty)
{
    constexpr const char* kButtons[kDifficultyCount] = {"easybutton", "normalbutton", "hardbutton"};
    return kButtons[DifficultyIndex(difficulty)];
}

// The twelve tiles of the chart: rows of 512, 512 and 256 pixels, columns of
// 512, 512, 512 and 64 pixels, by their centres.
constexpr float kTileX[4] = {-143, 367, 879, 1166};
constexpr float kTileY[3] = {43, -467, -851};
constexpr float kTileWidth[4] = {512, 512, 512, 64};
constexpr float kTileHeight[3] = {512, 512, 256};

// The names of the chart's waters and lands.
struct Description {
    float x, y;
};
constexpr Description kDescriptions[10] = {{-262, 220}, {120, -50}, {-280, -120}, {520, -110}, {1015, -135},
                                           {740, -150}, {-170, -420}, {80, -800}, {715, -770}, {615, -380}};
constexpr uint32_t kDescriptionColour = 0xFFF6EACB;
constexpr uint32_t kDescriptionShadow = 0xB0182838;
constexpr float kDescriptionScale = 0.5f;
// The widest a chart name may be, in view pixels (make-levels keeps the
// trails out of a box this wide and two lines high around each name).
constexpr float kDescriptionWidth = 200;

// Depths under the root: larger lies further back.
constexpr float kTileDepth = 4;
constexpr float kTextDepth = 1;
constexpr float kTrailDepth = 0.6f;
constexpr float kPulseDepth = -0.1f;
constexpr float kSphereDepth = 0;
constexpr float kIconDepth = -0.2f;
constexpr float kMarkDepth = -0.4f;
constexpr float kHighlightDepth = -0.6f;

constexpr float kSphereSize = 44;
constexpr float kHighlightSize = 64;
constexpr float kIconSize = 30;
constexpr float kMarkSize = 26;
constexpr float kBonusSignSize = 40;
constexpr float kTrailSize = 10;
constexpr float kPulseSize = 64;
// Trails leave this much room around the spheres they join.
constexpr float kTrailClearance = 24;
constexpr int64_t kPulsePeriodMs = 1400;

constexpr float kHintWidth = 240;
constexpr float kTitleGap = 30;

constexpr const char* kSphereTexture = "/texture/map/sphere-big.png";
constexpr const char* kHighlightTexture = "/texture/map/sphere-big-highlight.png";
constexpr const char* kSmallSphereTexture = "/texture/map/sphere-small.png";
constexpr const char* kBonusTexture = "/texture/map/level-bonus.png";
constexpr const char* kBonusSignTexture = "/texture/map/bonus-sign.png";
constexpr const char* kCompleteTexture = "/texture/map/level-complete.png";
constexpr const char* kPulseTexture = "/texture/effect/shock-small.png";
constexpr const char* kOpenEffect = "/object/gui/bonusappears.xml";
constexpr const char* kCompleteEffect = "/object/gui/levelcompleteicon.xml";
constexpr const char* kOverSound = "/sound/mouseover.wav";
constexpr const char* kClickSound = "/sound/mouseclick.wav";

constexpr const char* kBonusAuraLevel = "/level/original/003.xml";
constexpr const char* kBonusAuraNext = "/level/original/004.xml";
constexpr const char* kTwoPathsA = "/level/original/005a.xml";
constexpr const char* kTwoPathsNext = "/level/original/006a.xml";
constexpr const char* kTwoPathsB = "/level/original/005b.xml";
constexpr int kBonusAuraHint = 11;
constexpr int kTwoPathsHint = 12;

// Held together, these open the whole chart.
constexpr const char* kDeveloperKeys[4] = {"KEY_LCONTROL", "KEY_LSHIFT", "KEY_O", "KEY_M"};

// The page arrows; the two that can lead to page 4 have a look for "not yet".
struct Arrow {
    const char* name;
    int dx, dy;
    const char* texture;
    const char* shutTexture;
};
constexpr Arrow kArrows[4] = {
    {"leftarrow", -1, 0, "/texture/map/arrow-left.png", "/texture/map/arrow-left.png"},
    {"rightarrow", 1, 0, "/texture/map/arrow-right.png", "/texture/map/arrow-disabled-right.png"},
    {"uparrow", 0, -1, "/texture/map/arrow-up.png", "/texture/map/arrow-disabled-up.png"},
    {"downarrow", 0, 1, "/texture/map/arrow-down.png", "/texture/map/arrow-down.png"},
};

tsv::SceneNodePtr Picture(const std::string& texture, float w, float h, float x, float y, float depth)
{
    tsv::SceneNodePtr node = tsv::MakeIntrusive<tsv::SceneNode>();
    node->SetMesh(tsv::Mesh(w, h));
    node->SetTexture(texture);
    node->SetPosition({x, y, depth}, tsv::Transform::Later);
    return node;
}

tsv::SceneNodePtr Group(float x, float y, float depth)
{
    tsv::SceneNodePtr node = tsv::MakeIntrusive<tsv::SceneNode>();
    node->SetPosition({x, y, depth}, tsv::Transform::Later);
    return node;
}

// The text split at the blank that leaves its two halves most even, or the
// text itself when it has no blank (the East Asian names are short).
std::vector<std::string> BalancedLines(const tsv::Font& font, const std::string& text)
{
    std::vector<std::string> best{text};
    float bestWidth = font.MeasureText(text).x;
    for (size_t blank = text.find(' '); blank != std::string::npos; blank = text.find(' ', blank + 1)) {
        std::vector<std::string> lines{text.substr(0, blank), text.substr(blank + 1)};
        const float width = std::max(font.MeasureText(lines[0]).x, font.MeasureText(lines[1]).x);
        if (width < bestWidth) {
            best = std::move(lines);
            bestWidth = width;
        }
    }
    return best;
}

// A text centred on (x, y), with a soft shadow so that it reads on sea and
// land. A name wider than kDescriptionWidth takes two centred lines, and
// shrinks if even those are too wide, so that every language's names keep
// to the room the chart leaves them.
tsv::SceneNodePtr Label(const std::string& text, float x, float y, float scale)
{
    tsv::SceneNodePtr group = Group(x, y, kTextDepth);
    const tsv::Font* font = tsv::LanguageManager::Instance().GetFont(0);
    if (!font || text.empty()) {
        return group;
    }
    std::vector<std::string> lines{text};
    if (font->MeasureText(text).x * scale > kDescriptionWidth) {
        lines = BalancedLines(*font, text);
    }
    float widest = 0;
    for (const std::string& line : lines) {
        widest = std::max(widest, font->MeasureText(line).x);
    }
    if (widest * scale > kDescriptionWidth) {
        scale = kDescriptionWidth / widest;
    }
    const float lineHeight = font->GetLineHeight();
    float top = -lineHeight * static_cast<float>(lines.size()) * 0.5f;
    for (const std::string& line : lines) {
        const float left = -font->MeasureText(line).x * 0.5f;
        tsv::SceneNodePtr shadow = tsv::MakeIntrusive<tsv::SceneNode>();
        font->LayText(line, *shadow, kDescriptionShadow);
        shadow->SetPosition({left + 2, top + 2, 0.01f}, tsv::Transform::Later);
        tsv::SceneNodePtr face = tsv::MakeIntrusive<tsv::SceneNode>();
        font->LayText(line, *face, kDescriptionColour);
        face->SetPosition({left, top, 0}, tsv::Transform::Later);
        group->AddChild(shadow);
        group->AddChild(face);
        top += lineHeight;
    }
    group->SetScale(scale, scale, tsv::Transform::Later);
    return group;
}

void Show(const tsv::SceneNodePtr& node, bool shown)
{
    if (node) {
        node->SetVisible(shown, tsv::Scope::Subtree);
    }
}

float Ease(float t) { return t * t * (3 - 2 * t); }

} // namespace

MapScreen::MapScreen(GameState& state, Actions actions) : m_state(state), m_actions(std::move(actions))
{
    m_profile = m_state.CurrentProfile();
    m_openedAt = Now();
    if (LoadScreenFile(kScreenFile)) {
        SetHandler("closebutton", tsv::GuiEvent::Click, [this](tsv::GUIComponent&) {
            if (m_actions.close && !m_left) {
                m_left = true;
                m_actions.close();
            }
        });
        SetHandler("playbutton", tsv::GuiEvent::Click, [this](tsv::GUIComponent&) { PlaySuggested(); });
        SetHandler("treasurybutton", tsv::GuiEvent::Click, [this](tsv::GUIComponent&) {
            if (m_actions.treasury && !m_left) {
                m_left = true;
                m_actions.treasury();
            }
        });
        for (Difficulty difficulty : kDifficulties) {
            SetHandler(DifficultyButton(difficulty), tsv::GuiEvent::Click,
                       [this, difficulty](tsv::GUIComponent&) { SetDifficulty(difficulty); });
        }
        for (const Arrow& arrow : kArrows) {
            SetHandler(arrow.name, tsv::GuiEvent::Click, [this, arrow](tsv::GUIComponent&) { ScrollBy(arrow.dx, arrow.dy); });
        }
        if (tsv::GUIComponent* treasury = FindComponent("treasurybutton")) {
            treasury->SetVisible(m_actions.treasury && m_profile && m_profile->Awards().AnyEarned());
        }
        if (tsv::GUIComponent* title = FindComponent("leveltitle")) {
            title->SetVisible(false);
        }
        GetRoot()->Walk([this](tsv::GUIComponent& component, int) {
            if (component.GetName() != "sphere") {
                return;
            }
            const size_t slot = m_sphereButtons.size();
            m_sphereButtons.push_back(&component);
            // The mouse plays a sphere through Pointer; this is the keys' way.
            component.SetHandler(tsv::GuiEvent::Click, [this, slot](tsv::GUIComponent&) {
                const int level = m_sphereLevels[slot];
                if (tsv::Screen::AreKeysInUse() && level >= 0 && !m_scrolling && !m_left) {
                    tsv::PlayGuiSound(kClickSound);
                    PlayLevel(static_cast<size_t>(level));
                }
            });
        });
        m_sphereLevels.assign(m_sphereButtons.size(), -1);
    }
    m_openEffect = tsv::LoadNodeFile(kOpenEffect, tsv::SceneNodePtr());
    m_completeEffect = tsv::LoadNodeFile(kCompleteEffect, tsv::SceneNodePtr());
    BuildChart();
    LoadLevels();
    RefreshDifficultyButtons();
    ShowPage(m_profile ? m_profile->Record().GetMapPage() : 1);
}

MapScreen::~MapScreen()
{
    if (m_root) {
        m_root->Expire();
    }
    if (m_profile) {
        m_state.Profiles().Save();
    }
}

void MapScreen::OnRemove()
{
    if (m_root) {
        m_root->Expire();
        m_root = nullptr;
    }
    if (m_hintBox && tsv::ScreenStack::Instance().Contains(m_hintBox.Get())) {
        tsv::ScreenStack::Instance().Remove(m_hintBox.Get());
    }
    Screen::OnRemove();
}

int64_t MapScreen::Now() const { return tsv::Application::Instance().GetSystemTimer().GetTime(); }

// --- The chart ----------------------------------------------------------------------

void MapScreen::BuildChart()
{
    m_root = Group(0, 0, 0);
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 4; ++column) {
            const std::string texture =
                "/texture/map/map" + std::to_string(row + 1) + "-" + std::to_string(column + 1) + ".dds";
            m_root->AddChild(
                Picture(texture, kTileWidth[column], kTileHeight[row], kTileX[column], kTileY[row], kTileDepth));
        }
    }
    const tsv::LanguageManager& language = tsv::LanguageManager::Instance();
    for (int i = 0; i < 10; ++i) {
        const std::string text = language.GetText("$Screen.Map.description" + std::to_string(i + 1));
        m_root->AddChild(Label(text, kDescriptions[i].x, kDescriptions[i].y, kDescriptionScale));
    }
    m_root->SetLayer(kMapLayer, tsv::Scope::Subtree);
    m_root->UpdateWorldTransform();
    tsv::Scene::Instance().AddNode(m_root, tsv::Scope::Subtree, tsv::Attach::Now);
}

void MapScreen::ClearLevels()
{
    if (m_levels && m_root) {
        m_root->RemoveChild(m_levels.Get(), tsv::Detach::Now);
    }
    m_levels = Group(0, 0, 0);
    m_nodes.clear();
    m_titles.clear();
    m_hovered = -1;
}

void MapScreen::LoadLevels()
{
    if (!m_root) {
        return;
    }
    ClearLevels();
    m_map.Load(m_state.GetPaths().questMap);
    if (m_profile) {
        m_map.ApplyRecord(m_profile->Record());
    }
    const std::vector<QuestMapLevel>& levels = m_map.Levels();
    m_nodes.resize(levels.size());
    m_titles.resize(levels.size());
    for (size_t i = 0; i < levels.size(); ++i) {
        const QuestMapLevel& level = levels[i];
        LevelNodes& nodes = m_nodes[i];
        nodes.sphere = Picture(kSphereTexture, kSphereSize, kSphereSize, level.x, level.y, kSphereDepth);
        nodes.highlight = Picture(kHighlightTexture, kHighlightSize, kHighlightSize, 0, 0, kHighlightDepth - kSphereDepth);
        nodes.sphere->AddChild(nodes.highlight);
        const std::string icon = level.bonus ? kBonusTexture : level.icon;
        if (!icon.empty()) {
            const float size = level.bonus ? kSphereSize : kIconSize;
            nodes.icon = Picture(icon, size, size, 0, 0, kIconDepth - kSphereDepth);
            nodes.sphere->AddChild(nodes.icon);
        }
        if (level.mesh) {
            tsv::SceneNodePtr mesh = tsv::ParseNode(*level.mesh, tsv::SceneNodePtr(), m_state.GetPaths().questMap);
            if (mesh) {
                nodes.sphere->AddChild(mesh);
            }
        }
        nodes.mark = Picture(kCompleteTexture, kMarkSize, kMarkSize, 12, 12, kMarkDepth - kSphereDepth);
        nodes.sphere->AddChild(nodes.mark);
        nodes.bonusSign = Picture(kBonusSignTexture, kBonusSignSize, kBonusSignSize, level.x, level.y, kSphereDepth);
        nodes.pulse = Picture(kPulseTexture, kPulseSize, kPulseSize, level.x, level.y, kPulseDepth);
        m_levels->AddChild(nodes.sphere);
        m_levels->AddChild(nodes.bonusSign);
        m_levels->AddChild(nodes.pulse);
    }
    for (size_t i = 0; i < levels.size(); ++i) {
        for (size_t link : m_map.TrailsTo(i)) {
            AddTrail(link, i);
        }
    }
    m_levels->SetLayer(kMapLayer, tsv::Scope::Subtree);
    for (size_t i = 0; i < levels.size(); ++i) {
        RefreshLevel(i);
    }
    m_root->AddChild(m_levels);
    m_root->UpdateWorldTransform();
}

void MapScreen::RefreshLevel(size_t level)
{
    const QuestMapLevel& entry = m_map.Levels()[level];
    LevelNodes& nodes = m_nodes[level];
    const bool shown = m_map.IsShown(level);
    Show(nodes.sphere, shown);
    Show(nodes.highlight, shown && m_hovered == static_cast<int>(level));
    Show(nodes.mark, shown && (entry.state == LevelState::Completed || entry.state == LevelState::CompletedFast));
    Show(nodes.bonusSign, m_map.ShowsBonusSign(level));
    Show(nodes.pulse, m_map.Pulses(level));
}

void MapScreen::AddTrail(size_t from, size_t to)
{
    LevelNodes& nodes = m_nodes[to];
    if (std::find(nodes.trailFrom.begin(), nodes.trailFrom.end(), from) != nodes.trailFrom.end()) {
        return;
    }
    const QuestMapLevel& a = m_map.Levels()[from];
    const QuestMapLevel& b = m_map.Levels()[to];
    const float dx = b.x - a.x, dy = b.y - a.y;
    const float length = std::hypot(dx, dy);
    const float usable = length - 2 * kTrailClearance;
    tsv::SceneNodePtr trail = Group(0, 0, kTrailDepth);
    if (usable > 0) {
        const int steps = static_cast<int>(usable / kTrailStep);
        const float start = kTrailClearance + (usable - static_cast<float>(steps) * kTrailStep) * 0.5f;
        for (int i = 0; i <= steps; ++i) {
            const float along = (start + static_cast<float>(i) * kTrailStep) / length;
            trail->AddChild(Picture(kSmallSphereTexture, kTrailSize, kTrailSize, a.x + dx * along, a.y + dy * along, 0));
        }
    }
    trail->SetLayer(kMapLayer, tsv::Scope::Subtree);
    m_levels->AddChild(trail);
    trail->UpdateWorldTransform();
    nodes.trails.push_back(trail);
    nodes.trailFrom.push_back(from);
}

size_t MapScreen::GetTrailSphereCount() const
{
    size_t count = 0;
    for (const LevelNodes& nodes : m_nodes) {
        for (const tsv::SceneNodePtr& trail : nodes.trails) {
            count += trail->GetChildren()->nodes.size();
        }
    }
    return count;
}

void MapScreen::FireAt(const tsv::SceneNodePtr& effect, size_t level)
{
    if (!effect) {
        return;
    }
    const QuestMapLevel& entry = m_map.Levels()[level];
    effect->SetPosition({entry.x + m_offsetX, entry.y + m_offsetY, -1}, tsv::Transform::Now);
    effect->SetLayer(kMapLayer, tsv::Scope::Subtree);
    effect->Fire(0, tsv::FireDelay::OnNode);
}

// --- Completion ------------------------------------------------------------------------

void MapScreen::OnLevelCompleted(const std::string& path, bool fast)
{
    if (!m_profile) {
        return;
    }
    const QuestMapChanges changes = m_map.OnLevelCompleted(path, fast, m_profile->Record());
    // The record already marks the won level, so the model rarely changes it;
    // the player still sees the mark arrive.
    const int completed = m_map.Find(path);
    if (completed >= 0) {
        FireAt(m_completeEffect, static_cast<size_t>(completed));
    }
    for (const auto& [from, to] : changes.trails) {
        AddTrail(from, to);
    }
    for (size_t opened : changes.opened) {
        FireAt(m_openEffect, opened);
    }
    for (size_t i = 0; i < m_map.Levels().size(); ++i) {
        RefreshLevel(i);
    }
    if (changes.scrollTo != 0) {
        StartScroll(changes.scrollTo);
    } else {
        RefreshArrows();
    }
}

// --- Pages and scrolling ---------------------------------------------------------------

void MapScreen::ShowPage(int32_t page)
{
    if (page < 1 || page > QuestMap::kPageCount) {
        page = 1;
    }
    m_page = page;
    const auto [x, y] = QuestMap::PageOffset(page);
    m_offsetX = x;
    m_offsetY = y;
    PlaceRoot();
    RefreshArrows();
}

void MapScreen::PlaceRoot()
{
    if (m_root) {
        m_root->SetPosition({m_offsetX, m_offsetY, 0}, tsv::Transform::Now);
    }
}

void MapScreen::RefreshSphereButtons()
{
    // The open spheres of the page in view, each under a button of its own
    // that the key focus can reach; none while the chart scrolls.
    size_t slot = 0;
    const float width = kHoverLeft + kHoverRight, height = kHoverTop + kHoverBottom;
    for (size_t i = 0; i < m_map.Levels().size() && !m_scrolling && slot < m_sphereButtons.size(); ++i) {
        const QuestMapLevel& level = m_map.Levels()[i];
        const float x = level.x + m_offsetX + (kHoverRight - kHoverLeft) * 0.5f;
        const float y = level.y + m_offsetY + (kHoverBottom - kHoverTop) * 0.5f;
        if (!m_map.IsShown(i) || std::fabs(x) > 400 - width * 0.5f || std::fabs(y) > 300 - height * 0.5f) {
            continue;
        }
        tsv::GUIComponent& button = *m_sphereButtons[slot];
        m_sphereLevels[slot] = static_cast<int>(i);
        button.SetSize(static_cast<int32_t>(width), static_cast<int32_t>(height));
        button.SetCenter(static_cast<int32_t>(std::lround(x)), static_cast<int32_t>(std::lround(y)));
        button.SetVisible(true);
        ++slot;
    }
    for (; slot < m_sphereButtons.size(); ++slot) {
        m_sphereLevels[slot] = -1;
        m_sphereButtons[slot]->SetVisible(false);
    }
}

int MapScreen::KeyFocusedLevel() const
{
    for (size_t slot = 0; slot < m_sphereButtons.size(); ++slot) {
        if (m_sphereButtons[slot]->HasKeyFocus() && m_sphereButtons[slot]->IsVisible()) {
            return m_sphereLevels[slot];
        }
    }
    return -1;
}

void MapScreen::RefreshArrows()
{
    RefreshSphereButtons();
    for (const Arrow& arrow : kArrows) {
        tsv::GUIComponent* button = GetRoot() ? GetRoot()->Find(arrow.name) : nullptr;
        if (!button) {
            continue;
        }
        const int32_t target = m_scrolling ? 0 : QuestMap::PageToward(m_page, arrow.dx, arrow.dy);
        button->SetVisible(target != 0);
        const bool shut = target == 4 && !m_map.IsLastPageOpen();
        button->SetEnabled(target != 0 && !shut);
        button->SetPicture(shut ? arrow.shutTexture : arrow.texture);
    }
}

void MapScreen::ScrollBy(int dx, int dy)
{
    const int32_t target = QuestMap::PageToward(m_page, dx, dy);
    if (m_scrolling || target == 0 || (target == 4 && !m_map.IsLastPageOpen())) {
        return;
    }
    StartScroll(target);
}

void MapScreen::StartScroll(int32_t page)
{
    m_scrollFromX = m_offsetX;
    m_scrollFromY = m_offsetY;
    const auto [x, y] = QuestMap::PageOffset(page);
    m_scrollToX = x;
    m_scrollToY = y;
    m_scrollStart = Now();
    m_scrollPage = page;
    m_scrolling = true;
    m_page = page;
    if (m_profile) {
        m_profile->Record().SetMapPage(page);
    }
    RefreshArrows();
}

void MapScreen::StepScroll(int64_t now)
{
    if (!m_scrolling) {
        return;
    }
    const int64_t elapsed = now - m_scrollStart;
    if (elapsed < kScrollMs) {
        const float t = Ease(static_cast<float>(elapsed) * 0.001f);
        m_offsetX = m_scrollFromX + (m_scrollToX - m_scrollFromX) * t;
        m_offsetY = m_scrollFromY + (m_scrollToY - m_scrollFromY) * t;
        PlaceRoot();
        return;
    }
    m_scrolling = false;
    ShowPage(m_scrollPage);
}

// --- Levels: play, difficulty ----------------------------------------------------------

void MapScreen::PlaySuggested()
{
    const int level = m_map.SuggestedLevel([](int count) { return std::rand() % count; });
    if (level >= 0) {
        PlayLevel(static_cast<size_t>(level));
    }
}

void MapScreen::PlayLevel(size_t level)
{
    if (m_left || level >= m_map.Levels().size() || m_map.PageOf(level) == 0 || !m_actions.play) {
        return;
    }
    m_left = true;
    m_actions.play(m_map.Levels()[level].source);
}

void MapScreen::SetDifficulty(Difficulty difficulty)
{
    if (!m_profile || !IsValidDifficulty(difficulty)) {
        return;
    }
    m_profile->SetDifficulty(difficulty);
    LoadLevels();
    RefreshDifficultyButtons();
    RefreshArrows();
}

void MapScreen::RefreshDifficultyButtons()
{
    const Difficulty current = m_profile ? m_profile->GetDifficulty() : Difficulty::Normal;
    for (Difficulty difficulty : kDifficulties) {
        if (tsv::GUIComponent* button = GetRoot() ? GetRoot()->Find(DifficultyButton(difficulty)) : nullptr) {
            button->SetEnabled(difficulty != current);
        }
    }
}

void MapScreen::OpenWholeMap()
{
    if (!m_profile) {
        return;
    }
    QuestMap::OpenAll(m_map.Levels(), m_profile->Record());
    LoadLevels();
    RefreshArrows();
}

void MapScreen::CheckDeveloperKeys()
{
    tsv::InputManager& input = tsv::InputManager::Instance();
    bool held = true;
    for (const char* key : kDeveloperKeys) {
        held = held && input.IsKeyDown(tsv::KeyCodeFromName(key));
    }
    if (held && !m_comboHeld) {
        OpenWholeMap();
    }
    m_comboHeld = held;
}

// --- Per frame -------------------------------------------------------------------------

void MapScreen::Run()
{
    Screen::Run();
    const int64_t now = Now();
    StepScroll(now);
    StepPulses(now);
    UpdateHints(now);
}

void MapScreen::ProcessInput()
{
    Screen::ProcessInput();
    if (!IsShown() || tsv::ScreenStack::Instance().GetInputScreen() != this) {
        return;
    }
    const bool hinting = m_hintBox && tsv::ScreenStack::Instance().Contains(m_hintBox.Get());
    tsv::InputManager& input = tsv::InputManager::Instance();
    if (hinting) {
        m_leftWasDown = input.IsLeftButtonDown();
        return;
    }
    CheckDeveloperKeys();
    for (const tsv::InputManager::PointerState& pointer : input.GetPointerStates()) {
        Pointer(pointer.x - 400, pointer.y - 300, pointer.leftDown);
    }
}

void MapScreen::Pointer(float x, float y, bool leftDown)
{
    const bool pressed = leftDown && !m_leftWasDown;
    m_leftWasDown = leftDown;
    int over = -1;
    if (tsv::Screen::AreKeysInUse()) {
        // The keys have the focus: the sphere they point at shows as hovered.
        over = m_scrolling || m_left ? -1 : KeyFocusedLevel();
    } else if (!m_scrolling && !m_left) {
        const float mapX = x - m_offsetX, mapY = y - m_offsetY;
        for (size_t i = 0; i < m_map.Levels().size(); ++i) {
            const QuestMapLevel& level = m_map.Levels()[i];
            if (m_map.IsShown(i) && mapX > level.x - kHoverLeft && mapX < level.x + kHoverRight &&
                mapY > level.y - kHoverTop && mapY < level.y + kHoverBottom) {
                over = static_cast<int>(i);
                break;
            }
        }
    }
    if (over != m_hovered) {
        const int previous = m_hovered;
        m_hovered = over;
        if (previous >= 0) {
            RefreshLevel(static_cast<size_t>(previous));
        }
        if (over >= 0) {
            RefreshLevel(static_cast<size_t>(over));
            tsv::PlayGuiSound(kOverSound);
        }
        ShowTitle(over);
    }
    if (over >= 0 && pressed && !tsv::Screen::AreKeysInUse()) {
        tsv::PlayGuiSound(kClickSound);
        PlayLevel(static_cast<size_t>(over));
    }
}

std::string MapScreen::LevelTitle(size_t level)
{
    if (!m_titles[level].empty()) {
        return m_titles[level];
    }
    std::string path = m_map.Levels()[level].source;
    if (!path.empty() && path[0] == '/') {
        path = "data" + path;
    }
    tsv::IntrusivePtr<tsv::XMLElement> document = tsv::LoadXMLFile(path);
    if (document && !document->Children().empty()) {
        if (tsv::IntrusivePtr<tsv::XMLElement> name = document->Children().front().second->FindChild("name")) {
            m_titles[level] = tsv::LanguageManager::Instance().GetText("$" + name->GetText());
        }
    }
    return m_titles[level];
}

void MapScreen::ShowTitle(int level)
{
    tsv::GUIComponent* title = GetRoot() ? GetRoot()->Find("leveltitle") : nullptr;
    if (!title) {
        return;
    }
    if (level < 0) {
        title->SetVisible(false);
        return;
    }
    const std::string text = LevelTitle(static_cast<size_t>(level));
    const QuestMapLevel& entry = m_map.Levels()[static_cast<size_t>(level)];
    const float x = entry.x + m_offsetX;
    // Below the sphere, or above it near the bottom of the view.
    const float below = entry.y + m_offsetY + kTitleGap;
    const float y = below + static_cast<float>(title->GetHeight()) * 0.5f > 230 ? below - 2 * kTitleGap : below;
    const float half = static_cast<float>(title->GetWidth()) * 0.5f;
    title->SetCenter(static_cast<int32_t>(std::clamp(x, -390 + half, 390 - half)), static_cast<int32_t>(y));
    title->SetCaption(text);
    title->SetVisible(!text.empty());
}

void MapScreen::StepPulses(int64_t now)
{
    const float phase = static_cast<float>(now % kPulsePeriodMs) / static_cast<float>(kPulsePeriodMs);
    // A ring leaves the sphere's rim, grows and fades.
    const float scale = 0.75f + 0.85f * phase;
    const uint32_t alpha = static_cast<uint32_t>(255.0f * std::sqrt(1.0f - phase));
    for (size_t i = 0; i < m_nodes.size(); ++i) {
        const tsv::SceneNodePtr& pulse = m_nodes[i].pulse;
        if (pulse && pulse->IsVisible()) {
            pulse->SetScale(scale, scale, tsv::Transform::Later);
            pulse->SetColor((alpha << 24) | 0xFFFFFF);
            pulse->UpdateWorldTransform();
        }
    }
}

// --- Hints -----------------------------------------------------------------------------

void MapScreen::UpdateHints(int64_t now)
{
    if (m_hintsChecked || !m_profile || now - m_openedAt < kHintDelayMs || !IsShown()) {
        return;
    }
    m_hintsChecked = true;
    auto state = [this](const char* source) {
        const int i = m_map.Find(source);
        return i < 0 ? LevelState::Locked : m_map.Levels()[static_cast<size_t>(i)].state;
    };
    const AwardBlock& awards = m_profile->Awards();
    if (awards.GetHintCounter(kBonusAuraHint) != 0 && state(kBonusAuraLevel) == LevelState::Open &&
        state(kBonusAuraNext) == LevelState::Locked) {
        ShowMapHint(kBonusAuraHint, kBonusAuraLevel);
    } else if (awards.GetHintCounter(kTwoPathsHint) != 0 && state(kTwoPathsA) == LevelState::Open &&
               state(kTwoPathsNext) == LevelState::Locked && state(kTwoPathsB) == LevelState::Open) {
        ShowMapHint(kTwoPathsHint, kTwoPathsA);
    }
}

bool MapScreen::ShowMapHint(int hint, const std::string& nearLevel)
{
    AwardBlock& awards = m_profile->Awards();
    awards.SetHintCounter(hint, awards.GetHintCounter(hint) - 1);
    float x = 0, y = 0;
    const int level = m_map.Find(nearLevel);
    if (level >= 0) {
        x = m_map.Levels()[static_cast<size_t>(level)].x + m_offsetX;
        y = m_map.Levels()[static_cast<size_t>(level)].y + m_offsetY + kTitleGap;
    }
    m_shownHint = HintKey(hint);
    m_hintBox = tsv::MakeIntrusive<HintBox>();
    m_hintBox->Place(kHintWidth, m_shownHint, x, y);
    tsv::ScreenStack::Instance().Push(tsv::ScreenPtr(m_hintBox.Get()));
    return true;
}

} // namespace bsh
