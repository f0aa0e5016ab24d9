#include "game/screens/hintbox.h"

#include "engine/gui/languagemanager.h"
#include "engine/gui/screenstack.h"
#include "engine/platform/keynames.h"
#include "engine/runtime/application.h"
#include "engine/scene/inputmanager.h"
#include "engine/scene/frameloop.h"

#include <algorithm>

namespace bsh {

namespace {
constexpr float kMargin = 14.0f;
constexpr uint32_t kTextColour = 0xFFF8ECC8;
constexpr uint32_t kPlateColour = 0xE0102436;
constexpr uint32_t kRimColour = 0xFFD8A548;
// The box's corner may come this close to the view's right and bottom edges.
constexpr float kRightLimit = 390.0f;
constexpr float kBottomLimit = 290.0f;

tsv::SceneNodePtr Rect(float w, float h, uint32_t colour, float z)
{
    tsv::SceneNodePtr node = tsv::MakeIntrusive<tsv::SceneNode>();
    node->SetMesh(tsv::Mesh(w, h));
    node->SetColor(colour);
    node->SetPosition({0, 0, z}, tsv::Transform::Later);
    return node;
}
} // namespace

HintBox::HintBox() { SetName("hintbox"); }

HintBox::~HintBox()
{
    if (m_frame) {
        m_frame->Expire();
    }
    if (m_pausedClock) {
        tsv::Application::Instance().GetTimer().SetRunning(true);
    }
}

float ViewRect::Overlap(const ViewRect& other) const
{
    const float w = std::min(right, other.right) - std::max(left, other.left);
    const float h = std::min(bottom, other.bottom) - std::max(top, other.top);
    return w > 0 && h > 0 ? w * h : 0.0f;
}

ViewRect PlaceBeside(float width, float height, const ViewRect& about, const ViewRect& board)
{
    constexpr float kGap = 14.0f; // clear of the board's frame too
    const float cx = (about.left + about.right) * 0.5f, cy = (about.top + about.bottom) * 0.5f;
    // Right beside the cells first, then beside the board, level with them.
    const float candidates[][2] = {
        {cx - width * 0.5f, about.bottom + kGap},        {cx - width * 0.5f, about.top - kGap - height},
        {about.right + kGap, cy - height * 0.5f},        {about.left - kGap - width, cy - height * 0.5f},
        {cx - width * 0.5f, board.bottom + kGap},        {cx - width * 0.5f, board.top - kGap - height},
        {board.right + kGap, cy - height * 0.5f},        {board.left - kGap - width, cy - height * 0.5f},
    };
    ViewRect best;
    float bestAbout = 0, bestBoard = 0, bestDistance = 0;
    bool found = false;
    for (const auto& [x, y] : candidates) {
        ViewRect box;
        box.left = std::clamp(x, -390.0f, std::max(-390.0f, kRightLimit - width));
        box.top = std::clamp(y, -290.0f, std::max(-290.0f, kBottomLimit - height));
        box.right = box.left + width;
        box.bottom = box.top + height;
        // Off the cells it talks of first, then off as much of the board as
        // can be, then as near them as can be.
        const float onAbout = box.Overlap(about), onBoard = box.Overlap(board);
        const float dx = (box.left + box.right) * 0.5f - cx, dy = (box.top + box.bottom) * 0.5f - cy;
        const float distance = dx * dx + dy * dy;
        const bool better = !found || onAbout < bestAbout ||
                            (onAbout == bestAbout && (onBoard < bestBoard ||
                                                      (onBoard == bestBoard && distance < bestDistance)));
        if (better) {
            best = box;
            bestAbout = onAbout;
            bestBoard = onBoard;
            bestDistance = distance;
            found = true;
        }
    }
    return best;
}

void HintBox::PlaceBesideCells(float width, const std::string& key, const ViewRect& about, const ViewRect& board)
{
    m_beside = true;
    m_about = about;
    m_board = board;
    Place(width, key, (about.left + about.right) * 0.5f, about.bottom);
}

int64_t HintBox::SystemNow() const { return tsv::Application::Instance().GetSystemTimer().GetTime(); }

void HintBox::Place(float width, const std::string& key, float x, float y)
{
    m_width = std::max(width, kMinWidth);
    m_key = key;
    m_x = x;
    m_y = y;
    m_placedAt = SystemNow();
    Build();
}

HintBox::Layout HintBox::Lay(const tsv::Font* font, const std::string& text, float width, tsv::LanguageId language)
{
    Layout layout;
    if (font) {
        layout.lineHeight = font->MeasureText("Ag").y * kTextScale;
        const std::string wrapped = font->WrapText(text, width / kTextScale, tsv::BreaksBetweenAnyCharacters(language));
        size_t start = 0;
        for (size_t end; (end = wrapped.find('\n', start)) != std::string::npos; start = end + 1) {
            layout.lines.push_back(wrapped.substr(start, end - start));
        }
        layout.lines.push_back(wrapped.substr(start));
    }
    layout.width = width + 2 * kMargin;
    layout.height = layout.lineHeight * static_cast<float>(std::max<size_t>(layout.lines.size(), 1)) + 2 * kMargin;
    return layout;
}

void HintBox::Build()
{
    if (m_frame) {
        m_frame->Expire();
    }
    const tsv::LanguageManager& language = tsv::LanguageManager::Instance();
    const tsv::Font* font = language.GetFont(0);
    const Layout layout = Lay(font, language.GetText("$" + m_key), m_width, language.GetCurrent());
    const float w = layout.width;
    const float h = layout.height;
    // Stay inside the view: left/top by the box's own size too.
    float left = std::clamp(m_x - w * 0.5f, -390.0f, kRightLimit - w);
    float top = std::clamp(m_y, -290.0f, kBottomLimit - h);
    if (m_beside) {
        const ViewRect box = PlaceBeside(w + 4, h + 4, m_about, m_board);
        left = box.left + 2;
        top = box.top + 2;
    }

    m_frame = tsv::MakeIntrusive<tsv::SceneNode>();
    m_frame->SetPosition({left + w * 0.5f, top + h * 0.5f, 0}, tsv::Transform::Later);
    m_frame->AddChild(Rect(w + 4, h + 4, kRimColour, 0.2f));
    m_frame->AddChild(Rect(w, h, kPlateColour, 0.1f));
    if (font) {
        for (size_t i = 0; i < layout.lines.size(); ++i) {
            tsv::SceneNodePtr row = tsv::MakeIntrusive<tsv::SceneNode>();
            font->LayText(layout.lines[i], *row, kTextColour);
            row->SetScale(kTextScale, kTextScale, tsv::Transform::Later);
            const float y = -h * 0.5f + kMargin + layout.lineHeight * static_cast<float>(i);
            row->SetPosition({-w * 0.5f + kMargin, y, 0}, tsv::Transform::Later);
            m_frame->AddChild(row);
        }
    }
    m_frame->SetTimer(tsv::IntrusivePtr<tsv::Timer>(&tsv::Application::Instance().GetSystemTimer()),
                      tsv::Scope::Subtree, tsv::Reassign::Quiet);
    m_frame->SetLayer(kLayer, tsv::Scope::Subtree);
    m_frame->UpdateWorldTransform();
    tsv::Scene::Instance().AddNode(m_frame, tsv::Scope::Subtree, tsv::Attach::Now);
}

bool HintBox::IsClosable() const { return !m_closed && SystemNow() - m_placedAt >= kClosableAfterMs; }

bool HintBox::Dismiss()
{
    if (!IsClosable()) {
        return false;
    }
    m_closed = true;
    if (m_frame) {
        m_frame->Expire();
        m_frame = nullptr;
    }
    if (m_pausedClock) {
        tsv::Application::Instance().GetTimer().SetRunning(true);
        m_pausedClock = false;
    }
    if (tsv::ScreenStack::Instance().Contains(this)) {
        tsv::ScreenStack::Instance().Remove(this);
    }
    return true;
}

void HintBox::OnRemove()
{
    if (m_frame) {
        m_frame->Expire();
        m_frame = nullptr;
    }
    if (m_pausedClock) {
        tsv::Application::Instance().GetTimer().SetRunning(true);
        m_pausedClock = false;
    }
    m_closed = true;
    Screen::OnRemove();
}

void HintBox::Run()
{
    if (m_closed) {
        return;
    }
    const int64_t now = SystemNow();
    tsv::Timer& game = tsv::Application::Instance().GetTimer();
    if (!m_pausedClock && now - m_placedAt > kPauseAfterMs && game.IsRunning()) {
        game.SetRunning(false);
        m_pausedClock = true;
    }
    tsv::InputManager& input = tsv::InputManager::Instance();
    bool pressed = input.WasButtonPressed();
    static const int kKeys[] = {tsv::KeyCode(tsv::KeyId::Escape), tsv::KeyCode(tsv::KeyId::Space),
                                tsv::KeyCode(tsv::KeyId::Return)};
    for (int key : input.GetPressedKeys()) {
        pressed = pressed || std::find(std::begin(kKeys), std::end(kKeys), key) != std::end(kKeys);
    }
    const auto& screens = tsv::ScreenStack::Instance().GetScreens();
    if (pressed && !screens.empty() && screens.back().Get() == this) {
        Dismiss();
    }
}

} // namespace bsh
