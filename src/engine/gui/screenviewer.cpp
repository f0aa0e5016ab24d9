#include "engine/gui/screenviewer.h"

#include "engine/core/log.h"
#include "engine/gui/screenstack.h"
#include "engine/gui/standarddialog.h"
#include "engine/scene/inputmanager.h"
#include "engine/scene/frameloop.h"

namespace tsv {

namespace {

constexpr const char* kBackdropTexture = "/texture/bg/menu.png";

// The menu's picture behind everything; it takes no input.
class BackdropScreen : public Screen {
public:
    BackdropScreen()
    {
        SetName("backdrop");
        m_picture = MakeIntrusive<SceneNode>();
        m_picture->SetMesh(Mesh(800, 600));
        m_picture->SetTexture(kBackdropTexture);
        m_picture->SetLayer(0, Scope::Node);
    }
    bool OnAdd() override
    {
        Scene::Instance().AddNode(HierarchyNodePtr(m_picture.Get()), Scope::Subtree, Attach::Now);
        return Screen::OnAdd();
    }
    void OnRemove() override
    {
        Scene::Instance().RemoveNode(HierarchyNodePtr(m_picture.Get()),
                                            Scope::Subtree, Detach::Now, Rejoin::Never);
        Screen::OnRemove();
    }

private:
    SceneNodePtr m_picture;
};

} // namespace

bool StartScreenViewer(const std::string& path)
{
    ScreenPtr screen;
    for (DialogKind kind : {DialogKind::Confirm, DialogKind::Info, DialogKind::Input}) {
        if (path == DialogScreenFile(kind)) {
            screen = ScreenPtr(new StandardDialog("", kind));
        }
    }
    if (!screen) {
        screen = MakeIntrusive<Screen>();
        screen->LoadScreenFile(path);
    }
    if (!screen->IsRootLoaded()) {
        return false;
    }
    screen->SetOnClosed([](Screen& closed) {
        if (auto* dialog = dynamic_cast<StandardDialog*>(&closed)) {
            GetLog() << Hint << closed.GetPath() << ": closed with " << dialog->GetResult() << EndL;
        }
    });
    ScreenStack::Instance().Push(ScreenPtr(new BackdropScreen), 0);
    ScreenStack::Instance().Push(screen, 0);
    return true;
}

} // namespace tsv
