#include "engine/gui/mousecursor.h"

#include "engine/core/config.h"
#include "engine/runtime/application.h"
#include "engine/scene/inputmanager.h"
#include "engine/scene/frameloop.h"

namespace tsv {

namespace {

constexpr const char* kArrowTexture = "/texture/gui/cursor/arrow.png";
constexpr const char* kHandTexture = "/texture/gui/cursor/hand.png";
constexpr const char* kNoButtonPicture = "/texture/gui/mouse/none.png";
constexpr const char* kLeftButtonPicture = "/texture/gui/mouse/leftbtn.png";
constexpr const char* kRightButtonPicture = "/texture/gui/mouse/rightbtn.png";
constexpr float kSpriteSize = 64;

// Follows the mouse every frame; killed by the cursor when it goes.
class CursorTask : public Task {
public:
    explicit CursorTask(MouseCursor& cursor) : m_cursor(cursor) {}
    void Run() override
    {
        const InputManager& input = InputManager::Instance();
        m_cursor.Update(input.GetMouseX(), input.GetMouseY(), Application::Instance().GetSystemTimer().GetTime());
    }

private:
    MouseCursor& m_cursor;
};

} // namespace

MouseCursor::MouseCursor()
{
    m_root = MakeIntrusive<SceneNode>();
    m_root->SetLayer(kCursorLayer, Scope::Node);
    m_pointer = MakeIntrusive<SceneNode>();
    m_pointer->SetMesh(Mesh(kSpriteSize, kSpriteSize));
    m_pointer->SetLayer(kCursorLayer, Scope::Node);
    m_button = MakeIntrusive<SceneNode>();
    m_button->SetMesh(Mesh(kSpriteSize, kSpriteSize));
    m_button->SetLayer(kCursorLayer, Scope::Node);
    m_button->SetTexture(kNoButtonPicture);
    m_button->SetPosition({kSpriteSize * 0.75f, kSpriteSize * 0.5f, 0.5f}, Transform::Later);
    m_button->SetVisible(false, Scope::Node);
    m_root->AddChild(HierarchyNodePtr(m_pointer.Get()));
    m_root->AddChild(HierarchyNodePtr(m_button.Get()));
    SetCursor(kCursorArrow, "");
    if (FrameLoop::Instance().IsInitialised()) {
        SetSystemCursor(GetConfig().systemCursor);
        Scene::Instance().AddNode(HierarchyNodePtr(m_root.Get()), Scope::Subtree, Attach::Now);
        m_task = IntrusivePtr<Task>(new CursorTask(*this));
        Application::Instance().GetTaskManager().AddTask(m_task, 0);
    }
}

MouseCursor::~MouseCursor()
{
    if (m_task) {
        m_task->Kill();
    }
    if (FrameLoop::IsInstalled()) {
        Scene::Instance().RemoveNode(HierarchyNodePtr(m_root.Get()), Scope::Subtree, Detach::Now,
                                            Rejoin::Never);
    }
}

void MouseCursor::PlacePointer()
{
    // The hot spot (the arrow's tip, the pointing finger) sits on the mouse.
    const bool hand = m_texture == kHandTexture;
    const float hotX = hand ? 17.0f : 2.0f;
    const float hotY = hand ? 3.0f : 2.0f;
    m_pointer->SetPosition({kSpriteSize * 0.5f - hotX, kSpriteSize * 0.5f - hotY, 0}, Transform::Now);
}

void MouseCursor::SetCursor(int32_t id, const std::string& texturePath)
{
    m_id = id;
    std::string texture = m_texture;
    if (id == kCursorArrow) {
        texture = kArrowTexture;
    } else if (id == kCursorHand) {
        texture = kHandTexture;
    } else if (id == kCursorCustom && !texturePath.empty()) {
        texture = texturePath;
    }
    if (texture != m_texture) {
        m_texture = texture;
        m_pointer->SetTexture(texture);
        PlacePointer();
    }
}

void MouseCursor::ShowButton(EButtonPicture button)
{
    m_asked = button;
    m_button->SetVisible(button != EButtonPicture::None && m_pointer->IsVisible(), Scope::Node);
}

const std::string& MouseCursor::GetButtonPicture() const { return m_button->GetTexturePath(); }

void MouseCursor::Update(float mouseX, float mouseY, int64_t now)
{
    const Vec3 position{mouseX - 400, mouseY - 300, 0};
    if (!(m_root->GetPosition() == position)) {
        m_root->SetPosition(position, Transform::Now);
    }
    if (now - m_lastBlink > kBlinkMs) {
        m_lastBlink = now;
        m_blinkOn = !m_blinkOn;
        const char* picture = !m_blinkOn             ? kNoButtonPicture
                              : m_asked == EButtonPicture::Right ? kRightButtonPicture
                                                       : kLeftButtonPicture;
        m_button->SetTexture(picture);
    }
}

void MouseCursor::SetSystemCursor(bool system)
{
    m_pointer->SetVisible(!system, Scope::Node);
    m_button->SetVisible(!system && m_asked != EButtonPicture::None, Scope::Node);
}

} // namespace tsv
