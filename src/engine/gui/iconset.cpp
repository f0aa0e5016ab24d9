#include "engine/gui/iconset.h"

#include "engine/core/log.h"
#include "engine/core/util/file/resourcepath.h"
#include "engine/core/util/xml/xmlloader.h"
#include "engine/scene/nodeloader.h"

namespace tsv {

bool IconSet::Load(const std::string& path)
{
    IntrusivePtr<XMLLoader> loader(new XMLLoader(ResolveResourcePath(path)));
    IntrusivePtr<XMLElement> document = loader->Execute(XMLLoader::Into::Replace, XMLLoader::OnError::Fail, 0);
    IntrusivePtr<XMLElement> root =
        RootElement(document.Get(), "icons", "Error loading icons \"" + path + "\" - root item must be <icons>");
    if (!root) {
        return false;
    }
    GetLog() << Hint << "Loading icon set:" << path << EndL;
    for (const auto& [tag, child] : root->Children()) {
        if (tag != "icon") {
            continue;
        }
        if (IconPtr icon = BuildIcon(*child, path)) {
            m_icons.push_back(icon);
        }
    }
    return true;
}

IconPtr IconSet::BuildIcon(const XMLElement& element, const std::string& path) const
{
    if (element.Children().empty()) {
        GetLog() << Warning << "<icon> group is empty" << EndL;
        return nullptr;
    }
    IconPtr icon = MakeIntrusive<Icon>();
    for (const auto& [tag, child] : element.Children()) {
        if (tag == "name") {
            icon->name = child->GetText();
        } else if (tag == "fixedsize") {
            icon->fixedSize = ParseBool(child->GetText());
        } else if (tag == "fixedcolor") {
            icon->fixedColor = ParseBool(child->GetText());
        } else if (tag == "node") {
            icon->node = ParseNode(*child, nullptr, path);
        }
    }
    if (!icon->node) {
        GetLog() << Warning << "Icon \"" << icon->name << "\" is empty" << EndL;
    }
    return icon;
}

const Icon* IconSet::Find(const std::string& name) const
{
    for (const IconPtr& icon : m_icons) {
        if (icon->name == name) {
            return icon.Get();
        }
    }
    return nullptr;
}

SceneNodePtr IconSet::CreateIcon(const std::string& name, const Vec3& position) const
{
    const Icon* icon = Find(name);
    if (!icon) {
        GetLog() << Warning << "Invalid Icon ID:" << name << EndL;
        return nullptr;
    }
    if (!icon->node) {
        return nullptr;
    }
    SceneNodePtr node(static_cast<SceneNode*>(icon->node->Clone(Scope::Subtree).Get()));
    node->SetPosition(position, Transform::Later);
    return node;
}

} // namespace tsv
